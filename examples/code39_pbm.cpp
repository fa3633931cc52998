// Renders a Code 39 barcode of a text at 300 dpi and writes it as a PBM image.
//
//   code39-pbm TEXT [FILE]     (FILE defaults to code39.pbm)

#include <Lorvaxen.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// GetBitmapBits rows are padded to 2 bytes with 1 for white; PBM rows are padded to 1 byte with 1
// for black, so each byte is inverted and the padding dropped.
bool writePbm(const std::string& path, HBITMAP bitmap)
{
    BITMAP info{};
    if (GetObject(bitmap, sizeof info, &info) == 0) {
        return false;
    }
    std::vector<unsigned char> bits(static_cast<size_t>(info.bmWidthBytes) * info.bmHeight);
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    std::ofstream out(path, std::ios::binary);
    out << "P4\n" << info.bmWidth << ' ' << info.bmHeight << '\n';
    const size_t rowBytes = (static_cast<size_t>(info.bmWidth) + 7) / 8;
    for (LONG y = 0; y < info.bmHeight; ++y) {
        for (size_t b = 0; b < rowBytes; ++b) {
            out.put(static_cast<char>(~bits[static_cast<size_t>(y) * info.bmWidthBytes + b]));
        }
    }
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s TEXT [FILE]\n", argv[0]);
        return 2;
    }
    std::string text = argv[1];
    const std::string path = argc == 3 ? argv[2] : "code39.pbm";
    std::string framed(text.size() + 4, '\0');

    HDC device = CreateReferenceDC(300, 300, RC_BITBLT);
    HBITMAP bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    const int32_t result = BarCode_Code39(device, &bitmap, text.data(), &width, &height,
                                          framed.data(), 0.33, 10.0, 2.5, 0);
    DeleteDC(device);
    if (result != LORVAXEN_OK) {
        std::fprintf(stderr, "BarCode_Code39 refused \"%s\" with %d\n", argv[1], result);
        return 1;
    }
    const bool written = writePbm(path, bitmap);
    DeleteObject(bitmap);
    if (!written) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    std::printf("framed text: %s\nsize: %d x %d pixels\nwritten to: %s\n", framed.c_str(), width,
                height, path.c_str());
    return 0;
}
