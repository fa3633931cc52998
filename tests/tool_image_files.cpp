#include "tool_image_files.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include <png.h>

namespace lorvaxen::test {
namespace {

void onPngError(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

// Nothing with a destructor lives here, so libpng may jump back out of it.
bool readWholePng(png_structp png, png_infop info, std::FILE* file)
{
    if (setjmp(png_jmpbuf(png)) != 0) { // NOLINT(cert-err52-cpp)
        return false;
    }
    png_init_io(png, file);
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    // One byte per pixel, 0 for black, whatever the bit depth.
    png_read_png(png, info, PNG_TRANSFORM_PACKING, nullptr);
    return true;
}

Pixels blankPixels(int32_t width, int32_t height)
{
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.bitsPixel = 1;
    pixels.black.assign(static_cast<size_t>(width) * static_cast<size_t>(height), false);
    return pixels;
}

void setBlack(Pixels& pixels, int32_t x, int32_t y)
{
    pixels.black[static_cast<size_t>(y) * static_cast<size_t>(pixels.width) +
                 static_cast<size_t>(x)] = true;
}

// The value of ` name="..."` within one element's text.
std::optional<std::string> attribute(const std::string& element, const std::string& name)
{
    const std::string key = " " + name + "=\"";
    const auto at = element.find(key);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
}

uint32_t littleEndian(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

} // namespace

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<ImageFile> readPng(const std::filesystem::path& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, nullptr);
    png_infop info = png_create_info_struct(png);
    std::optional<ImageFile> image;
    if (readWholePng(png, info, file) && png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY) {
        image.emplace();
        // The depth in the header: once unpacked, libpng reports 8.
        const std::string header = readText(path).substr(0, 25);
        image->bitDepth = header.size() == 25 ? static_cast<unsigned char>(header[24]) : 0;
        png_uint_32 x = 0;
        png_uint_32 y = 0;
        int unit = 0;
        if (png_get_pHYs(png, info, &x, &y, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
            image->xPerMetre = x;
            image->yPerMetre = y;
        }
        const auto width = static_cast<int32_t>(png_get_image_width(png, info));
        const auto height = static_cast<int32_t>(png_get_image_height(png, info));
        image->pixels = blankPixels(width, height);
        png_bytepp rows = png_get_rows(png, info);
        for (int32_t row = 0; row < height; ++row) {
            for (int32_t column = 0; column < width; ++column) {
                if (rows[row][column] == 0) {
                    setBlack(image->pixels, column, row);
                }
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return image;
}

std::optional<ImageFile> readBmp(const std::filesystem::path& path)
{
    const std::string bytes = readText(path);
    if (bytes.size() < 62 || bytes.compare(0, 2, "BM") != 0 ||
        littleEndian(bytes, 2, 4) != bytes.size() || littleEndian(bytes, 14, 4) != 40 ||
        littleEndian(bytes, 28, 2) != 1 || littleEndian(bytes, 30, 4) != 0) {
        return std::nullopt;
    }
    const auto offset = littleEndian(bytes, 10, 4);
    const auto width = static_cast<int32_t>(littleEndian(bytes, 18, 4));
    const auto height = static_cast<int32_t>(littleEndian(bytes, 22, 4)); // bottom-up
    const size_t rowBytes = (static_cast<size_t>(width) + 31) / 32 * 4;
    if (width <= 0 || height <= 0 ||
        offset + rowBytes * static_cast<size_t>(height) > bytes.size()) {
        return std::nullopt;
    }
    // Palette entries are blue, green, red, reserved; an index is black when its entry is.
    const bool blackIndex[2] = {littleEndian(bytes, 54, 3) == 0, littleEndian(bytes, 58, 3) == 0};
    ImageFile image;
    image.bitDepth = 1;
    image.xPerMetre = littleEndian(bytes, 38, 4);
    image.yPerMetre = littleEndian(bytes, 42, 4);
    image.pixels = blankPixels(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const size_t row = offset + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            const auto byte = static_cast<unsigned char>(bytes[row + static_cast<size_t>(x) / 8]);
            if (blackIndex[(byte >> (7 - x % 8)) & 1]) {
                setBlack(image.pixels, x, y);
            }
        }
    }
    return image;
}

std::optional<ImageFile> readPbm(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    const auto skipComments = [&] {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string comment;
            std::getline(in, comment);
            in >> std::ws;
        }
    };
    int32_t width = 0;
    int32_t height = 0;
    skipComments();
    in >> width;
    skipComments();
    in >> height;
    if (magic != "P4" || !in || width <= 0 || height <= 0 || in.get() != '\n') {
        return std::nullopt;
    }
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    std::vector<char> bits(rowBytes * static_cast<size_t>(height));
    if (!in.read(bits.data(), static_cast<std::streamsize>(bits.size())) || in.peek() != EOF) {
        return std::nullopt;
    }
    ImageFile image;
    image.bitDepth = 1;
    image.pixels = blankPixels(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const auto byte = static_cast<unsigned char>(
                bits[static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) / 8]);
            if (((byte >> (7 - x % 8)) & 1) != 0) {
                setBlack(image.pixels, x, y);
            }
        }
    }
    return image;
}

std::optional<ImageFile> readSvg(const std::filesystem::path& path)
{
    const std::string text = readText(path);
    const auto svgAt = text.find("<svg ");
    if (svgAt == std::string::npos) {
        return std::nullopt;
    }
    const std::string svg = text.substr(svgAt, text.find('>', svgAt) - svgAt);
    const auto width = attribute(svg, "width");
    const auto height = attribute(svg, "height");
    const auto viewBox = attribute(svg, "viewBox");
    if (attribute(svg, "shape-rendering") != "crispEdges" || !width || !height || !viewBox ||
        !width->ends_with("mm") || !height->ends_with("mm")) {
        return std::nullopt;
    }
    std::istringstream box(*viewBox);
    int32_t left = -1;
    int32_t top = -1;
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    box >> left >> top >> boxWidth >> boxHeight;
    if (!box || left != 0 || top != 0 || boxWidth <= 0 || boxHeight <= 0) {
        return std::nullopt;
    }
    ImageFile image;
    image.widthMm = std::stod(*width);
    image.heightMm = std::stod(*height);
    image.pixels = blankPixels(boxWidth, boxHeight);
    // The bars are the rectangles with a position; the background has none.
    for (auto at = text.find("<rect x="); at != std::string::npos;
         at = text.find("<rect x=", at + 1)) {
        const std::string rect = text.substr(at, text.find('>', at) - at);
        const int32_t x = std::stoi(attribute(rect, "x").value_or("-1"));
        const int32_t y = std::stoi(attribute(rect, "y").value_or("-1"));
        const int32_t right = x + std::stoi(attribute(rect, "width").value_or("0"));
        const int32_t bottom = y + std::stoi(attribute(rect, "height").value_or("0"));
        if (x < 0 || y < 0 || right > boxWidth || bottom > boxHeight) {
            return std::nullopt;
        }
        for (int32_t row = y; row < bottom; ++row) {
            for (int32_t column = x; column < right; ++column) {
                setBlack(image.pixels, column, row);
            }
        }
    }
    return image;
}

} // namespace lorvaxen::test
