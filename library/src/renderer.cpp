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
    // Every element is at least a pixel wide, so a pattern of 2^31 elements is already too wide.
    if (pattern.size() >= static_cast<std::size_t>(kPixelLimit)) {
        return std::nullopt;
    }
    // Each digit's width once. One too wide for 32 bits counts as 2^31, so that a pattern holding
    // it comes to too wide a sum and is refused, while one without it is not.
    PixelGeometry geometry{*narrowPx, *heightPx, 0, {}};
    std::array<int64_t, 10> widths{};
    for (std::size_t index = 0; index < widths.size(); ++index) {
        const auto width = elementWidthPx(static_cast<char>('0' + index), *narrowPx, ratio);
        geometry.elementPx[index] = width.value_or(0);
        widths[index] = width ? *width : static_cast<int64_t>(kPixelLimit);
    }
    int64_t widthPx = 0;
    for (const char digit : pattern) {
        const auto index = static_cast<unsigned char>(digit - '0'); // wraps below '0'
        if (index >= widths.size()) {
            return std::nullopt;
        }
        widthPx += widths[index];
    }
    if (widthPx >= static_cast<int64_t>(kPixelLimit)) {
        return std::nullopt;
    }
    geometry.widthPx = static_cast<int32_t>(widthPx);
    return geometry;
}

namespace {

// The background white, then one BLACKNESS block transfer per bar, each the full height. On Linux
// the graphics stand-in keeps the rows of such a bitmap as one shared row, so a bar costs about
// one row whatever the height.
void paintSymbol(HDC hdc, HDC memoryDc, HBITMAP bitmap, std::string_view pattern,
                 const PixelGeometry& geometry)
{
    auto* whiteBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HGDIOBJ keptBitmap = SelectObject(memoryDc, bitmap);

    // The background covers the bitmap itself: a bitmap larger than the screen would otherwise
    // keep unpainted pixels beyond the screen's size.
    RECT background;
    SetRect(&background, 0, 0, geometry.widthPx, geometry.heightPx);
    FillRect(memoryDc, &background, whiteBrush);

    const auto widthOf = [&geometry](char digit) {
        return geometry.elementPx[static_cast<unsigned char>(digit) - std::size_t{'0'}];
    };
    // Bars and spaces alternate, a bar first: each step paints a bar and passes the space after it.
    int32_t x = 0;
    for (std::size_t bar = 0; bar < pattern.size(); bar += 2) {
        const int32_t width = widthOf(pattern[bar]);
        // BLACKNESS reads no source; hdc only fills the source arguments.
        // NOLINTNEXTLINE(readability-suspicious-call-argument)
        BitBlt(memoryDc, x, 0, width, geometry.heightPx, hdc, 0, 0, BLACKNESS);
        x += width;
        if (bar + 1 < pattern.size()) {
            x += widthOf(pattern[bar + 1]);
        }
    }
    SelectObject(memoryDc, keptBitmap);
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
        paintSymbol(hdc, memoryDc, bitmap, pattern, *geometry);
        rendering.code = LORVAXEN_OK;
        rendering.bitmap = bitmap;
    }
    DeleteDC(memoryDc);
    return rendering;
}

} // namespace lorvaxen
