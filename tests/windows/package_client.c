/* A C client of the Windows package: it includes the header, links an import library, makes a
 * Code 39 symbol and prints the result code, the framed text and the version. Built without the
 * C run-time when it is linked the Microsoft way (entry point client). */
#include <Lorvaxen.h>

int client(void)
{
    char text[] = "hello";
    char framed[sizeof text + 4];
    HDC device = CreateCompatibleDC(NULL);
    HBITMAP bitmap = NULL;
    const int32_t result =
        BarCode_Code39(device, &bitmap, text, NULL, NULL, framed, 0.33, 10.0, 2.5, 0);
    char line[64];
    const int length =
        wsprintfA(line, "%d %s %d\r\n", (int)result, framed, (int)Lorvaxen_version());
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)length, &written, NULL);
    DeleteObject(bitmap);
    DeleteDC(device);
    return result == LORVAXEN_OK ? 0 : 1;
}

#ifndef LORVAXEN_NO_CRT
int main(void)
{
    return client();
}
#endif
