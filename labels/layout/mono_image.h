// The one picture every writer takes: a 1-bit image with its resolution.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace lorvaxen {

// Rows of packed bits, top row first, leftmost pixel in the most significant bit, 1 for black.
// Each row is padded to a whole byte with white (0) bits.
struct MonoImage
{
    int32_t width = 0;
    int32_t height = 0;
    int dpi = 0; // pixels per inch, the same along both axes
    std::vector<uint8_t> bits;

    std::size_t rowBytes() const { return (static_cast<std::size_t>(width) + 7) / 8; }
    const uint8_t* row(int32_t y) const
    {
        return bits.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    bool isBlack(int32_t x, int32_t y) const
    {
        return ((row(y)[static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1) != 0;
    }
    void setBlack(int32_t x, int32_t y)
    {
        bits[static_cast<std::size_t>(y) * rowBytes() + static_cast<std::size_t>(x) / 8] |=
            static_cast<uint8_t>(0x80U >> (x % 8));
    }
};

// A colour of the sRGB space, eight bits a channel.
struct Colour
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

// What the image's black and white pixels are printed in; no background is transparent.
struct Paint
{
    Colour ink{0, 0, 0};
    std::optional<Colour> background = Colour{255, 255, 255};
    bool blackOnWhite() const { return ink == Colour{} && background == Colour{255, 255, 255}; }
};

// Calls visit(start, end) for each run of black pixels in row `y`, from the left; the visit may
// whiten the run it is given.
template <typename Visit> void forEachBlackRun(const MonoImage& image, int32_t y, Visit visit)
{
    int32_t x = 0;
    while (x < image.width) {
        if (!image.isBlack(x, y)) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < image.width && image.isBlack(x, y)) {
            ++x;
        }
        visit(start, x);
    }
}

// An all-white image.
MonoImage whiteImage(int32_t width, int32_t height, int dpi);

// Copies a monochrome bitmap of the graphics interface (bit 1 is white there). Empty when the
// handle is not a readable 1-bit bitmap.
std::optional<MonoImage> readBitmap(HBITMAP bitmap, int dpi);

// The image with white columns added on each side; empty when the width would pass 32 bits.
std::optional<MonoImage> withMargins(const MonoImage& image, int32_t leftPx, int32_t rightPx);

// The image at (leftPx, topPx) of a larger white canvas; empty when it would not fit there.
std::optional<MonoImage> onCanvas(const MonoImage& image, int32_t width, int32_t height,
                                  int32_t leftPx, int32_t topPx = 0);

// The image turned clockwise by 90, 180 or 270 degrees (any other angle leaves it as it is).
MonoImage rotated(MonoImage image, int degrees);

// Every run of black pixels along a row made `dots` narrower, half from each edge (the odd dot
// from the right one), never below one pixel: bars printed narrower so that the ink's spread on
// the press brings them back to their width.
void narrowBars(MonoImage& image, int32_t dots);

// A length in pixels as millimetres at `dpi`.
double pixelsToMm(int32_t pixels, int dpi);

// A resolution in pixels per inch as whole pixels per metre, rounded, as PNG and BMP record it.
uint32_t pixelsPerMetre(int dpi);

// A number with at most `places` decimals and no trailing zeros: 17.78, 6.35, 100.
std::string formatDecimal(double value, int places);

} // namespace lorvaxen
