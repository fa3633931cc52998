// The stand-in's drawing: fills and copies of rectangles, each clipped in 64 bits to the bitmaps
// it touches before any coordinate is narrowed.
#ifndef LORVAXEN_GDI_DRAWING_H
#define LORVAXEN_GDI_DRAWING_H

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "bitmap_bits.h"
#include "object_table.h"

namespace lorvaxen::gdi {

// Paints any rectangle of a device context's surface black or white, clipped to it; FALSE when
// the memory to paint cannot be had.
BOOL paintAnyRect(const DeviceContext& context, int64_t left, int64_t top, int64_t right,
                  int64_t bottom, bool white);

// Paints a rectangle of `hdc`'s surface black or white, clipped to it; FALSE when `hdc` is not a
// device context or when the memory to paint cannot be had. A bar of a barcode, from the top to
// the bottom of a bitmap whose rows are still one (never the stock bitmap's), takes the shortest
// way: a byte or two of that row, clipped to the width. Everything else goes the long way. The
// drawing calls answer BOOL, as the exported calls that end in them do.
inline BOOL paintRect(HDC hdc, int64_t left, int64_t top, int64_t right, int64_t bottom, bool white)
{
    const auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) [[unlikely]] {
        return FALSE;
    }
    Bitmap* surface = context->surface;
    if (surface == nullptr || !surface->rowsShared() || top > 0 || bottom < surface->height() ||
        right < left) [[unlikely]] {
        return paintAnyRect(*context, left, top, right, bottom, white);
    }
    const int64_t from = std::max<int64_t>(left, 0);
    const int64_t to = std::min<int64_t>(right, surface->width());
    if (from < to) {
        fillRow(surface->rowsToWrite(0, surface->height(), true)->first,
                static_cast<uint32_t>(from), static_cast<uint32_t>(to), white);
    }
    return TRUE;
}

// A SRCCOPY block transfer between device contexts, as BitBlt takes it. FALSE when either is not
// a device context, when the source is not monochrome, or when the memory to paint cannot be had.
BOOL copyPixels(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1);

} // namespace lorvaxen::gdi

#endif // LORVAXEN_GDI_DRAWING_H
