#include <Lorvaxen.h>

#include <cstdio>

int main()
{
    char text[] = "hello";
    char framed[sizeof text + 4] = {};
    HDC device = CreateReferenceDC(96, 96, RC_BITBLT);
    HBITMAP bitmap = nullptr;
    const int32_t result =
        BarCode_Code39(device, &bitmap, text, nullptr, nullptr, framed, 0.33, 10.0, 2.5, 0);
    DeleteObject(bitmap);
    DeleteDC(device);
    std::printf("%d %s\n", result, framed);
    return result == LORVAXEN_OK ? 0 : 1;
}
