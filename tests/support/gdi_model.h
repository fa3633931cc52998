// A plain model of monochrome bitmaps for the call sequences: every fill and copy sets the pixels
// it covers one by one, in 64 bits, with none of the stand-in's shortcuts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace lorvaxen::test {

// A bitmap as a grid of pixels, white or black.
struct ModelBitmap
{
    int width = 1;
    int height = 1;
    std::vector<uint8_t> white = std::vector<uint8_t>(1, 0); // one a pixel, rows from the top
    int selectedInto = -1; // the device context holding it; the stock bitmap's is always -1

    uint8_t& at(int64_t x, int64_t y) { return white[static_cast<size_t>(y * width + x)]; }
    uint8_t at(int64_t x, int64_t y) const { return white[static_cast<size_t>(y * width + x)]; }

    // The bits as GetBitmapBits hands them out: rows padded to two bytes, leftmost pixel in the
    // most significant bit.
    std::vector<uint8_t> bits() const
    {
        const size_t rowBytes = (static_cast<size_t>(width) + 15) / 16 * 2;
        std::vector<uint8_t> out(rowBytes * static_cast<size_t>(height), 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (at(x, y) != 0) {
                    out[(static_cast<size_t>(y) * rowBytes) + static_cast<size_t>(x / 8)] |=
                        static_cast<uint8_t>(0x80U >> (x % 8));
                }
            }
        }
        return out;
    }
};

// A rectangle clipped to a bitmap, in 64 bits.
struct Clipped
{
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

// A rectangle whose right edge lies left of its left edge (or bottom above top) covers the pixels
// from the one right of its right edge up to and with its left one.
inline Clipped clipTo(const ModelBitmap& bitmap, int64_t left, int64_t top, int64_t right,
                      int64_t bottom)
{
    if (right < left) {
        std::swap(left, right);
        ++left;
        ++right;
    }
    if (bottom < top) {
        std::swap(top, bottom);
        ++top;
        ++bottom;
    }
    return {std::max<int64_t>(left, 0), std::max<int64_t>(top, 0),
            std::min<int64_t>(right, bitmap.width), std::min<int64_t>(bottom, bitmap.height)};
}

inline void modelFill(ModelBitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom,
                      bool white)
{
    const Clipped area = clipTo(bitmap, left, top, right, bottom);
    for (int64_t y = area.top; y < area.bottom; ++y) {
        for (int64_t x = area.left; x < area.right; ++x) {
            bitmap.at(x, y) = white ? 1 : 0;
        }
    }
}

// Each destination pixel takes the source pixel at its place shifted by (x1 - x, y1 - y), where
// that lies inside the source; read from the source as it was before the copy.
inline void modelCopy(ModelBitmap& target, const ModelBitmap& sourceNow, int x, int y, int cx,
                      int cy, int x1, int y1)
{
    const ModelBitmap source = sourceNow;
    // A negative size counts back from both corners alike, as for a fill, so the shift between
    // them is the same.
    const Clipped area = clipTo(target, x, y, int64_t{x} + cx, int64_t{y} + cy);
    for (int64_t ty = area.top; ty < area.bottom; ++ty) {
        for (int64_t tx = area.left; tx < area.right; ++tx) {
            const int64_t sx = tx - x + int64_t{x1};
            const int64_t sy = ty - y + int64_t{y1};
            if (sx >= 0 && sy >= 0 && sx < source.width && sy < source.height) {
                target.at(tx, ty) = source.at(sx, sy);
            }
        }
    }
}

} // namespace lorvaxen::test
