// PBM and uncompressed BMP, read row by row from their headers' sizes, which are checked against
// the pixel budget before anything is allocated.
#include <array>
#include <cctype>
#include <vector>

#include "image_readers.h"

namespace lorvaxen::verifier::detail {
namespace {

constexpr uint32_t kBlack = 0;
constexpr uint32_t kWhite = ReflectanceImage::kFullLevel;

// A PBM header: "P1" or "P4", the width and the height as decimal numbers, with comments from '#'
// to the end of a line between them.
class PbmHeader
{
  public:
    explicit PbmHeader(ByteSource& source) : source_(source) {}

    // The next number, or nothing when it is missing or larger than a side can be.
    std::optional<uint64_t> number()
    {
        int c = source_.next();
        while (c == '#' || (c >= 0 && std::isspace(c) != 0)) {
            if (source_.position() > kMaxHeaderBytes) {
                return std::nullopt;
            }
            if (c == '#') {
                while (c >= 0 && c != '\n' && source_.position() <= kMaxHeaderBytes) {
                    c = source_.next();
                }
            }
            c = source_.next();
        }
        uint64_t value = 0;
        bool any = false;
        for (; c >= '0' && c <= '9'; c = source_.next()) {
            value = value * 10 + static_cast<uint64_t>(c - '0');
            any = true;
            if (value > INT32_MAX) {
                tooLarge_ = true;
                return std::nullopt;
            }
        }
        last_ = c;
        return any ? std::optional(value) : std::nullopt;
    }
    // The character that ended the last number: the single space before a raw raster.
    int last() const { return last_; }
    bool tooLarge() const { return tooLarge_; }

  private:
    // Comments are for people: a header longer than this is no honest PBM.
    static constexpr uint64_t kMaxHeaderBytes = 4096;
    ByteSource& source_;
    int last_ = -1;
    bool tooLarge_ = false;
};

// 1 is black, 0 white; in a plain PBM each pixel a character between optional spaces.
bool readPbmRaster(ByteSource& source, bool raw, ReflectanceImage* image)
{
    const auto width = static_cast<std::size_t>(image->width());
    if (raw) {
        std::vector<uint8_t> row((width + 7) / 8);
        for (int32_t y = 0; y < image->height(); ++y) {
            if (!source.read(row.data(), row.size())) {
                return false;
            }
            for (std::size_t x = 0; x < width; ++x) {
                const bool black = ((row[x / 8] >> (7 - x % 8)) & 1) != 0;
                image->setLevel(static_cast<int32_t>(x), y, black ? kBlack : kWhite);
            }
        }
        return true;
    }
    // Spaces are bounded too, so that endless input of them ends.
    const uint64_t limit =
        source.position() + 4 * width * static_cast<uint64_t>(image->height()) + 4096;
    for (int32_t y = 0; y < image->height(); ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            int c = source.next();
            while (c >= 0 && std::isspace(c) != 0 && source.position() < limit) {
                c = source.next();
            }
            if (c != '0' && c != '1') {
                return false;
            }
            image->setLevel(static_cast<int32_t>(x), y, c == '1' ? kBlack : kWhite);
        }
    }
    return true;
}

uint32_t littleEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

} // namespace

std::optional<ReflectanceImage> readPbm(ByteSource& source, const ReadOptions& options,
                                        std::string* problem)
{
    std::array<uint8_t, 2> magic{};
    source.read(magic.data(), magic.size());
    const bool raw = magic[1] == '4';
    PbmHeader header(source);
    const auto width = header.number();
    const auto height = width ? header.number() : std::nullopt;
    if (!width || !height || std::isspace(header.last()) == 0) {
        *problem = header.tooLarge() ? "PBM width or height larger than 2^31 - 1 pixels"
                                     : "PBM header lacks its width and height";
        return std::nullopt;
    }
    if (std::string size = sizeProblem(*width, *height, options.maxPixels); !size.empty()) {
        *problem = size;
        return std::nullopt;
    }
    // A raw row takes its bytes; a plain pixel a character at least.
    if (!source.mayHold(raw ? (*width + 7) / 8 * *height : *width * *height)) {
        *problem = "PBM ends before its last row";
        return std::nullopt;
    }
    std::optional<ReflectanceImage> image =
        ReflectanceImage::unset(static_cast<int32_t>(*width), static_cast<int32_t>(*height), false);
    if (!readPbmRaster(source, raw, &*image)) {
        *problem = "PBM ends before its last pixel, or holds something other than 0 and 1";
        return std::nullopt;
    }
    return image;
}

