#include "renderer.h"

#include <Lorvaxen.h>
#include <lorvaxen_pixels.h>

namespace lorvaxen {

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
    PixelGeometry geometry{*narrowPx, *heightPx, 0, {}};
    int64_t widthPx = 0;
    for (const char digit : pattern) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        // Every element is at least one pixel wide, so 0 marks a width not yet worked out.
        int32_t& width = geometry.elementPx[static_cast<std::size_t>(digit - '0')];
        if (width == 0) {
            const auto measured = elementWidthPx(digit, *narrowPx, ratio);
            if (!measured) {
                return std::nullopt;
            }
            width = *measured;
        }
        widthPx += width;
        if (widthPx >= static_cast<int64_t>(kPixelLimit)) {
            return std::nullopt;
        }
    }
    geometry.widthPx = static_cast<int32_t>(widthPx);
    return geometry;
}

namespace {

// Paints the bars, first element a bar, on a bitmap already selected into `memoryDc`.
bool paintBars(HDC memoryDc, HDC hdc, std::string_view pattern, const PixelGeometry& geometry)
{
    // The background covers the bitmap itself: a bitmap larger than the screen would otherwise
    // keep unpainted pixels beyond the screen's size.
    RECT background;
    SetRect(&background, 0, 0, geometry.widthPx, geometry.heightPx);
    bool painted =
        FillRect(memoryDc, &background, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) != 0;
    int32_t x = 0;
    bool isBar = true;
    for (const char digit : pattern) {
        const int32_t width = geometry.elementPx[static_cast<std::size_t>(digit - '0')];
        if (isBar) {
            // BLACKNESS reads no source; hdc only fills the source arguments.
            // NOLINTNEXTLINE(readability-suspicious-call-argument)
            painted = BitBlt(memoryDc, x, 0, width, geometry.heightPx, hdc, 0, 0, BLACKNESS) != 0 &&
                      painted;
        }
        x += width;
        isBar = !isBar;
    }
    return painted;
}

} // namespace

Rendering renderElementPattern(HDC hdc, std::string_view pattern, double narrowMm, double heightMm,
                               double ratio)
{
    if ((GetDeviceCaps(hdc, RASTERCAPS) & RC_BITBLT) == 0) {
        return {LORVAXEN_NO_BITBLT};
    }
    const auto geometry = measurePattern(pattern, GetDeviceCaps(hdc, LOGPIXELSX),
                                         GetDeviceCaps(hdc, LOGPIXELSY), narrowMm, heightMm, ratio);
    if (!geometry) {
        return {LORVAXEN_BAD_DIMENSION};
    }
    Rendering rendering{LORVAXEN_NO_BITBLT, geometry->widthPx, geometry->heightPx};
    HDC memoryDc = CreateCompatibleDC(hdc);
    if (memoryDc == nullptr) {
        return rendering;
    }
    // Compatible with the memory device context, not with hdc, so the bitmap is monochrome.
    HBITMAP bitmap = CreateCompatibleBitmap(memoryDc, geometry->widthPx, geometry->heightPx);
    rendering.code = LORVAXEN_NO_BITMAP;
    if (bitmap != nullptr) {
        HGDIOBJ keptBitmap = SelectObject(memoryDc, bitmap);
        const bool painted = paintBars(memoryDc, hdc, pattern, *geometry);
        SelectObject(memoryDc, keptBitmap);
        if (painted) {
            rendering.code = LORVAXEN_OK;
            rendering.bitmap = bitmap;
        } else {
            DeleteObject(bitmap); // a bitmap that is not the symbol is nobody's
        }
    }
    DeleteDC(memoryDc);
    return rendering;
}

} // namespace lorvaxen
