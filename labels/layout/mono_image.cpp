#include "mono_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace lorvaxen {

MonoImage whiteImage(int32_t width, int32_t height, int dpi)
{
    MonoImage image;
    image.width = width;
    image.height = height;
    image.dpi = dpi;
    image.bits.assign(image.rowBytes() * static_cast<std::size_t>(height), 0);
    return image;
}

std::optional<MonoImage> readBitmap(HBITMAP bitmap, int dpi)
{
    BITMAP info{};
    if (GetObject(bitmap, sizeof info, &info) != static_cast<int>(sizeof info) ||
        info.bmBitsPixel != 1 || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return std::nullopt;
    }
    const auto sourceRowBytes = static_cast<std::size_t>(info.bmWidthBytes);
    if (sourceRowBytes < (static_cast<std::size_t>(info.bmWidth) + 7) / 8) {
        return std::nullopt;
    }
    std::vector<uint8_t> source(sourceRowBytes * static_cast<std::size_t>(info.bmHeight));
    if (source.size() > static_cast<std::size_t>(std::numeric_limits<LONG>::max()) ||
        GetBitmapBits(bitmap, static_cast<LONG>(source.size()), source.data()) !=
            static_cast<LONG>(source.size())) {
        return std::nullopt;
    }
    MonoImage image = whiteImage(info.bmWidth, info.bmHeight, dpi);
    const std::size_t rowBytes = image.rowBytes();
    for (int32_t y = 0; y < image.height; ++y) {
        for (std::size_t b = 0; b < rowBytes; ++b) {
            // Inverted, since the bitmap keeps 1 for white; the padding bits are cleared below.
            image.bits[static_cast<std::size_t>(y) * rowBytes + b] =
                static_cast<uint8_t>(~source[static_cast<std::size_t>(y) * sourceRowBytes + b]);
        }
        if (image.width % 8 != 0) {
            image.bits[static_cast<std::size_t>(y) * rowBytes + rowBytes - 1] &=
                static_cast<uint8_t>(0xFFU << (8 - image.width % 8));
        }
    }
    return image;
}

std::optional<MonoImage> withMargins(const MonoImage& image, int32_t leftPx, int32_t rightPx)
{
    const int64_t width = int64_t{image.width} + leftPx + rightPx;
    if (leftPx < 0 || rightPx < 0 || width > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return onCanvas(image, static_cast<int32_t>(width), image.height, leftPx);
}

std::optional<MonoImage> onCanvas(const MonoImage& image, int32_t width, int32_t height,
                                  int32_t leftPx, int32_t topPx)
{
    if (leftPx < 0 || topPx < 0 || int64_t{leftPx} + image.width > width ||
        int64_t{topPx} + image.height > height) {
        return std::nullopt;
    }
    MonoImage canvas = whiteImage(width, height, image.dpi);
    const std::size_t rowBytes = canvas.rowBytes();
    for (int32_t y = 0; y < image.height; ++y) {
        // Bars span many rows alike: a row like the one above is copied whole.
        if (y > 0 && std::memcmp(image.row(y), image.row(y - 1), image.rowBytes()) == 0) {
            const auto above =
                canvas.bits.begin() +
                static_cast<std::ptrdiff_t>(static_cast<std::size_t>(topPx + y - 1) * rowBytes);
            std::copy_n(above, rowBytes, above + static_cast<std::ptrdiff_t>(rowBytes));
            continue;
        }
        for (int32_t x = 0; x < image.width; ++x) {
            if (image.isBlack(x, y)) {
                canvas.setBlack(leftPx + x, topPx + y);
            }
        }
    }
    return canvas;
}

MonoImage rotated(MonoImage image, int degrees)
{
    if (degrees != 90 && degrees != 180 && degrees != 270) {
        return image;
    }
    const bool quarter = degrees != 180;
    MonoImage turned = whiteImage(quarter ? image.height : image.width,
                                  quarter ? image.width : image.height, image.dpi);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            if (!image.isBlack(x, y)) {
                continue;
            }
            if (degrees == 90) {
                turned.setBlack(image.height - 1 - y, x);
            } else if (degrees == 180) {
                turned.setBlack(image.width - 1 - x, image.height - 1 - y);
            } else {
                turned.setBlack(y, image.width - 1 - x);
            }
        }
    }
    return turned;
}

void narrowBars(MonoImage& image, int32_t dots)
{
    if (dots <= 0) {
        return;
    }
    const int32_t fromLeft = dots / 2;
    const int32_t fromRight = dots - fromLeft;
    const std::size_t rowBytes = image.rowBytes();
    std::vector<uint8_t> above(rowBytes); // the row above as it was before
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = image.bits.data() + static_cast<std::size_t>(y) * rowBytes;
        // A row like the one above (bars span many) was narrowed already: copy it.
        if (y > 0 && std::memcmp(row, above.data(), rowBytes) == 0) {
            std::copy_n(row - rowBytes, rowBytes, row);
            continue;
        }
        std::copy_n(row, rowBytes, above.begin());
        forEachBlackRun(image, y, [&](int32_t start, int32_t end) {
            // A run narrower than the reduction keeps its middle pixel.
            const int32_t width = end - start;
            const int32_t keepFrom = width > dots ? start + fromLeft : start + (width - 1) / 2;
            const int32_t keepTo = width > dots ? end - fromRight : keepFrom + 1;
            for (int32_t i = start; i < end; ++i) {
                if (i < keepFrom || i >= keepTo) {
                    row[static_cast<std::size_t>(i) / 8] &=
                        static_cast<uint8_t>(~(0x80U >> (i % 8)));
                }
            }
        });
    }
}

double pixelsToMm(int32_t pixels, int dpi)
{
    return static_cast<double>(pixels) * 25.4 / static_cast<double>(dpi);
}

uint32_t pixelsPerMetre(int dpi)
{
    // 254 tenths of a millimetre to the inch, 10,000 to the metre.
    return static_cast<uint32_t>((int64_t{dpi} * 10000 + 127) / 254);
}

std::string formatDecimal(double value, int places)
{
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        // An absurd number, as someone typed it: in exponent form, not 300 digits.
        std::snprintf(buffer, sizeof buffer, "%.6g", value);
        return buffer;
    }
    std::string text(buffer, static_cast<std::size_t>(length));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

} // namespace lorvaxen
