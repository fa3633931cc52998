#include "formats.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "writers.h"

namespace lorvaxen {
namespace {

// The raster formats' picture: bars alone, as a batch of plain labels has them, go out as they
// are, not copied; anything with text or turned is drawn into pixels first.
template <typename Write> bool writeRaster(const Label& label, Write write)
{
    if (label.glyphs.empty() && label.rotation == 0) {
        return write(label.image);
    }
    return write(rotated(rasterize(label), label.rotation));
}

bool pngFile(const Label& label, std::FILE* file)
{
    return writeRaster(label,
                       [&](const MonoImage& image) { return writePng(image, file, label.paint); });
}

bool pbmFile(const Label& label, std::FILE* file)
{
    return writeRaster(label, [&](const MonoImage& image) { return writePbm(image, file); });
}

bool bmpFile(const Label& label, std::FILE* file)
{
    return writeRaster(label,
                       [&](const MonoImage& image) { return writeBmp(image, file, label.paint); });
}

// PBM's bits are black and white only; BMP's palette has no transparent entry.
constexpr std::array kFormats{
    ImageFormatFacts{.format = ImageFormat::Png,
                     .extension = "png",
                     .vector = false,
                     .colours = true,
                     .transparency = true,
                     .write = pngFile},
    ImageFormatFacts{.format = ImageFormat::Svg,
                     .extension = "svg",
                     .vector = true,
                     .colours = true,
                     .transparency = true,
                     .write = writeSvg},
    ImageFormatFacts{.format = ImageFormat::Pdf,
                     .extension = "pdf",
                     .vector = true,
                     .colours = true,
                     .transparency = true,
                     .write = writePdf},
    ImageFormatFacts{.format = ImageFormat::Eps,
                     .extension = "eps",
                     .vector = true,
                     .colours = true,
                     .transparency = true,
                     .write = writeEps},
    ImageFormatFacts{.format = ImageFormat::Pbm,
                     .extension = "pbm",
                     .vector = false,
                     .colours = false,
                     .transparency = false,
                     .write = pbmFile},
    ImageFormatFacts{.format = ImageFormat::Bmp,
                     .extension = "bmp",
                     .vector = false,
                     .colours = true,
                     .transparency = false,
                     .write = bmpFile},
};
constexpr bool hasOneRow(ImageFormat format)
{
    return std::ranges::count(kFormats, format, &ImageFormatFacts::format) == 1;
}
// Every ImageFormat, so that formatFacts always finds its row.
static_assert(hasOneRow(ImageFormat::Png) && hasOneRow(ImageFormat::Svg) &&
                  hasOneRow(ImageFormat::Pdf) && hasOneRow(ImageFormat::Eps) &&
                  hasOneRow(ImageFormat::Pbm) && hasOneRow(ImageFormat::Bmp),
              "one row for each format");

// What a value cast from outside the enum answers: no name, and nothing written, rather than a
// read past the table.
constexpr ImageFormatFacts kNoFormat{.format = static_cast<ImageFormat>(-1),
                                     .extension = "",
                                     .vector = false,
                                     .colours = false,
                                     .transparency = false,
                                     .write = [](const Label&, std::FILE*) { return false; }};

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

std::span<const ImageFormatFacts> imageFormats()
{
    return kFormats;
}

const ImageFormatFacts& formatFacts(ImageFormat format)
{
    const auto* row = std::ranges::find(kFormats, format, &ImageFormatFacts::format);
    return row != kFormats.end() ? *row : kNoFormat;
}

std::string_view formatName(ImageFormat format)
{
    return formatFacts(format).extension;
}

bool isVector(ImageFormat format)
{
    return formatFacts(format).vector;
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
    for (const ImageFormatFacts& row : kFormats) {
        if (extension == row.extension) {
            return row.format;
        }
    }
    return std::nullopt;
}

std::string spelledName(const ImageFormatFacts& format, FormatSpelling spelling)
{
    std::string name(format.extension);
    if (spelling == FormatSpelling::Upper) {
        std::ranges::transform(name, name.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        });
    }
    return spelling == FormatSpelling::Extension ? "." + name : name;
}

std::vector<std::string> formatNames(FormatSpelling spelling, FormatTest has)
{
    std::vector<std::string> names;
    for (const ImageFormatFacts& row : kFormats) {
        if (has == nullptr || has(row)) {
            names.push_back(spelledName(row, spelling));
        }
    }
    return names;
}

std::string formatList(FormatSpelling spelling, std::string_view conjunction, FormatTest has)
{
    const std::vector<std::string> names = formatNames(spelling, has);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " " + std::string(conjunction) + " " : ", ";
        }
        text += names[i];
    }
    return text;
}

bool writeImage(const Label& label, ImageFormat format, std::FILE* file)
{
    return formatFacts(format).write(label, file);
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
