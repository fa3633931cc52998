// The stand-in's drawing: fills and copies of rectangles.
#include "drawing.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace lorvaxen::gdi {
namespace {

// A rectangle of pixels inside a bitmap; empty when nothing of it lies inside.
struct PixelSpan
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
};

PixelSpan clip(const Bitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return PixelSpan{static_cast<int32_t>(std::clamp<int64_t>(left, 0, bitmap.width())),
                     static_cast<int32_t>(std::clamp<int64_t>(top, 0, bitmap.height())),
                     static_cast<int32_t>(std::clamp<int64_t>(right, 0, bitmap.width())),
                     static_cast<int32_t>(std::clamp<int64_t>(bottom, 0, bitmap.height()))};
}

void setColourPixel(uint8_t* row, int32_t x, COLORREF colour)
{
    uint8_t* pixel = row + static_cast<size_t>(x) * 4;
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    pixel[3] = 0;
}

// Paints a rectangle of a bitmap black or white, clipped to it; false when the memory to paint
// cannot be had. One from the top to the bottom of a bitmap whose rows are still one paints that
// row alone.
bool paintSpan(Bitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom, bool white)
{
    const PixelSpan span = clip(bitmap, left, top, right, bottom);
    if (span.empty()) {
        return true;
    }
    const auto rows = bitmap.rowsToWrite(span.top, span.bottom, true);
    if (!rows) {
        return false;
    }
    if (bitmap.bitsPixel() == 1) {
        for (int32_t y = 0; y < rows->count; ++y) {
            fillRow((*rows)[y], static_cast<uint32_t>(span.left), static_cast<uint32_t>(span.right),
                    white);
        }
        return true;
    }
    const COLORREF colour = white ? RGB(255, 255, 255) : RGB(0, 0, 0);
    for (int32_t y = 0; y < rows->count; ++y) {
        for (int32_t x = span.left; x < span.right; ++x) {
            setColourPixel((*rows)[y], x, colour);
        }
    }
    return true;
}

// A rectangle's edges in order. As in Windows, one given right edge first covers the pixels from
// the one right of that edge up to and with its left edge; so for one given bottom first.
inline void orderEdges(int64_t& low, int64_t& high)
{
    if (high < low) {
        const int64_t first = high + 1;
        high = low + 1;
        low = first;
    }
}

// A block transfer's rectangle: the destination's corner and size, and the source's corner.
struct Transfer
{
    int64_t x;
    int64_t y;
    int64_t cx;
    int64_t cy;
    int64_t x1;
    int64_t y1;

    // The same transfer with its edges in order, as for a fill, and the source's corner moved with
    // the destination's.
    Transfer ordered() const
    {
        int64_t left = x;
        int64_t right = x + cx;
        int64_t top = y;
        int64_t bottom = y + cy;
        orderEdges(left, right);
        orderEdges(top, bottom);
        return {left, top, right - left, bottom - top, x1 + (left - x), y1 + (top - y)};
    }
};

