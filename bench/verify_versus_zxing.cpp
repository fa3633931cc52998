// The verifier's peer for speed and memory: an A4 page scanned at 600 dpi (4961 x 7016 grey
// pixels) holding one JAN symbol, read through libpng and decoded by zxing-cpp. scripts/bench
// times this beside `lorvaxen verify` on the same file, each as a process of its own.
//   verify_versus_zxing page FILE.png   writes the page
//   verify_versus_zxing zxing FILE.png  reads and decodes it as the peer, printing the text
#include <cstdio>
#include <string_view>
#include <vector>

#include <ZXing/ReadBarcode.h>
#include <png.h>

#include "barcode.h"

namespace {

constexpr png_uint_32 kPageWidth = 4961; // 210 x 297 mm at 600 dpi
constexpr png_uint_32 kPageHeight = 7016;

int writePage(const char* path)
{
    lorvaxen::BarcodeSettings settings;
    settings.symbology = lorvaxen::findSymbology("jan");
    const lorvaxen::Barcode barcode = lorvaxen::makeBarcode("490123456789", settings);
    std::vector<png_byte> page(std::size_t{kPageWidth} * kPageHeight, 235); // light paper
    const auto left = (kPageWidth - static_cast<png_uint_32>(barcode.image.width)) / 2;
    const auto top = (kPageHeight - static_cast<png_uint_32>(barcode.image.height)) / 2;
    for (int32_t y = 0; y < barcode.image.height; ++y) {
        for (int32_t x = 0; x < barcode.image.width; ++x) {
            if (barcode.image.isBlack(x, y)) {
                page[(top + static_cast<png_uint_32>(y)) * std::size_t{kPageWidth} + left +
                     static_cast<png_uint_32>(x)] = 20;
            }
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kPageWidth;
    image.height = kPageHeight;
    image.format = PNG_FORMAT_GRAY;
    return png_image_write_to_file(&image, path, 0, page.data(), 0, nullptr) != 0 ? 0 : 1;
}

int readWithPeer(const char* path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        return 1;
    }
    image.format = PNG_FORMAT_GRAY;
    std::vector<png_byte> grey(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr) == 0) {
        return 1;
    }
    const ZXing::ImageView view(grey.data(), static_cast<int>(image.width),
                                static_cast<int>(image.height), ZXing::ImageFormat::Lum);
    const auto result =
        ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::EAN13));
    std::printf("%s\n", result.text().c_str());
    return result.isValid() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "page") {
        return writePage(argv[2]);
    }
    if (argc == 3 && std::string_view(argv[1]) == "zxing") {
        return readWithPeer(argv[2]);
    }
    std::fprintf(stderr, "usage: verify_versus_zxing page|zxing FILE.png\n");
    return 2;
}
