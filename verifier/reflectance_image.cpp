#include "reflectance_image.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include <png.h>

namespace lorvaxen::verifier {
namespace {

using Bytes = std::vector<uint8_t>;

// A verifier looks at labels, not posters: this bounds the memory that a hostile header can ask
// for.
constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

std::optional<ReflectanceImage> blankImage(uint64_t width, uint64_t height, std::string* problem)
{
    if (width == 0 || height == 0 || width * height > kMaxPixels) {
        *problem = "image size " + std::to_string(width) + " x " + std::to_string(height) +
                   " is empty or too large (at most " + std::to_string(kMaxPixels) + " pixels)";
        return std::nullopt;
    }
    ReflectanceImage image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.reflectance.resize(width * height);
    return image;
}

float greyToReflectance(double grey)
{
    return static_cast<float>(grey * 100.0 / 255.0);
}

// Luminance weights of ITU-R BT.601, as grey scanners apply them.
float rgbToReflectance(uint8_t red, uint8_t green, uint8_t blue)
{
    return greyToReflectance(0.299 * red + 0.587 * green + 0.114 * blue);
}

std::optional<ReflectanceImage> readPng(const Bytes& file, std::string* problem)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, file.data(), file.size()) == 0) {
        *problem = std::string("not a readable PNG: ") + png.message;
        return std::nullopt;
    }
    png.format = PNG_FORMAT_GRAY;
    auto image = blankImage(png.width, png.height, problem);
    if (!image) {
        png_image_free(&png);
        return std::nullopt;
    }
    Bytes grey(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, grey.data(), 0, nullptr) == 0) {
        *problem = std::string("damaged PNG: ") + png.message;
        png_image_free(&png);
        return std::nullopt;
    }
    for (std::size_t i = 0; i < grey.size(); ++i) {
        image->reflectance[i] = greyToReflectance(grey[i]);
    }
    return image;
}

// PBM, plain (P1) or raw (P4): 1 is black. Comments run from '#' to the end of the line.
class PbmReader
{
  public:
    explicit PbmReader(const Bytes& file) : file_(file) {}
    std::optional<uint64_t> number()
    {
        skipSpace();
        uint64_t value = 0;
        bool any = false;
        while (at_ < file_.size() && std::isdigit(file_[at_]) != 0 && value < (uint64_t{1} << 32)) {
            value = value * 10 + (file_[at_++] - '0');
            any = true;
        }
        return any ? std::optional(value) : std::nullopt;
    }
    std::optional<bool> plainBit()
    {
        skipSpace();
        if (at_ >= file_.size() || (file_[at_] != '0' && file_[at_] != '1')) {
            return std::nullopt;
        }
        return file_[at_++] == '1';
    }
    std::size_t afterOneSpace() const { return at_ + 1; }

  private:
    void skipSpace()
    {
        while (at_ < file_.size() && (std::isspace(file_[at_]) != 0 || file_[at_] == '#')) {
            if (file_[at_] == '#') {
                while (at_ < file_.size() && file_[at_] != '\n') {
                    ++at_;
                }
            } else {
                ++at_;
            }
        }
    }
    const Bytes& file_;
    std::size_t at_ = 2;
};

std::optional<ReflectanceImage> readPbm(const Bytes& file, std::string* problem)
{
    PbmReader reader(file);
    const auto width = reader.number();
    const auto height = reader.number();
    if (!width || !height) {
        *problem = "PBM header lacks its width and height";
        return std::nullopt;
    }
    const bool raw = file[1] == '4';
    const uint64_t rowBytes = (*width + 7) / 8;
    const std::size_t start = reader.afterOneSpace();
    // A plain pixel takes at least one byte, so a short file is refused before any allocation.
    const uint64_t needed = raw ? rowBytes * *height : *width * *height;
    if (start > file.size() || file.size() - start < needed) {
        *problem = "PBM ends before its last row";
        return std::nullopt;
    }
    auto image = blankImage(*width, *height, problem);
    if (!image) {
        return std::nullopt;
    }
    for (std::size_t y = 0; y < *height; ++y) {
        for (std::size_t x = 0; x < *width; ++x) {
            bool black = false;
            if (raw) {
                black = ((file[start + y * rowBytes + x / 8] >> (7 - x % 8)) & 1) != 0;
            } else if (const auto bit = reader.plainBit()) {
                black = *bit;
            } else {
                *problem = "PBM ends before its last pixel, or holds something other than 0 and 1";
                return std::nullopt;
            }
            image->reflectance[y * *width + x] = black ? 0.0F : 100.0F;
        }
    }
    return image;
}

