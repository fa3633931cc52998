#include "formats.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "writers.h"

namespace lorvaxen {
namespace {

constexpr std::array kFormats{ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pbm,
                              ImageFormat::Bmp, ImageFormat::Pdf, ImageFormat::Eps};

// A memory stream's buffer, released however the writing ends.
struct MemoryStream
{
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream()
    {
        if (file != nullptr) {
            std::fclose(file);
        }
        std::free(data); // NOLINT(cppcoreguidelines-no-malloc): open_memstream's own buffer
    }
};

} // namespace

std::string_view formatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png:
        return "png";
    case ImageFormat::Svg:
        return "svg";
    case ImageFormat::Pbm:
        return "pbm";
    case ImageFormat::Bmp:
        return "bmp";
    case ImageFormat::Pdf:
        return "pdf";
    case ImageFormat::Eps:
        return "eps";
    }
    return "";
}

bool isVector(ImageFormat format)
{
    return format == ImageFormat::Svg || format == ImageFormat::Pdf || format == ImageFormat::Eps;
}

std::optional<ImageFormat> formatFromPath(std::string_view path)
{
    if (path == "-") {
        return ImageFormat::Png;
    }
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    for (const ImageFormat format : kFormats) {
        if (extension == formatName(format)) {
            return format;
        }
    }
    return std::nullopt;
}

bool writeImage(const Label& label, ImageFormat format, std::FILE* file)
{
    switch (format) {
    case ImageFormat::Svg:
        return writeSvg(label, file);
    case ImageFormat::Pdf:
        return writePdf(label, file);
    case ImageFormat::Eps:
        return writeEps(label, file);
    default:
        break;
    }
    // Bars alone, as a batch of plain labels has them, go out as they are, not copied.
    MonoImage drawn;
    const bool plain = label.glyphs.empty() && label.rotation == 0;
    if (!plain) {
        drawn = rotated(rasterize(label), label.rotation);
    }
    const MonoImage& image = plain ? label.image : drawn;
    switch (format) {
    case ImageFormat::Png:
        return writePng(image, file, label.paint);
    case ImageFormat::Pbm:
        return writePbm(image, file);
    case ImageFormat::Bmp:
        return writeBmp(image, file, label.paint);
    default:
        return false;
    }
}

std::optional<std::vector<uint8_t>> imageBytes(const Label& label, ImageFormat format)
{
    MemoryStream stream;
    if (stream.file == nullptr || !writeImage(label, format, stream.file) ||
        std::fflush(stream.file) != 0) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data);
    return std::vector<uint8_t>(bytes, bytes + stream.size);
}

} // namespace lorvaxen