// The destination pixels of a copy whose source pixel lies inside the source bitmap, computed in
// 64 bits, where no sum of two coordinates can overflow; only the part inside both bitmaps
// changes.
PixelSpan copiedSpan(const Bitmap& target, const Bitmap& source, const Transfer& t)
{
    const int64_t shiftX = t.x1 - t.x; // a source pixel's place less its destination's
    const int64_t shiftY = t.y1 - t.y;
    const auto left = std::max<int64_t>({t.x, 0, -shiftX});
    const auto top = std::max<int64_t>({t.y, 0, -shiftY});
    const auto right = std::min<int64_t>({t.x + t.cx, target.width(), source.width() - shiftX});
    const auto bottom = std::min<int64_t>({t.y + t.cy, target.height(), source.height() - shiftY});
    if (left >= right || top >= bottom) {
        return {};
    }
    return PixelSpan{static_cast<int32_t>(left), static_cast<int32_t>(top),
                     static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
}

// Copies a monochrome bitmap's pixels onto another bitmap, or within one as if through a copy of
// what was there before. Onto a colour surface the black bits take `black` and the white bits
// `white`. False when the memory to paint cannot be had.
bool copyBits(Bitmap& target, const Bitmap& source, const Transfer& given, COLORREF black,
              COLORREF white) noexcept
{
    const Transfer t = given.ordered();
    const PixelSpan span = copiedSpan(target, source, t);
    if (span.empty()) {
        return true;
    }
    const auto from = static_cast<uint32_t>(span.left + t.x1 - t.x);
    const auto firstSourceRow = static_cast<int32_t>(span.top + t.y1 - t.y);
    const int32_t rowCount = span.bottom - span.top;
    try {
        // The source rows read, saved first when the copy writes into the bitmap it reads.
        std::vector<uint8_t> saved;
        const bool oneRow = source.rowsShared();
        if (&target == &source) {
            const auto bytes = static_cast<size_t>(source.widthBytes()) * (oneRow ? 1 : rowCount);
            saved.assign(source.row(firstSourceRow), source.row(firstSourceRow) + bytes);
        }
        const auto sourceRow = [&](int32_t i) {
            const int32_t row = oneRow ? 0 : i;
            return saved.empty() ? source.row(firstSourceRow + row)
                                 : saved.data() + static_cast<size_t>(row) * source.widthBytes();
        };
        const auto rows = target.rowsToWrite(span.top, span.bottom, oneRow);
        if (!rows) {
            return false;
        }
        const auto count = static_cast<uint32_t>(span.right - span.left);
        for (int32_t i = 0; i < rows->count; ++i) {
            if (target.bitsPixel() == 1) {
                copyRowBits(sourceRow(i), from, (*rows)[i], static_cast<uint32_t>(span.left),
                            count);
                continue;
            }
            for (uint32_t x = 0; x < count; ++x) {
                const bool isWhite =
                    ((sourceRow(i)[(from + x) / 8] >> (7 - (from + x) % 8)) & 1) != 0;
                setColourPixel((*rows)[i], static_cast<int32_t>(span.left + x),
                               isWhite ? white : black);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

// The stock bitmap, which any new memory device context may hold, is painted under its lock.
BOOL paintAnyRect(const DeviceContext& context, int64_t left, int64_t top, int64_t right,
                  int64_t bottom, bool white)
{
    Bitmap* surface = context.surface;
    if (surface == nullptr) {
        return TRUE; // a device without a surface of its own keeps nothing that is drawn
    }
    orderEdges(left, right);
    orderEdges(top, bottom);
    if (context.bitmap == kDefaultBitmapHandle) {
        const std::lock_guard lock(gObjects.stockBitmapMutex());
        return paintSpan(*surface, left, top, right, bottom, white) ? TRUE : FALSE;
    }
    return paintSpan(*surface, left, top, right, bottom, white) ? TRUE : FALSE;
}

BOOL copyPixels(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1)
{
    const auto* destinationContext = find<DeviceContext>(hdc);
    const auto* sourceContext = find<DeviceContext>(hdcSrc);
    if (destinationContext == nullptr || sourceContext == nullptr) {
        return FALSE;
    }
    const DeviceContext& destination = *destinationContext;
    const Transfer t{x, y, cx, cy, x1, y1};
    Bitmap* target = destination.surface;
    const Bitmap* source = sourceContext->surface;
    if (source != nullptr && source->bitsPixel() != 1) {
        return FALSE; // only monochrome bitmaps are copied from
    }
    if (target == nullptr || source == nullptr) {
        return TRUE; // a device without a surface of its own keeps nothing that is drawn
    }
    if (destination.bitmap == kDefaultBitmapHandle ||
        sourceContext->bitmap == kDefaultBitmapHandle) {
        const std::lock_guard lock(gObjects.stockBitmapMutex());
        return copyBits(*target, *source, t, destination.textColor, destination.bkColor) ? TRUE
                                                                                         : FALSE;
    }
    return copyBits(*target, *source, t, destination.textColor, destination.bkColor) ? TRUE : FALSE;
}

} // namespace lorvaxen::gdi
