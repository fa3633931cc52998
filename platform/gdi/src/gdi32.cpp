// The graphics stand-in: device contexts and bitmaps behind checked handles.
//
// Every object lives in one table keyed by its handle value. Handle values are never reused, so a
// deleted handle is simply absent and every call on it fails cleanly.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace {

constexpr int kProcessObjectQuota = 10000;           // Windows' default GDI handle quota
constexpr int64_t kMaxBitmapBits = int64_t{1} << 31; // larger bitmaps are refused, not allocated
constexpr int kScreenDpi = 96;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

using HandleValue = uintptr_t;

struct Bitmap
{
    int32_t width = 1;
    int32_t height = 1;
    // 1 for a monochrome bitmap; 32 for a colour DIB section, four bytes a pixel (blue, green, red,
    // unused) with rows from the top.
    int32_t bitsPixel = 1;
    int32_t widthBytes = 2; // monochrome rows are padded to a 2-byte boundary, as GetBitmapBits
                            // hands them out
    // A new bitmap is black, as the zeroed memory of a fresh Windows bitmap usually is: whatever is
    // not painted shows.
    std::vector<uint8_t> bits = std::vector<uint8_t>(2, 0x00);
    HandleValue selectedInto = 0;
};

struct DeviceContext
{
    bool isMemory = false;
    int dpiX = kScreenDpi;
    int dpiY = kScreenDpi;
    int rasterCaps = RC_BITBLT;
    int horzRes = kScreenWidth;
    int vertRes = kScreenHeight;
    HandleValue bitmap = 0; // the bitmap selected into a memory device context
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
};

struct Brush
{
    bool white = true;
};

using Object = std::variant<Bitmap, DeviceContext, Brush>;

// Stock objects have fixed handle values below the first one handed out for created objects.
constexpr HandleValue kWhiteBrushHandle = 0x100;
constexpr HandleValue kBlackBrushHandle = 0x104;
constexpr HandleValue kDefaultBitmapHandle = 0x108;
constexpr HandleValue kFirstCreatedHandle = 0x1000;

class ObjectTable
{
  public:
    ObjectTable()
    {
        objects_.emplace(kWhiteBrushHandle, Brush{true});
        objects_.emplace(kBlackBrushHandle, Brush{false});
        objects_.emplace(kDefaultBitmapHandle, Bitmap{});
    }

    std::mutex& mutex() { return mutex_; }

    template <class T> T* find(HandleValue handle)
    {
        auto it = objects_.find(handle);
        return it == objects_.end() ? nullptr : std::get_if<T>(&it->second);
    }

    // Returns 0 when the process quota is used up.
    HandleValue add(Object object)
    {
        if (liveCount_ >= kProcessObjectQuota) {
            return 0;
        }
        const HandleValue handle = next_;
        objects_.emplace(handle, std::move(object));
        next_ += 4;
        ++liveCount_;
        return handle;
    }

    bool remove(HandleValue handle)
    {
        if (isStock(handle) || objects_.erase(handle) == 0) {
            return false;
        }
        --liveCount_;
        return true;
    }

    static bool isStock(HandleValue handle) { return handle < kFirstCreatedHandle; }
    int liveCount() const { return liveCount_; }

  private:
    std::mutex mutex_;
    std::unordered_map<HandleValue, Object> objects_;
    HandleValue next_ = kFirstCreatedHandle;
    int liveCount_ = 0;
};

ObjectTable& table()
{
    static ObjectTable instance;
    return instance;
}

template <class Handle> HandleValue valueOf(Handle handle)
{
    return reinterpret_cast<HandleValue>(handle); // NOLINT(*-reinterpret-cast): handles are ids
}

template <class Handle> Handle handleOf(HandleValue value)
{
    return reinterpret_cast<Handle>(value); // NOLINT(*-reinterpret-cast,performance-no-int-to-ptr)
}

// The bitmap a device context draws into, or null for a device without a surface.
Bitmap* surfaceOf(ObjectTable& objects, HandleValue dc)
{
    auto* context = objects.find<DeviceContext>(dc);
    return context == nullptr ? nullptr : objects.find<Bitmap>(context->bitmap);
}

// A rectangle of pixels, clipped to a bitmap; empty when nothing of it lies inside.
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
    return PixelSpan{static_cast<int32_t>(std::clamp<int64_t>(left, 0, bitmap.width)),
                     static_cast<int32_t>(std::clamp<int64_t>(top, 0, bitmap.height)),
                     static_cast<int32_t>(std::clamp<int64_t>(right, 0, bitmap.width)),
                     static_cast<int32_t>(std::clamp<int64_t>(bottom, 0, bitmap.height))};
}

bool pixel(const Bitmap& bitmap, int32_t x, int32_t y)
{
    const auto byte = bitmap.bits[static_cast<size_t>(y) * bitmap.widthBytes + x / 8];
    return ((byte >> (7 - x % 8)) & 1) != 0;
}

