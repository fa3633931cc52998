// Paints an element pattern into a new monochrome bitmap: the library's only drawing code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include <lorvaxen/symbols.h>
#include <lorvaxen_pixels.h> // elementWidthPx, the width of each element digit
#include <windows.h>

namespace lorvaxen::detail {

// The pixel sizes of a request, before anything is drawn.
struct PixelGeometry
{
    int32_t narrowPx;
    int32_t heightPx;
    int32_t widthPx;
    // The width of each element digit '0' to '9' that the pattern holds; 0 for the others, and
    // for a digit too wide to draw, which the pattern then does not hold.
    std::array<int32_t, 10> elementPx;
};

// Converts the request to pixels at the given resolution; empty when a dimension is refused
// (not positive, ratio below 1, NaN), when a pixel count would not fit 32 bits, or when the
// pattern holds anything but element digits.
std::optional<PixelGeometry> measurePattern(std::string_view pattern, int dpiX, int dpiY,
                                            double narrowMm, double heightMm, double ratio);

// Paints `pattern` for the device `hdc`. The code is 0, -1 (no BitBlt, or no memory device
// context), -2 (refused dimensions) or -3 (no bitmap).
Rendering renderElementPattern(HDC hdc, std::string_view pattern, double narrowMm, double heightMm,
                               double ratio);

} // namespace lorvaxen::detail
