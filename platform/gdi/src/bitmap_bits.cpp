// A bitmap's pixels, and the copying of monochrome rows.
#include "bitmap_bits.h"

#include <cstring>
#include <new>

namespace lorvaxen::gdi {
namespace {

// Copies the first `filled` bytes of `out` over the rest of its `total`, doubling each time: `out`
// repeats one row, and `filled` is a whole number of rows.
void repeatRows(uint8_t* out, size_t filled, size_t total)
{
    while (filled > 0 && filled < total) {
        const size_t count = std::min(filled, total - filled);
        std::memcpy(out + filled, out, count);
        filled += count;
    }
}

// Monochrome rows are padded to a 2-byte boundary, as GetBitmapBits hands them out. In 64 bits, so
// that a width near the largest int cannot overflow.
int32_t widthBytesOf(int32_t width, int32_t bitsPixel)
{
    if (bitsPixel != 1) {
        return static_cast<int32_t>(int64_t{width} * 4);
    }
    return static_cast<int32_t>((int64_t{width} + 15) / 16 * 2);
}

} // namespace

Bitmap::Bitmap(int32_t width, int32_t height, int32_t bitsPixel)
    : width_(width), height_(height), bitsPixel_(bitsPixel),
      widthBytes_(widthBytesOf(width, bitsPixel)),
      // A colour surface always holds every row: its caller writes them directly.
      rowsShared_(bitsPixel == 1),
      // A new bitmap is black, as the zeroed memory of a fresh Windows bitmap usually is: whatever
      // is not painted shows.
      bits_(rowsShared_ ? static_cast<size_t>(widthBytes_) : totalBytes(), 0x00)
{
}

void Bitmap::readBits(uint8_t* out, size_t count) const
{
    if (!rowsShared_) {
        std::memcpy(out, bits_.data(), count);
        return;
    }
    // The one row, then copies of what is written, doubling, down to the byte asked for.
    const size_t first = std::min(count, bits_.size());
    std::memcpy(out, bits_.data(), first);
    repeatRows(out, first, count);
}

bool Bitmap::ownRows() noexcept
{
    try {
        std::vector<uint8_t> rows(totalBytes());
        std::copy(bits_.begin(), bits_.end(), rows.begin());
        repeatRows(rows.data(), bits_.size(), rows.size());
        bits_ = std::move(rows);
        rowsShared_ = false;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Whole bytes where the two start at the same place within a byte, pixel by pixel elsewhere.
void copyRowBits(const uint8_t* source, uint32_t from, uint8_t* target, uint32_t to, uint32_t count)
{
    if (from % 8 != to % 8) {
        for (uint32_t i = 0; i < count; ++i) {
            const bool white = ((source[(from + i) / 8] >> (7 - (from + i) % 8)) & 1) != 0;
            auto& byte = target[(to + i) / 8];
            const auto mask = static_cast<uint8_t>(0x80U >> ((to + i) % 8));
            byte = white ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
        }
        return;
    }
    const uint8_t* in = source + from / 8;
    uint8_t* out = target + to / 8;
    const uint32_t bytes = (to % 8 + count + 7) / 8; // the bytes of `target` that change
    auto leftMask = static_cast<uint8_t>(0xFFU >> (to % 8));
    const auto rightMask = static_cast<uint8_t>(0xFFU << (7 - (to + count - 1) % 8));
    if (bytes == 1) {
        leftMask &= rightMask;
    }
    const auto blend = [](uint8_t kept, uint8_t copied, uint8_t mask) {
        return static_cast<uint8_t>((kept & ~mask) | (copied & mask));
    };
    out[0] = blend(out[0], in[0], leftMask);
    if (bytes > 1) {
        std::memcpy(out + 1, in + 1, bytes - 2);
        out[bytes - 1] = blend(out[bytes - 1], in[bytes - 1], rightMask);
    }
}

} // namespace lorvaxen::gdi