uint32_t littleEndian(const Bytes& file, std::size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | file[at + static_cast<std::size_t>(i)];
    }
    return value;
}

// Uncompressed Windows bitmaps: indexed through their palette, or direct blue-green-red.
std::optional<ReflectanceImage> readBmp(const Bytes& file, std::string* problem)
{
    constexpr std::size_t kFileHeader = 14;
    if (file.size() < kFileHeader + 40) {
        *problem = "BMP too short for its headers";
        return std::nullopt;
    }
    const uint32_t bitsAt = littleEndian(file, 10, 4);
    const uint32_t infoSize = littleEndian(file, 14, 4);
    const auto width = static_cast<int32_t>(littleEndian(file, 18, 4));
    const auto rawHeight = static_cast<int32_t>(littleEndian(file, 22, 4));
    const uint32_t depth = littleEndian(file, 28, 2);
    const uint32_t compression = littleEndian(file, 30, 4);
    uint32_t colours = littleEndian(file, 46, 4);
    const bool directColour = depth == 24 || depth == 32;
    // BI_BITFIELDS at 32 bits is taken as the usual blue-green-red-alpha order.
    if ((depth != 1 && depth != 4 && depth != 8 && !directColour) ||
        !(compression == 0 || (compression == 3 && depth == 32)) || width <= 0 || rawHeight == 0 ||
        rawHeight == INT32_MIN) {
        *problem = "BMP of " + std::to_string(depth) + " bits per pixel, compression " +
                   std::to_string(compression) +
                   " (only uncompressed 1, 4, 8, 24 and 32 bits are read)";
        return std::nullopt;
    }
    const bool bottomUp = rawHeight > 0;
    const uint64_t height = bottomUp ? rawHeight : -static_cast<int64_t>(rawHeight);
    if (colours == 0 && !directColour) {
        colours = 1U << depth;
    }
    const std::size_t paletteAt = kFileHeader + infoSize;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * depth + 31) / 32 * 4;
    if (directColour) {
        colours = 0;
    }
    if (paletteAt + uint64_t{colours} * 4 > file.size() || bitsAt > file.size() ||
        file.size() - bitsAt < rowBytes * height) {
        *problem = "BMP ends before its palette or its last row";
        return std::nullopt;
    }
    auto image = blankImage(static_cast<uint64_t>(width), height, problem);
    if (!image) {
        return std::nullopt;
    }
    std::vector<float> palette(colours);
    for (uint32_t i = 0; i < colours; ++i) {
        const std::size_t entry = paletteAt + std::size_t{i} * 4;
        palette[i] = rgbToReflectance(file[entry + 2], file[entry + 1], file[entry]);
    }
    for (uint64_t y = 0; y < height; ++y) {
        const std::size_t row = bitsAt + (bottomUp ? height - 1 - y : y) * rowBytes;
        for (uint64_t x = 0; x < static_cast<uint64_t>(width); ++x) {
            float value = 0;
            if (directColour) {
                const std::size_t pixel = row + x * (depth / 8);
                value = rgbToReflectance(file[pixel + 2], file[pixel + 1], file[pixel]);
            } else {
                const uint64_t bit = x * depth;
                const uint32_t index =
                    (file[row + bit / 8] >> (8 - depth - bit % 8)) & ((1U << depth) - 1);
                if (index >= colours) {
                    *problem = "BMP pixel names colour " + std::to_string(index) +
                               " of a palette of " + std::to_string(colours);
                    return std::nullopt;
                }
                value = palette[index];
            }
            image->reflectance[y * static_cast<uint64_t>(width) + x] = value;
        }
    }
    return image;
}

} // namespace

std::optional<ReflectanceImage> readReflectanceImage(const std::filesystem::path& path,
                                                     std::string* problem)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *problem = "cannot open '" + path.string() + "'";
        return std::nullopt;
    }
    const Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        *problem = "cannot read '" + path.string() + "'";
        return std::nullopt;
    }
    if (file.size() >= 8 && png_sig_cmp(file.data(), 0, 8) == 0) {
        return readPng(file, problem);
    }
    if (file.size() >= 2 && file[0] == 'P' && (file[1] == '1' || file[1] == '4')) {
        return readPbm(file, problem);
    }
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
        return readBmp(file, problem);
    }
    *problem = "'" + path.string() + "' is not a PNG, PBM or BMP image";
    return std::nullopt;
}

} // namespace lorvaxen::verifier
