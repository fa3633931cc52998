// The millimetre-to-pixel and element-width rules of the library, for the library itself and for
// any client or test that must size something exactly as the library sizes its bitmaps.
#pragma once

#include <cstdint>
#include <optional>

namespace lorvaxen {

constexpr double kMmPerInch = 25.4;
constexpr double kPixelLimit =
    2147483648.0; // 2^31: the first count a 32-bit pixel size cannot hold

// Truncates a pixel count toward zero; empty when it does not fit (NaN and infinities included).
inline std::optional<int32_t> truncatePixels(double value)
{
    if (!(value > -kPixelLimit && value < kPixelLimit)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// Millimetres to whole pixels at `dpi`, at least 1; empty when the count does not fit 32 bits. The
// resolution times the millimetres comes first, then the division: 96 * 25.4 / 25.4 is 95.999...,
// so 25.4 mm at 96 dpi is 95 pixels.
inline std::optional<int32_t> mmToPixels(int dpi, double mm)
{
    const auto pixels = truncatePixels(static_cast<double>(dpi) * mm / kMmPerInch);
    if (!pixels) {
        return std::nullopt;
    }
    return *pixels < 1 ? 1 : *pixels;
}

// Pixel width of one element of a pattern: digit 0 is one module, digit k >= 1 is
// (k + 1) * ratio / 2 modules, truncated. Empty when it does not fit a 32-bit pixel count.
inline std::optional<int32_t> elementWidthPx(char digit, int32_t narrowPx, double ratio)
{
    const int64_t k = digit - '0';
    if (k == 0) {
        return narrowPx;
    }
    // (k + 1) * narrowPx is taken in integers, then scaled by ratio / 2, which is computed first.
    return truncatePixels(static_cast<double>((k + 1) * narrowPx) * (ratio / 2.0));
}

} // namespace lorvaxen
