// The graphics stand-in's exported calls, and their drawing: fills and copies of rectangles, each
// clipped in 64 bits to the bitmaps it touches before any coordinate is narrowed.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "bitmap_bits.h"
#include "object_table.h"

namespace lorvaxen::gdi {
namespace {

constexpr int64_t kMaxBitmapBits = int64_t{1} << 31; // larger bitmaps are refused, not allocated

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
// cannot be had. A full-height bar on a bitmap whose rows are still one, every bar of a barcode,
// paints a byte or two of that one row.
inline bool paintSpan(Bitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom,
                      bool white)
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

// Paints any rectangle of a device context's surface; the stock bitmap, which any new memory device
// context may hold, under its lock.
[[gnu::noinline]] bool paintAnyRect(const DeviceContext& context, int64_t left, int64_t top,
                                    int64_t right, int64_t bottom, bool white)
{
    Bitmap* surface = context.surface;
    if (surface == nullptr) {
        return true; // a device without a surface of its own keeps nothing that is drawn
    }
    orderEdges(left, right);
    orderEdges(top, bottom);
    if (context.bitmap == kDefaultBitmapHandle) {
        const std::lock_guard lock(gObjects.stockBitmapMutex());
        return paintSpan(*surface, left, top, right, bottom, white);
    }
    return paintSpan(*surface, left, top, right, bottom, white);
}

// Paints a rectangle of a device context's surface black or white. A bar of a barcode, from the
// top to the bottom of a bitmap whose rows are still one (never the stock bitmap's), takes the
// shortest way: a
// byte or two of that row, clipped to the width. Everything else goes the long way.
inline bool paintRect(const DeviceContext& context, int64_t left, int64_t top, int64_t right,
                      int64_t bottom, bool white)
{
    Bitmap* surface = context.surface;
    if (surface == nullptr || !surface->rowsShared() || top > 0 || bottom < surface->height() ||
        right < left) {
        return paintAnyRect(context, left, top, right, bottom, white);
    }
    const int64_t from = std::max<int64_t>(left, 0);
    const int64_t to = std::min<int64_t>(right, surface->width());
    if (from < to) {
        fillRow(surface->rowsToWrite(0, surface->height(), true)->first,
                static_cast<uint32_t>(from), static_cast<uint32_t>(to), white);
    }
    return true;
}

// Sets one of a device context's two colours and returns the one it replaces.
COLORREF replaceColour(HDC hdc, COLORREF DeviceContext::*colour, COLORREF value)
{
    auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->*colour, value);
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

    // The same transfer with a positive or zero size: a negative one counts back from the corners
    // as for a fill, in the destination and the source alike.
    Transfer ordered() const
    {
        Transfer t = *this;
        if (t.cx < 0) {
            t.x += t.cx + 1;
            t.x1 += t.cx + 1;
            t.cx = -t.cx;
        }
        if (t.cy < 0) {
            t.y += t.cy + 1;
            t.y1 += t.cy + 1;
            t.cy = -t.cy;
        }
        return t;
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

// A SRCCOPY block transfer between device contexts. False when the source is not a device context
// or not monochrome, or when the memory to paint cannot be had.
[[gnu::noinline]] bool copyPixels(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1)
{
    const auto* destinationContext = find<DeviceContext>(hdc);
    const auto* sourceContext = find<DeviceContext>(hdcSrc);
    if (destinationContext == nullptr || sourceContext == nullptr) {
        return false;
    }
    const DeviceContext& destination = *destinationContext;
    const Transfer t{x, y, cx, cy, x1, y1};
    Bitmap* target = destination.surface;
    const Bitmap* source = sourceContext->surface;
    if (source != nullptr && source->bitsPixel() != 1) {
        return false; // only monochrome bitmaps are copied from
    }
    if (target == nullptr || source == nullptr) {
        return true; // a device without a surface of its own keeps nothing that is drawn
    }
    if (destination.bitmap == kDefaultBitmapHandle ||
        sourceContext->bitmap == kDefaultBitmapHandle) {
        const std::lock_guard lock(gObjects.stockBitmapMutex());
        return copyBits(*target, *source, t, destination.textColor, destination.bkColor);
    }
    return copyBits(*target, *source, t, destination.textColor, destination.bkColor);
}

HDC addDeviceContext(const DeviceContext& context)
{
    return handleOf<HDC>(gObjects.add(context));
}

// Lets go of a bitmap that a device context held. It needs no lock: the bitmap cannot be deleted
// while it is held, and a delete that sees it still held fails as if it came first.
void releaseBitmap(HandleValue handle)
{
    if (ObjectTable::isStock(handle)) {
        return; // the stock bitmap may be held by any number of device contexts
    }
    if (auto* bitmap = gObjects.find<Bitmap>(handle); bitmap != nullptr) {
        std::atomic_ref(bitmap->selectedInto).store(0, std::memory_order_release);
    }
}

} // namespace
} // namespace lorvaxen::gdi

using namespace lorvaxen::gdi; // NOLINT(google-build-using-namespace): the exports use them all

extern "C" {

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    const auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) {
        return 0;
    }
    switch (index) {
    case HORZRES:
        return context->horzRes;
    case VERTRES:
        return context->vertRes;
    case BITSPIXEL:
        return context->isMemory ? 1 : 32;
    case PLANES:
        return 1;
    case RASTERCAPS:
        return context->rasterCaps;
    case LOGPIXELSX:
        return context->dpiX;
    case LOGPIXELSY:
        return context->dpiY;
    default:
        return 0;
    }
}