void setPixel(Bitmap& bitmap, int32_t x, int32_t y, bool white)
{
    auto& byte = bitmap.bits[static_cast<size_t>(y) * bitmap.widthBytes + x / 8];
    const auto mask = static_cast<uint8_t>(0x80U >> (x % 8));
    byte = white ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

// Paints a clipped span in one colour: partial bytes at the two edges, whole bytes between them.
// Bars and backgrounds are tall, so this is the hot path of every barcode.
void fillSpan(Bitmap& bitmap, const PixelSpan& span, bool white)
{
    const int32_t firstByte = span.left / 8;
    const int32_t lastByte = (span.right - 1) / 8;
    auto leftMask = static_cast<uint8_t>(0xFFU >> (span.left % 8));
    const auto rightMask = static_cast<uint8_t>(0xFFU << (7 - (span.right - 1) % 8));
    if (firstByte == lastByte) {
        leftMask &= rightMask;
    }
    const auto paint = [white](uint8_t& byte, uint8_t mask) {
        byte = white ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
    };
    const auto fill = static_cast<uint8_t>(white ? 0xFF : 0x00);
    uint8_t* row = bitmap.bits.data() + static_cast<size_t>(span.top) * bitmap.widthBytes;
    for (int32_t y = span.top; y < span.bottom; ++y, row += bitmap.widthBytes) {
        paint(row[firstByte], leftMask);
        if (lastByte > firstByte) {
            std::fill(row + firstByte + 1, row + lastByte, fill);
            paint(row[lastByte], rightMask);
        }
    }
}

void setColourPixel(Bitmap& bitmap, int32_t x, int32_t y, COLORREF colour)
{
    uint8_t* pixel = bitmap.bits.data() + static_cast<size_t>(y) * bitmap.widthBytes +
                     static_cast<size_t>(x) * 4;
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    pixel[3] = 0;
}

// Paints a clipped span black or white, whatever the bitmap's format.
void paintSpan(Bitmap& bitmap, const PixelSpan& span, bool white)
{
    if (bitmap.bitsPixel == 1) {
        fillSpan(bitmap, span, white);
        return;
    }
    const COLORREF colour = white ? RGB(255, 255, 255) : RGB(0, 0, 0);
    for (int32_t y = span.top; y < span.bottom; ++y) {
        for (int32_t x = span.left; x < span.right; ++x) {
            setColourPixel(bitmap, x, y, colour);
        }
    }
}

// Sets one of a device context's two colours and returns the one it replaces.
COLORREF replaceColour(HDC hdc, COLORREF DeviceContext::*colour, COLORREF value)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    auto* context = objects.find<DeviceContext>(valueOf(hdc));
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->*colour, value);
}

} // namespace

