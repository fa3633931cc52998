#include "scan.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <ZXing/ReadBarcode.h>

namespace lorvaxen::test {

std::optional<std::string> decode(const Pixels& pixels, const std::string& format, int quietPx,
                                  bool verifyCheckDigit)
{
    const int width = pixels.width + 2 * quietPx;
    // A few rows are enough for a one-dimensional symbol, and keep the decoder quick.
    const int height = std::min(pixels.height, 8);
    std::vector<uint8_t> luminance(static_cast<size_t>(width) * height, 255);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y)) {
                luminance[static_cast<size_t>(y) * width + quietPx + x] = 0;
            }
        }
    }
    const ZXing::ImageView image(luminance.data(), width, height, ZXing::ImageFormat::Lum);
    const auto hints = ZXing::DecodeHints()
                           .setFormats(ZXing::BarcodeFormatFromString(format))
                           .setTryHarder(false)
                           .setTryRotate(false)
                           .setIsPure(false)
                           .setValidateITFCheckSum(verifyCheckDigit);
    const auto result = ZXing::ReadBarcode(image, hints);
    if (!result.isValid()) {
        return std::nullopt;
    }
    return result.text();
}

} // namespace lorvaxen::test
