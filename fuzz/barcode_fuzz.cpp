// libFuzzer target over one barcode function, chosen when it is built (LORVAXEN_FUZZ_FUNCTION).
// The input is the reference device's resolution and raster caps, the check flag, the three
// dimensions as raw doubles (so NaN, infinities and huge values all come up) and then the text.
// After every call it checks what the header promises, and aborts when a promise is broken.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <Lorvaxen.h>

namespace {

void require(bool promise)
{
    if (!promise) {
        std::abort();
    }
}

template <class T> T take(const uint8_t*& data, size_t& size)
{
    T value{};
    if (size >= sizeof value) {
        std::memcpy(&value, data, sizeof value);
        data += sizeof value;
        size -= sizeof value;
    }
    return value;
}

// The codes the function under test may return.
bool isItsCode(int32_t code)
{
    const int32_t own = LORVAXEN_FUZZ_OWN_CODE; // the symbology's first refusal code
    return (code <= 0 && code >= LORVAXEN_NO_BITMAP) || code == own || code == own - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto dpiX = take<int16_t>(data, size);
    const auto dpiY = take<int16_t>(data, size);
    const auto rasterCaps = take<uint8_t>(data, size) % 2 == 0 ? RC_BITBLT : 0;
    const auto checkFlag = take<int32_t>(data, size);
    const auto narrowMm = take<double>(data, size);
    const auto heightMm = take<double>(data, size);
    const auto ratio = take<double>(data, size);
    // The text ends at its first NUL, as a C string does.
    std::string text(reinterpret_cast<const char*>(data), size); // NOLINT(*-reinterpret-cast)
    text.resize(std::strlen(text.c_str()));

    const int liveBefore = GdiLiveObjectCount();
    HDC device = CreateReferenceDC(dpiX, dpiY, rasterCaps);
    require((device == nullptr) == (dpiX <= 0 || dpiY <= 0));

    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    std::vector<char> framed(text.size() + 4, 'x');
    HBITMAP bitmap = nullptr;
    int32_t width = -7;
    int32_t height = -7;
    const int32_t code =
        LORVAXEN_FUZZ_FUNCTION(device, &bitmap, buffer.data(), &width, &height, framed.data(),
                               narrowMm, heightMm, ratio, checkFlag);

    require(isItsCode(code));
    require(std::memchr(framed.data(), '\0', framed.size()) != nullptr);
    require(width >= 0 && height >= 0);
    if (code == LORVAXEN_OK) {
        BITMAP info{};
        require(bitmap != nullptr && GetObject(bitmap, sizeof info, &info) == sizeof info);
        require(info.bmWidth == width && info.bmHeight == height && info.bmBitsPixel == 1);
        require(DeleteObject(bitmap) != 0);
    } else {
        require(bitmap == nullptr);
    }
    if (device != nullptr) {
        DeleteDC(device);
    }
    require(GdiLiveObjectCount() == liveBefore);
    return 0;
}