// Uncompressed Windows bitmaps: indexed through their palette, or direct blue-green-red.
std::optional<ReflectanceImage> readBmp(ByteSource& source, const ReadOptions& options,
                                        std::string* problem)
{
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    // Room for the largest info header (124 bytes) and an alpha mask among its fields.
    std::array<uint8_t, kFileHeader + 124> head{};
    if (!source.read(head.data(), kFileHeader + kInfoHeader)) {
        *problem = "BMP too short for its headers";
        return std::nullopt;
    }
    const uint32_t bitsAt = littleEndian(&head[10], 4);
    const uint32_t infoSize = littleEndian(&head[14], 4);
    const auto width = static_cast<int32_t>(littleEndian(&head[18], 4));
    const auto rawHeight = static_cast<int32_t>(littleEndian(&head[22], 4));
    const uint32_t depth = littleEndian(&head[28], 2);
    const uint32_t compression = littleEndian(&head[30], 4);
    const auto pixelsPerMetre = static_cast<int32_t>(littleEndian(&head[38], 4));
    uint32_t colours = littleEndian(&head[46], 4);
    const bool directColour = depth == 24 || depth == 32;
    // BI_BITFIELDS at 32 bits is taken as the usual blue-green-red-alpha order.
    if ((depth != 1 && depth != 4 && depth != 8 && !directColour) ||
        !(compression == 0 || (compression == 3 && depth == 32)) || infoSize < kInfoHeader ||
        infoSize > head.size() - kFileHeader) {
        *problem = "BMP of " + std::to_string(depth) + " bits per pixel, compression " +
                   std::to_string(compression) + ", header of " + std::to_string(infoSize) +
                   " bytes (only uncompressed 1, 4, 8, 24 and 32 bits are read)";
        return std::nullopt;
    }
    if (!source.read(&head[kFileHeader + kInfoHeader], infoSize - kInfoHeader)) {
        *problem = "BMP too short for its headers";
        return std::nullopt;
    }
    const bool bottomUp = rawHeight > 0;
    const uint64_t height = bottomUp ? static_cast<uint64_t>(rawHeight)
                                     : static_cast<uint64_t>(-static_cast<int64_t>(rawHeight));
    if (std::string size =
            sizeProblem(width > 0 ? static_cast<uint64_t>(width) : 0, height, options.maxPixels);
        !size.empty()) {
        *problem = size;
        return std::nullopt;
    }
    // An alpha mask of the top byte (version 3 headers and later) makes the fourth byte opacity.
    const bool alpha = compression == 3 && infoSize >= 56 &&
                       littleEndian(&head[kFileHeader + 52], 4) == 0xFF000000U;
    if (directColour) {
        colours = 0;
    } else if (colours == 0 || colours > (1U << depth)) {
        colours = 1U << depth;
    }
    std::vector<uint32_t> palette(colours);
    for (uint32_t& entry : palette) {
        std::array<uint8_t, 4> bgr{};
        if (!source.read(bgr.data(), bgr.size())) {
            *problem = "BMP ends before its palette";
            return std::nullopt;
        }
        entry = measuredLevel(bgr[2] * 257U, bgr[1] * 257U, bgr[0] * 257U, kWhite, options.light);
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * depth + 31) / 32 * 4;
    if (bitsAt < source.position() || !source.skip(bitsAt - source.position()) ||
        !source.mayHold(rowBytes * height)) {
        *problem = "BMP ends before its last row, or its pixels do not follow its palette";
        return std::nullopt;
    }
    std::optional<ReflectanceImage> image =
        ReflectanceImage::unset(width, static_cast<int32_t>(height), false);
    image->pixelsPerMm = pixelsPerMetre > 0 ? pixelsPerMetre / 1000.0 : 0;
    std::vector<uint8_t> row(rowBytes);
    const std::size_t bytesPerPixel = depth / 8;
    for (uint64_t line = 0; line < height; ++line) {
        if (!source.read(row.data(), row.size())) {
            *problem = "BMP ends before its last row";
            return std::nullopt;
        }
        const auto y = static_cast<int32_t>(bottomUp ? height - 1 - line : line);
        for (int32_t x = 0; x < width; ++x) {
            const auto column = static_cast<std::size_t>(x);
            if (directColour) {
                const uint8_t* pixel = &row[column * bytesPerPixel];
                const uint32_t opacity = alpha ? pixel[3] * 257U : kWhite;
                image->setLevel(x, y,
                                measuredLevel(pixel[2] * 257U, pixel[1] * 257U, pixel[0] * 257U,
                                              opacity, options.light));
                continue;
            }
            const std::size_t bit = column * depth;
            const uint32_t index = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1U << depth) - 1);
            if (index >= colours) {
                *problem = "BMP pixel names colour " + std::to_string(index) + " of a palette of " +
                           std::to_string(colours);
                return std::nullopt;
            }
            image->setLevel(x, y, palette[index]);
        }
    }
    return image;
}

} // namespace lorvaxen::verifier::detail