extern "C" {

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    const auto* context = objects.find<DeviceContext>(valueOf(hdc));
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
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    DeviceContext context;
    context.dpiX = dpiX;
    context.dpiY = dpiY;
    context.rasterCaps = rasterCaps;
    try {
        return handleOf<HDC>(objects.add(context));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    DeviceContext context; // a null device context means the screen
    if (hdc != nullptr) {
        const auto* source = objects.find<DeviceContext>(valueOf(hdc));
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
    try {
        return handleOf<HDC>(objects.add(context));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    if (objects.find<DeviceContext>(valueOf(hdc)) == nullptr || cx < 0 || cy < 0) {
        return nullptr;
    }
    if (cx == 0 || cy == 0) {
        // Windows answers an empty size with its stock 1 x 1 monochrome bitmap.
        return handleOf<HBITMAP>(kDefaultBitmapHandle);
    }
    // Windows would match a colour surface's format; the stand-in makes monochrome bitmaps only,
    // so it refuses rather than hand out the wrong kind.
    if (const auto* surface = surfaceOf(objects, valueOf(hdc));
        surface != nullptr && surface->bitsPixel != 1) {
        return nullptr;
    }
    if (int64_t{cx} * cy > kMaxBitmapBits) {
        return nullptr;
    }
    try {
        Bitmap bitmap;
        bitmap.width = cx;
        bitmap.height = cy;
        bitmap.widthBytes = (cx + 15) / 16 * 2;
        bitmap.bits.assign(static_cast<size_t>(bitmap.widthBytes) * static_cast<size_t>(cy), 0x00);
        return handleOf<HBITMAP>(objects.add(std::move(bitmap)));
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
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    auto* context = objects.find<DeviceContext>(valueOf(hdc));
    auto* bitmap = objects.find<Bitmap>(valueOf(h));
    if (context == nullptr || !context->isMemory || bitmap == nullptr) {
        return nullptr;
    }
    const HandleValue handle = valueOf(h);
    if (handle == context->bitmap) {
        return h;
    }
    // A bitmap can be selected into one device context at a time; the stock one into any.
    if (!ObjectTable::isStock(handle) && bitmap->selectedInto != 0) {
        return nullptr;
    }
    const HandleValue previous = context->bitmap;
    if (auto* old = objects.find<Bitmap>(previous)) {
        old->selectedInto = 0;
    }
    if (!ObjectTable::isStock(handle)) {
        bitmap->selectedInto = valueOf(hdc);
    }
    context->bitmap = handle;
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
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    const auto* brush = objects.find<Brush>(valueOf(hbr));
    if (lprc == nullptr || brush == nullptr ||
        objects.find<DeviceContext>(valueOf(hdc)) == nullptr) {
        return 0;
    }
    if (auto* surface = surfaceOf(objects, valueOf(hdc))) {
        const auto span = clip(*surface, lprc->left, lprc->top, lprc->right, lprc->bottom);
        if (!span.empty()) {
            paintSpan(*surface, span, brush->white);
        }
    }
    return 1;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    if (objects.find<DeviceContext>(valueOf(hdc)) == nullptr) {
        return FALSE;
    }
    Bitmap* target = surfaceOf(objects, valueOf(hdc));
    if (rop == BLACKNESS || rop == WHITENESS) {
        if (target != nullptr) {
            const auto span = clip(*target, x, y, int64_t{x} + cx, int64_t{y} + cy);
            if (!span.empty()) {
                paintSpan(*target, span, rop == WHITENESS);
            }
        }
        return TRUE;
    }
    if (rop != SRCCOPY) {
        return FALSE;
    }
    const Bitmap* source = surfaceOf(objects, valueOf(hdcSrc));
    if (objects.find<DeviceContext>(valueOf(hdcSrc)) == nullptr) {
        return FALSE;
    }
    if (source != nullptr && source->bitsPixel != 1) {
        return FALSE; // only monochrome bitmaps are copied from
    }
    if (target == nullptr || source == nullptr) {
        return TRUE; // a device without a surface of its own keeps nothing that is drawn
    }
    // Onto a colour surface the black bits take the destination's text colour and the white bits
    // its background colour.
    const auto* destination = objects.find<DeviceContext>(valueOf(hdc));
    const COLORREF black = destination->textColor;
    const COLORREF white = destination->bkColor;
    // Only the part that lies inside both bitmaps is copied.
    const auto span = clip(*target, x, y, int64_t{x} + cx, int64_t{y} + cy);
    for (int32_t ty = span.top; ty < span.bottom; ++ty) {
        const int64_t sy = int64_t{y1} + (ty - y);
        for (int32_t tx = span.left; tx < span.right; ++tx) {
            const int64_t sx = int64_t{x1} + (tx - x);
            if (sx >= 0 && sy >= 0 && sx < source->width && sy < source->height) {
                const bool isWhite =
                    pixel(*source, static_cast<int32_t>(sx), static_cast<int32_t>(sy));
                if (target->bitsPixel == 1) {
                    setPixel(*target, tx, ty, isWhite);
                } else {
                    setColourPixel(*target, tx, ty, isWhite ? white : black);
                }
            }
        }
    }
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    const HandleValue handle = valueOf(ho);
    if (ObjectTable::isStock(handle)) {
        return objects.find<Bitmap>(handle) != nullptr || objects.find<Brush>(handle) != nullptr
                   ? TRUE // deleting a stock object is harmless and does nothing
                   : FALSE;
    }
    const auto* bitmap = objects.find<Bitmap>(handle);
    // A bitmap still selected into a device context stays; device contexts go with DeleteDC.
    if (bitmap == nullptr || bitmap->selectedInto != 0) {
        return FALSE;
    }
    return objects.remove(handle) ? TRUE : FALSE;
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    auto* context = objects.find<DeviceContext>(valueOf(hdc));
    if (context == nullptr) {
        return FALSE;
    }
    if (auto* bitmap = objects.find<Bitmap>(context->bitmap)) {
        bitmap->selectedInto = 0;
    }
    return objects.remove(valueOf(hdc)) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    auto* bitmap = objects.find<Bitmap>(valueOf(h));
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
                      bitmap->width,
                      bitmap->height,
                      bitmap->widthBytes,
                      1,
                      static_cast<WORD>(bitmap->bitsPixel),
                      bitmap->bitsPixel == 1 ? nullptr : bitmap->bits.data()};
    std::memcpy(pv, &info, size);
    return size;
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    const auto* bitmap = objects.find<Bitmap>(valueOf(hbit));
    if (bitmap == nullptr || cb < 0) {
        return 0;
    }
    const auto total = static_cast<int64_t>(bitmap->bits.size());
    if (lpvBits == nullptr) {
        return static_cast<LONG>(std::min<int64_t>(total, std::numeric_limits<LONG>::max()));
    }
    const auto count = static_cast<size_t>(std::min<int64_t>(total, cb));
    std::memcpy(lpvBits, bitmap->bits.data(), count);
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
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    try {
        Bitmap bitmap;
        bitmap.width = static_cast<int32_t>(width);
        bitmap.height = static_cast<int32_t>(height);
        bitmap.bitsPixel = 32;
        bitmap.widthBytes = static_cast<int32_t>(width * 4);
        bitmap.bits.assign(static_cast<size_t>(width * 4 * height), 0x00); // black, as on Windows
        const HandleValue handle = objects.add(std::move(bitmap));
        if (handle == 0) {
            return nullptr;
        }
        if (ppvBits != nullptr) {
            *ppvBits = objects.find<Bitmap>(handle)->bits.data();
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
    auto& objects = table();
    const std::lock_guard lock(objects.mutex());
    return objects.liveCount();
}

} // extern "C"
