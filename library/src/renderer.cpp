#include "renderer.h"

#include <Lorvaxen.h>

namespace lorvaxen {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPixelLimit =
    2147483648.0; // 2^31: the first count a 32-bit pixel size cannot hold

// Truncates a pixel count toward zero; empty when it does not fit (NaN and infinities included).
std::optional<int32_t> truncatePixels(double value)
{
    if (!(value > -kPixelLimit && value < kPixelLimit)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// Millimetres to whole pixels at `dpi`, at least 1. The resolution times the millimetres comes
// first, then the division: 96 * 25.4 / 25.4 is 95.999..., so 25.4 mm at 96 dpi is 95 pixels.
std::optional<int32_t> mmToPixels(int dpi, double mm)
{
    const auto pixels = truncatePixels(static_cast<double>(dpi) * mm / kMmPerInch);
    if (!pixels) {
        return std::nullopt;
    }
    return *pixels < 1 ? 1 : *pixels;
}

template <class T> void store(T* out, T value)
{
    if (out != nullptr) {
        *out = value;
    }
}

} // namespace

std::optional<int32_t> elementWidthPx(char digit, int32_t narrowPx, double ratio)
{
    const int64_t k = digit - '0';
    if (k == 0) {
        return narrowPx;
    }
    // (k + 1) * narrowPx is taken in integers, then scaled by ratio / 2, which is computed first.
    return truncatePixels(static_cast<double>((k + 1) * narrowPx) * (ratio / 2.0));
}

std::optional<PixelGeometry> measurePattern(std::string_view pattern, int dpiX, int dpiY,
                                            double narrowMm, double heightMm, double ratio)
{
    // Each test passes only when its comparison holds, so a NaN fails it.
    if (pattern.empty() || !(ratio >= 1.0) || !(heightMm > 0.0) || !(narrowMm > 0.0)) {
        return std::nullopt;
    }
    const auto heightPx = mmToPixels(dpiY, heightMm);
    const auto narrowPx = mmToPixels(dpiX, narrowMm);
    if (!heightPx || !narrowPx) {
        return std::nullopt;
    }
    int64_t widthPx = 0;
    for (const char digit : pattern) {
        const auto width = elementWidthPx(digit, *narrowPx, ratio);
        if (!width) {
            return std::nullopt;
        }
        widthPx += *width;
        if (widthPx >= static_cast<int64_t>(kPixelLimit)) {
            return std::nullopt;
        }
    }
    return PixelGeometry{*narrowPx, *heightPx, static_cast<int32_t>(widthPx)};
}

int32_t RenderElementPattern(HDC hdc, HBITMAP* outBitmap, int32_t* outWidthPx, int32_t* outHeightPx,
                             const char* elementPattern, double narrowMm, double heightMm,
                             double ratio)
{
    if ((GetDeviceCaps(hdc, RASTERCAPS) & RC_BITBLT) == 0) {
        return LORVAXEN_NO_BITBLT;
    }
    const int dpiX = GetDeviceCaps(hdc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    const std::string_view pattern = elementPattern == nullptr ? "" : elementPattern;
    const auto geometry = measurePattern(pattern, dpiX, dpiY, narrowMm, heightMm, ratio);
    if (!geometry) {
        return LORVAXEN_BAD_DIMENSION;
    }
    store(outWidthPx, geometry->widthPx);
    store(outHeightPx, geometry->heightPx);

    HDC memoryDc = CreateCompatibleDC(hdc);
    if (memoryDc == nullptr) {
        return LORVAXEN_NO_BITBLT;
    }
    // Compatible with the memory device context, not with hdc, so the bitmap is monochrome.
    HBITMAP bitmap = CreateCompatibleBitmap(memoryDc, geometry->widthPx, geometry->heightPx);
    if (bitmap == nullptr) {
        DeleteDC(memoryDc);
        return LORVAXEN_NO_BITMAP;
    }
    auto* whiteBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HGDIOBJ keptBitmap = SelectObject(memoryDc, bitmap);

    // The background covers the bitmap itself: a bitmap larger than the screen would otherwise
    // keep unpainted pixels beyond the screen's size.
    RECT background;
    SetRect(&background, 0, 0, geometry->widthPx, geometry->heightPx);
    FillRect(memoryDc, &background, whiteBrush);

    int32_t x = 0;
    bool isBar = true;
    for (const char digit : pattern) {
        const int32_t width = *elementWidthPx(digit, geometry->narrowPx, ratio);
        if (isBar) {
            // BLACKNESS reads no source; hdc only fills the source arguments.
            // NOLINTNEXTLINE(readability-suspicious-call-argument)
            BitBlt(memoryDc, x, 0, width, geometry->heightPx, hdc, 0, 0, BLACKNESS);
        }
        x += width;
        isBar = !isBar;
    }

    SelectObject(memoryDc, keptBitmap);
    DeleteDC(memoryDc);
    if (outBitmap == nullptr) {
        DeleteObject(bitmap); // nobody could ever release it
    } else {
        *outBitmap = bitmap;
    }
    return LORVAXEN_OK;
}

} // namespace lorvaxen
