// The graphics stand-in's exported calls.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <utility>

#include "bitmap_bits.h"
#include "drawing.h"
#include "object_table.h"

namespace lorvaxen::gdi {
namespace {

constexpr int64_t kMaxBitmapBits = int64_t{1} << 31; // larger bitmaps are refused, not allocated

// Sets one of a device context's two colours and returns the one it replaces.
COLORREF replaceColour(HDC hdc, COLORREF DeviceContext::*colour, COLORREF value)
{
    auto* context = find<DeviceContext>(hdc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->*colour, value);
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
    if (lprc == nullptr || brush == nullptr) {
        return 0;
    }
    return paintRect(hdc, lprc->left, lprc->top, lprc->right, lprc->bottom, brush->white);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    // A copy goes on at once with its arguments where they came, so that the bars of a barcode,
    // which come next, need not keep them.
    if (rop == SRCCOPY) {
        return copyPixels(hdc, x, y, cx, cy, hdcSrc, x1, y1);
    }
    if (rop != BLACKNESS && rop != WHITENESS) [[unlikely]] {
        return FALSE;
    }
    return paintRect(hdc, x, y, int64_t{x} + cx, int64_t{y} + cy, rop == WHITENESS);
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
                      bitmap->colourPixels()};
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
