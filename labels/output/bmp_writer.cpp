#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <vector>

#include "writers.h"

namespace lorvaxen {
namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40; // BITMAPINFOHEADER
constexpr uint32_t kPaletteBytes = 2 * 4;
constexpr uint32_t kBitsOffset = kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes;

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

} // namespace

// A bottom-up 1-bit bitmap whose palette makes index 0 the background (white) and index 1 the ink
// (black), so the image's bits go out as they are; rows are padded to four bytes.
bool writeBmp(const MonoImage& image, std::FILE* file, const Paint& paint)
{
    const uint64_t rowBytes = (static_cast<uint64_t>(image.width) + 31) / 32 * 4;
    const uint64_t bitsBytes = rowBytes * static_cast<uint64_t>(image.height);
    if (kBitsOffset + bitsBytes > std::numeric_limits<uint32_t>::max()) {
        errno = EFBIG; // past the 32-bit sizes of the format
        return false;
    }
    const uint32_t perMetre = pixelsPerMetre(image.dpi);

    std::vector<uint8_t> header;
    header.push_back('B');
    header.push_back('M');
    putLittleEndian(header, static_cast<uint32_t>(kBitsOffset + bitsBytes), 4); // file size
    putLittleEndian(header, 0, 4);                                              // reserved
    putLittleEndian(header, kBitsOffset, 4);
    putLittleEndian(header, kInfoHeaderBytes, 4);
    putLittleEndian(header, static_cast<uint32_t>(image.width), 4);
    putLittleEndian(header, static_cast<uint32_t>(image.height), 4); // positive: bottom-up
    putLittleEndian(header, 1, 2);                                   // planes
    putLittleEndian(header, 1, 2);                                   // bits per pixel
    putLittleEndian(header, 0, 4);                                   // BI_RGB, uncompressed
    putLittleEndian(header, static_cast<uint32_t>(bitsBytes), 4);
    putLittleEndian(header, perMetre, 4);
    putLittleEndian(header, perMetre, 4);
    putLittleEndian(header, 2, 4); // colours used
    putLittleEndian(header, 2, 4); // colours important
    for (const Colour colour : {paint.background.value_or(Colour{255, 255, 255}), paint.ink}) {
        for (const uint8_t channel : {colour.blue, colour.green, colour.red, uint8_t{0}}) {
            header.push_back(channel);
        }
    }
    std::fwrite(header.data(), 1, header.size(), file);

    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t y = image.height - 1; y >= 0; --y) {
        std::copy_n(image.row(y), image.rowBytes(), row.begin());
        std::fwrite(row.data(), 1, row.size(), file);
    }
    return std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace lorvaxen
