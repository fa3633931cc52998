#include "renderer.h"

#include <algorithm>
#include <utility>

#include <Lorvaxen.h>
#include <lorvaxen_pixels.h>

namespace lorvaxen::detail {

namespace {

// The lowest and the highest digit of a text that is not empty, or nothing when it holds a byte
// that is not a digit. The bytes are compared unsigned, so that one above 127 counts as high.
std::optional<std::pair<char, char>> digitRange(std::string_view pattern)
{
    auto lowest = static_cast<unsigned char>(pattern.front());
    unsigned char highest = lowest;
    for (const char element : pattern) {
        lowest = std::min(lowest, static_cast<unsigned char>(element));
        highest = std::max(highest, static_cast<unsigned char>(element));
    }
    if (lowest < '0' || highest > '9') {
        return std::nullopt;
    }
    return std::pair{static_cast<char>(lowest), static_cast<char>(highest)};
}

// How many times `digit` occurs in a text shorter than 2^31.
int64_t countOf(std::string_view pattern, char digit)
{
    uint32_t count = 0;
    for (const char element : pattern) {
        count += element == digit ? 1 : 0;
    }
    return count;
}

} // namespace

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
    // The lowest and highest digits first, which also proves that the pattern holds only digits.
    // Then each digit's width once, times its count: each digit below the highest is counted, and
    // the highest takes the elements left. Both passes are simple enough to go many bytes at a
    // time. A digit too wide for 32 bits counts as 2^31 a time, so that a pattern holding it comes
    // to too wide a sum and is refused, while one without it is not; a sum of fewer than 2^31 such
    // widths fits 64 bits.
    const auto digits = digitRange(pattern);
    if (!digits) {
        return std::nullopt;
    }
    const auto [lowest, highest] = *digits;
    PixelGeometry geometry{*narrowPx, *heightPx, 0, {}};
    constexpr int64_t kTooWide = int64_t{1} << 31;
    int64_t widthPx = 0;
    auto uncounted = static_cast<int64_t>(pattern.size());
    for (char digit = lowest; digit <= highest; ++digit) {
        const auto width = elementWidthPx(digit, *narrowPx, ratio);
        geometry.elementPx[static_cast<std::size_t>(digit - '0')] = width.value_or(0);
        const int64_t count = digit == highest ? uncounted : countOf(pattern, digit);
        widthPx += count * (width ? *width : kTooWide);
        uncounted -= count;
    }
    if (widthPx >= kTooWide) {
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

} // namespace lorvaxen::detail