HDC CreateReferenceDC(int dpiX, int dpiY, int rasterCaps)
{
    // No device has a resolution of zero or fewer pixels an inch.
    if (dpiX <= 0 || dpiY <= 0) {
        return nullptr;
    }
    DeviceContext context;
    context.dpiX = dpiX;
    context.dpiY = dpiY;
    context.rasterCaps = rasterCaps;
    return addDeviceContext(context);
}

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    DeviceContext context; // a null device context means the screen
    if (hdc != nullptr) {
        const auto* source = find<DeviceContext>(hdc);
        if (source == nullptr) {
            return nullptr;
        }
        // The same device; the drawing state, colours included, starts afresh.
        context.dpiX = source->dpiX;
        context.dpiY = source->dpiY;
        context.rasterCaps = source->rasterCaps;
        context.horzRes = source->horzRes;
        context.vertRes = source->vertRes;
    }
    // A new memory device context holds the stock 1 x 1 monochrome bitmap.
    context.isMemory = true;
    context.bitmap = kDefaultBitmapHandle;
    context.surface = gObjects.find<Bitmap>(kDefaultBitmapHandle);
    return addDeviceContext(context);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    const auto* context = find<DeviceContext>(hdc);
    if (context == nullptr || cx < 0 || cy < 0) {
        return nullptr;
    }
    if (cx == 0 || cy == 0) {
        // Windows answers an empty size with its stock 1 x 1 monochrome bitmap.
        return handleOf<HBITMAP>(kDefaultBitmapHandle);
    }
    // Windows would match a colour surface's format; the stand-in makes monochrome bitmaps only,
    // so it refuses rather than hand out the wrong kind.
    if (const auto* surface = context->surface; surface != nullptr && surface->bitsPixel() != 1) {
        return nullptr;
    }
    if (int64_t{cx} * cy > kMaxBitmapBits) {
        return nullptr;
    }
    try {
        return handleOf<HBITMAP>(gObjects.add(Bitmap(cx, cy, 1)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HGDIOBJ WINAPI GetStockObject(int i)
{
    switch (i) {
    case WHITE_BRUSH:
        return handleOf<HGDIOBJ>(kWhiteBrushHandle);
    case BLACK_BRUSH:
        return handleOf<HGDIOBJ>(kBlackBrushHandle);
    default:
        return nullptr;
    }
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    auto* context = find<DeviceContext>(hdc);
    const HandleValue handle = valueOf(h);
    if (context == nullptr || !context->isMemory) {
        return nullptr;
    }
    if (handle == context->bitmap) {
        return h; // a selected bitmap is alive
    }
    // A bitmap can be selected into one device context at a time; the stock one into any. It is
    // taken under the lock that deleting it takes, so that of the two at once exactly one wins.
    Bitmap* bitmap = gObjects.withLocked<Bitmap>(handle, [&](Bitmap* found) -> Bitmap* {
        if (found == nullptr || ObjectTable::isStock(handle)) {
            return found;
        }
        if (std::atomic_ref(found->selectedInto).load(std::memory_order_acquire) != 0) {
            return nullptr;
        }
        std::atomic_ref(found->selectedInto).store(valueOf(hdc), std::memory_order_relaxed);
        return found;
    });
    if (bitmap == nullptr) {
        return nullptr;
    }
    const HandleValue previous = context->bitmap;
    releaseBitmap(previous);
    context->bitmap = handle;
    context->surface = bitmap;
    return handleOf<HGDIOBJ>(previous);
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (lprc == nullptr) {
        return FALSE;
    }
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

int WINAPI FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr)
{
    const auto* brush = find<Brush>(hbr);
    const auto* context = find<DeviceContext>(hdc);
    if (lprc == nullptr || brush == nullptr || context == nullptr) {
        return 0;
    }
    return paintRect(*context, lprc->left, lprc->top, lprc->right, lprc->bottom, brush->white) ? 1
                                                                                               : 0;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    // The bars of a barcode first.
    if (rop == BLACKNESS || rop == WHITENESS) {
        const auto* destination = find<DeviceContext>(hdc);
        return destination != nullptr && paintRect(*destination, x, y, int64_t{x} + cx,
                                                   int64_t{y} + cy, rop == WHITENESS)
                   ? TRUE
                   : FALSE;
    }
    return rop == SRCCOPY && copyPixels(hdc, x, y, cx, cy, hdcSrc, x1, y1) ? TRUE : FALSE;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    const HandleValue handle = valueOf(ho);
    if (ObjectTable::isStock(handle)) {
        return find<Bitmap>(ho) != nullptr || find<Brush>(ho) != nullptr
                   ? TRUE // deleting a stock object is harmless and does nothing
                   : FALSE;
    }
    // A bitmap still selected into a device context stays; device contexts go with DeleteDC.
    return gObjects.remove<Bitmap>(
               handle,
               [](Bitmap& bitmap) {
                   return std::atomic_ref(bitmap.selectedInto).load(std::memory_order_acquire) == 0;
               })
               ? TRUE
               : FALSE;
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    // The bitmap it held is let go after, under its own lock: holding two shards' locks at once
    // could deadlock with a thread that takes them the other way round.
    HandleValue held = 0;
    if (!gObjects.remove<DeviceContext>(valueOf(hdc), [&held](const DeviceContext& context) {
            held = context.bitmap;
            return true;
        })) {
        return FALSE;
    }
    releaseBitmap(held);
    return TRUE;
}

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    auto* bitmap = find<Bitmap>(h);
    constexpr int size = sizeof(BITMAP);
    if (bitmap == nullptr) {
        return 0;
    }
    if (pv == nullptr) {
        return size;
    }
    if (c < size) {
        return 0;
    }
    // A colour bitmap is a DIB section, whose pixels the caller may reach.
    const BITMAP info{0,
                      bitmap->width(),
                      bitmap->height(),
                      bitmap->widthBytes(),
                      1,
                      static_cast<WORD>(bitmap->bitsPixel()),
                      bitmap->bitsPixel() == 1 ? nullptr : bitmap->colourPixels()};
    std::memcpy(pv, &info, size);
    return size;
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    const auto* bitmap = find<Bitmap>(hbit);
    if (bitmap == nullptr || cb < 0) {
        return 0;
    }
    const auto total = static_cast<int64_t>(bitmap->totalBytes());
    if (lpvBits == nullptr) {
        return static_cast<LONG>(std::min<int64_t>(total, std::numeric_limits<LONG>::max()));
    }
    const auto count = static_cast<size_t>(std::min<int64_t>(total, cb));
    auto* out = static_cast<uint8_t*>(lpvBits);
    if (ObjectTable::isStock(valueOf(hbit))) {
        const std::lock_guard lock(gObjects.stockBitmapMutex()); // others may be painting it
        bitmap->readBits(out, count);
    } else {
        bitmap->readBits(out, count);
    }
    return static_cast<LONG>(count);
}

HBITMAP WINAPI CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD /*offset*/)
{
    if (ppvBits != nullptr) {
        *ppvBits = nullptr;
    }
    if (pbmi == nullptr || usage != DIB_RGB_COLORS || hSection != nullptr) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = pbmi->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biBitCount != 32 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biHeight >= 0) {
        return nullptr;
    }
    const int64_t width = header.biWidth;
    const int64_t height = -int64_t{header.biHeight};
    if (width * height > kMaxBitmapBits / 32) { // both at most 2^31, so the product fits
        return nullptr;
    }
    try {
        Bitmap bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height), 32);
        uint8_t* pixels = bitmap.colourPixels(); // a vector's storage stays where it is when moved
        const HandleValue handle = gObjects.add(std::move(bitmap));
        if (handle == 0) {
            return nullptr;
        }
        if (ppvBits != nullptr) {
            *ppvBits = pixels;
        }
        return handleOf<HBITMAP>(handle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    return replaceColour(hdc, &DeviceContext::textColor, color);
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    return replaceColour(hdc, &DeviceContext::bkColor, color);
}

int GdiLiveObjectCount(void)
{
    return gObjects.liveCount();
}

} // extern "C"
