#include "renderer.h"

#include <algorithm>
#include <new>
#include <vector>

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

// One row of the symbol as a monochrome bitmap holds it: 1 bits white, the leftmost pixel in the
// most significant bit, the row padded to a 2-byte boundary. A row of up to 4,096 pixels, which
// covers a JAN at any common size, takes no heap memory.
class RowBits
{
  public:
    explicit RowBits(int32_t widthPx) : size_(static_cast<std::size_t>((widthPx + 15) / 16 * 2))
    {
        if (size_ > local_.size()) {
            heap_.resize(size_);
        }
        std::fill_n(data(), size_, uint8_t{0xFF});
    }
    uint8_t* data() { return size_ > local_.size() ? heap_.data() : local_.data(); }

    // Paints pixels [left, right) black: partial bytes at the edges, whole bytes between.
    void paintBar(int32_t left, int32_t right)
    {
        uint8_t* bytes = data();
        const int32_t firstByte = left / 8;
        const int32_t lastByte = (right - 1) / 8;
        auto leftMask = static_cast<uint8_t>(0xFFU >> (left % 8));
        const auto rightMask = static_cast<uint8_t>(0xFFU << (7 - (right - 1) % 8));
        if (firstByte == lastByte) {
            leftMask &= rightMask;
        }
        bytes[firstByte] &= static_cast<uint8_t>(~leftMask);
        if (lastByte > firstByte) {
            std::fill(bytes + firstByte + 1, bytes + lastByte, uint8_t{0});
            bytes[lastByte] &= static_cast<uint8_t>(~rightMask);
        }
    }

  private:
    std::size_t size_;
    std::array<uint8_t, 512> local_{};
    std::vector<uint8_t> heap_;
};

// Every row of a linear symbol is the same: the bars are drawn into one row, first element a bar,
// and that row is stretched down the bitmap's height. False when the graphics cannot do it.
bool paintSymbol(HDC memoryDc, HBITMAP bitmap, std::string_view pattern,
                 const PixelGeometry& geometry) noexcept
{
    HBITMAP rowBitmap = nullptr;
    try {
        RowBits row(geometry.widthPx);
        // Elements alternate bar, space: each bar with the space after it, if any.
        const auto widthOf = [&geometry](char digit) {
            return geometry.elementPx[static_cast<std::size_t>(digit - '0')];
        };
        int32_t x = 0;
        for (std::size_t bar = 0; bar < pattern.size(); bar += 2) {
            const int32_t width = widthOf(pattern[bar]);
            row.paintBar(x, x + width);
            x += width + (bar + 1 < pattern.size() ? widthOf(pattern[bar + 1]) : 0);
        }
        rowBitmap = CreateBitmap(geometry.widthPx, 1, 1, 1, row.data());
    } catch (const std::bad_alloc&) {
        return false;
    }
    HDC rowDc = rowBitmap == nullptr ? nullptr : CreateCompatibleDC(memoryDc);
    bool painted = false;
    if (rowDc != nullptr) {
        HGDIOBJ keptRow = SelectObject(rowDc, rowBitmap);
        HGDIOBJ kept = SelectObject(memoryDc, bitmap);
        painted = keptRow != nullptr && kept != nullptr &&
                  StretchBlt(memoryDc, 0, 0, geometry.widthPx, geometry.heightPx, rowDc, 0, 0,
                             geometry.widthPx, 1, SRCCOPY) != 0;
        SelectObject(memoryDc, kept);
        SelectObject(rowDc, keptRow);
        DeleteDC(rowDc);
    }
    if (rowBitmap != nullptr) {
        DeleteObject(rowBitmap);
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
        if (paintSymbol(memoryDc, bitmap, pattern, *geometry)) {
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
