/*
 * The few Windows graphics calls that the barcode library and its clients make, for systems
 * without Windows. Names, types, constant values and behaviour follow Win32: a program written
 * against the real gdi32 and user32 compiles against this header unchanged, and its drawing comes
 * out the same.
 *
 * Built as the shared library gdi32 (libgdi32.so). Handles are checked on every call: a null,
 * deleted or wrong-kind handle makes the call fail with 0 or null, as Windows does. As on Windows,
 * a process holds at most 10,000 device contexts and bitmaps at once; creating one more fails, and
 * so does a bitmap of more than 2^31 bits.
 *
 * Any thread may call any function. Drawing takes no lock, so threads that draw with device
 * contexts and bitmaps of their own run side by side; as on Windows, a handle must not be deleted
 * while another thread is using it, and one device context is drawn with by one thread at a time.
 * A bitmap selected on one thread as another deletes it is either selected or deleted: exactly
 * one of the two calls succeeds.
 *
 * FillRect and BitBlt clip every rectangle to the bitmaps it touches, whatever its coordinates. A
 * rectangle given right to left or bottom to top (a negative width or height, or a right edge left
 * of the left one) covers, as on Windows, the pixels from one past the edge given second up to and
 * with the one given first. A copy within one bitmap reads the pixels as they were before it.
 */
#ifndef LORVAXEN_GDI_WINDOWS_H
#define LORVAXEN_GDI_WINDOWS_H

#include <stdint.h> /* NOLINT(modernize-deprecated-headers): also included from C */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define LORVAXEN_GDI_API __attribute__((visibility("default")))
#else
#define LORVAXEN_GDI_API
#endif

/* The standard calling convention is the only one on the systems this header serves. */
#define WINAPI

/* C declarations, shared with C callers. NOLINTBEGIN(modernize-use-using) */
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG; /* 32 bits on Windows whatever the data model */
typedef unsigned int UINT;
typedef DWORD COLORREF;
typedef void* LPVOID;
typedef void* HANDLE;

#define TRUE 1
#define FALSE 0

#define DECLARE_HANDLE(name)                                                                       \
    struct name##__                                                                                \
    {                                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__* name
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HBRUSH);
typedef void* HGDIOBJ;

typedef struct tagRECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagBITMAP
{
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP;

typedef struct tagRGBQUAD
{
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; /* negative for a top-down bitmap, whose first row in memory is the top one */
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagBITMAPINFO
{
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;
/* NOLINTEND(modernize-use-using) */

#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define CLR_INVALID ((COLORREF)0xFFFFFFFF)

/* GetDeviceCaps indexes */
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90

/* RASTERCAPS bits */
#define RC_BITBLT 1

/* Stock objects */
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4

/* Raster operations */
#define SRCCOPY ((DWORD)0x00CC0020)
#define BLACKNESS ((DWORD)0x00000042)
#define WHITENESS ((DWORD)0x00FF0062)

/* Device-independent bitmaps */
#define BI_RGB 0L
#define DIB_RGB_COLORS 0

LORVAXEN_GDI_API int WINAPI GetDeviceCaps(HDC hdc, int index);
LORVAXEN_GDI_API HDC WINAPI CreateCompatibleDC(HDC hdc);
LORVAXEN_GDI_API HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy);
LORVAXEN_GDI_API HGDIOBJ WINAPI GetStockObject(int i);
LORVAXEN_GDI_API HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
LORVAXEN_GDI_API BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
LORVAXEN_GDI_API int WINAPI FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr);
LORVAXEN_GDI_API BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1,
                                    int y1, DWORD rop);
LORVAXEN_GDI_API BOOL WINAPI DeleteObject(HGDIOBJ ho);
LORVAXEN_GDI_API BOOL WINAPI DeleteDC(HDC hdc);
LORVAXEN_GDI_API int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv);
#define GetObject GetObjectA
LORVAXEN_GDI_API LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits);

/*
 * Colour surfaces. CreateDIBSection makes a colour bitmap whose pixels the caller reads and writes
 * through *ppvBits, four bytes a pixel (blue, green, red, unused); of its formats the stand-in
 * makes only the 32-bit top-down BI_RGB one (a negative biHeight) and refuses the others.
 * BitBlt with SRCCOPY from a monochrome bitmap onto such a surface paints the 0 bits (black) in
 * the destination's text colour and the 1 bits (white) in its background colour; copies from a
 * colour surface fail, and so does CreateCompatibleBitmap of a non-empty size on a device context
 * that holds a colour surface. A new device context draws black text on a white background.
 */
LORVAXEN_GDI_API HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage,
                                                 void** ppvBits, HANDLE hSection, DWORD offset);
LORVAXEN_GDI_API COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
LORVAXEN_GDI_API COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color);

/*
 * Extensions that Windows lacks, for callers on other systems.
 *
 * CreateReferenceDC: a device context for a device of the given resolution, in pixels per logical
 * inch, and raster capabilities (RC_BITBLT or 0). It reports a 1920 x 1080 screen-like size and has
 * no drawing surface of its own. Release it with DeleteDC. A resolution of 0 or fewer pixels an
 * inch is refused: the call returns null.
 *
 * GdiLiveObjectCount: how many device contexts and bitmaps have been created and not yet deleted,
 * stock objects excluded.
 */
LORVAXEN_GDI_API HDC CreateReferenceDC(int dpiX, int dpiY, int rasterCaps);
LORVAXEN_GDI_API int GdiLiveObjectCount(void);

#ifdef __cplusplus
}
#endif

#endif /* LORVAXEN_GDI_WINDOWS_H */
