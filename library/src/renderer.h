// Paints an element pattern into a new monochrome bitmap: the library's only drawing code.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include <windows.h>

namespace lorvaxen {

// The pixel sizes of a request, before anything is drawn.
struct PixelGeometry
{
    int32_t narrowPx;
    int32_t heightPx;
    int32_t widthPx;
};

// Pixel width of one element of the pattern: digit 0 is one module, digit k >= 1 is
// (k + 1) * ratio / 2 modules, truncated. Empty when it does not fit a 32-bit pixel count.
std::optional<int32_t> elementWidthPx(char digit, int32_t narrowPx, double ratio);

// Converts the request to pixels at the given resolution; empty when a dimension is refused
// (not positive, ratio below 1, NaN) or when a pixel count would not fit 32 bits.
std::optional<PixelGeometry> measurePattern(std::string_view pattern, int dpiX, int dpiY,
                                            double narrowMm, double heightMm, double ratio);

// Paints `pattern` for the device `hdc`. Returns 0, -1 (no BitBlt, or no memory device context),
// -2 (refused dimensions) or -3 (no bitmap). Null output pointers are skipped.
int32_t RenderElementPattern(HDC hdc, HBITMAP* outBitmap, int32_t* outWidthPx, int32_t* outHeightPx,
                             const char* elementPattern, double narrowMm, double heightMm,
                             double ratio);

} // namespace lorvaxen
