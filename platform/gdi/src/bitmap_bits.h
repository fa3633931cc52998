// A bitmap's pixels: monochrome, one bit a pixel with rows padded to two bytes, or colour, four
// bytes a pixel, rows from the top.
//
// Every row of a barcode is the same, and most bitmaps here are painted only by fills that run from
// the top row to the bottom one. A monochrome bitmap therefore keeps a single row for as long as
// all its rows are alike, and paints and copies that row alone; the first operation that makes the
// rows differ gives every row its own bytes. That rule lives in one place, rowsToWrite, the only
// way to the bytes for writing; whoever reads the bits sees every row either way.
#ifndef LORVAXEN_GDI_BITMAP_BITS_H
#define LORVAXEN_GDI_BITMAP_BITS_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lorvaxen::gdi {

using HandleValue = uintptr_t;

class Bitmap
{
  public:
    // The rows that a writer paints: `count` of them from `first`, `stride` bytes apart.
    struct Rows
    {
        uint8_t* first;
        size_t stride;
        int32_t count;
        uint8_t* operator[](int32_t i) const { return first + static_cast<size_t>(i) * stride; }
    };

    // A black monochrome bitmap of 1 x 1 pixels, Windows' stock bitmap. Its one row is its own,
    // never shared, so that painting it never takes the bars' shortest way, which takes no lock.
    Bitmap() : Bitmap(1, 1, 1) { rowsShared_ = false; }
    // A black bitmap of `bitsPixel` 1 or 32; the caller has checked that its size can be held.
    // Throws std::bad_alloc.
    Bitmap(int32_t width, int32_t height, int32_t bitsPixel);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t bitsPixel() const { return bitsPixel_; }
    int32_t widthBytes() const { return widthBytes_; }
    size_t totalBytes() const { return static_cast<size_t>(widthBytes_) * height_; }
    // True while every row is one and the same.
    bool rowsShared() const { return rowsShared_; }

    const uint8_t* row(int32_t y) const
    {
        return bits_.data() + (rowsShared_ ? 0 : static_cast<size_t>(y) * widthBytes_);
    }

    // The rows [top, bottom), which lie inside the bitmap, for writing: the one shared row alone
    // when the rows are shared, the writer paints every row the same (`sameInEveryRow`) and the
    // rows run from the top to the bottom; else, the rows given their own bytes first, each of
    // them. Empty when that memory cannot be had; the bitmap is then as it was.
    std::optional<Rows> rowsToWrite(int32_t top, int32_t bottom, bool sameInEveryRow) noexcept
    {
        if (rowsShared_ && !(sameInEveryRow && top == 0 && bottom == height_) && !ownRows()) {
            return std::nullopt;
        }
        if (rowsShared_) {
            return Rows{bits_.data(), 0, 1};
        }
        return Rows{bits_.data() + static_cast<size_t>(top) * widthBytes_,
                    static_cast<size_t>(widthBytes_), bottom - top};
    }

    // The first `count` bytes of every row, top first, as GetBitmapBits hands them out.
    void readBits(uint8_t* out, size_t count) const;

    // A colour bitmap's pixels, which its caller reads and writes directly; null for a monochrome
    // one, whose bytes are written through rowsToWrite alone.
    uint8_t* colourPixels() { return bitsPixel_ == 1 ? nullptr : bits_.data(); }

    // The device context that holds the bitmap, 0 when none does; read and written through
    // std::atomic_ref. Taken under the lock of the bitmap's part of the object table, which
    // deleting it takes too, so that it cannot be selected as it is deleted.
    HandleValue selectedInto = 0;

  private:
    // Gives every row its own bytes, copies of the one they shared; false when the memory cannot
    // be had.
    bool ownRows() noexcept;

    int32_t width_;
    int32_t height_;
    int32_t bitsPixel_;
    int32_t widthBytes_;
    bool rowsShared_;
    std::vector<uint8_t> bits_;
};

// Paints pixels [left, right) of one monochrome row in one colour: partial bytes at the two edges,
// whole bytes between them. The span is not empty. Every bar of a barcode comes here once, and
// most lie within one byte, so that case comes first.
inline void fillRow(uint8_t* row, uint32_t left, uint32_t right, bool white)
{
    // The pixels of a byte from the one at each place on, and up to the one at each place.
    static constexpr std::array<uint8_t, 8> kFrom{0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
    static constexpr std::array<uint8_t, 8> kUpTo{0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
    const auto paint = [white](uint8_t& byte, unsigned mask) {
        byte = static_cast<uint8_t>(white ? byte | mask : byte & ~mask);
    };
    const uint32_t firstByte = left / 8;
    const uint32_t lastByte = (right - 1) / 8;
    const unsigned leftMask = kFrom[left % 8];
    const unsigned rightMask = kUpTo[(right - 1) % 8];
    if (firstByte == lastByte) {
        paint(row[firstByte], leftMask & rightMask);
        return;
    }
    // The whole bytes last, so that nothing need outlast filling them.
    paint(row[firstByte], leftMask);
    paint(row[lastByte], rightMask);
    std::fill(row + firstByte + 1, row + lastByte, static_cast<uint8_t>(white ? 0xFFU : 0x00U));
}

// Copies pixels [from, from + count) of a monochrome row to [to, to + count) of another row, which
// does not overlap it; count is above 0 and every pixel lies inside its row.
void copyRowBits(const uint8_t* source, uint32_t from, uint8_t* target, uint32_t to,
                 uint32_t count);

} // namespace lorvaxen::gdi

#endif // LORVAXEN_GDI_BITMAP_BITS_H
