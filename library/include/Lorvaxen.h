/*
 * Lorvaxen: one-dimensional barcodes as monochrome bitmaps.
 *
 * Each barcode function validates a text, frames it with its symbology's start, stop, padding and
 * check characters, and paints the symbol into a new monochrome bitmap (black bars on white) sized
 * for the resolution of the reference device context `hdc`. All four take the same ten arguments:
 *
 *   hdc          reference device; its LOGPIXELSX/LOGPIXELSY convert millimetres to pixels and it
 *                must report RC_BITBLT among its RASTERCAPS.
 *   outBitmap    receives the new bitmap on success only; the caller owns it and releases it with
 *                DeleteObject. It is not selected into any device context.
 *   text         NUL-terminated single-byte text; a null pointer is an empty text.
 *   outWidthPx   receives the bitmap width in pixels (0 until it is known).
 *   outHeightPx  receives the bitmap height in pixels (0 until it is known).
 *   outText      receives the framed text, NUL-terminated; it must hold strlen(text) + 4 bytes.
 *   narrowMm     narrow element (module) width in millimetres, > 0.
 *   heightMm     bar height in millimetres, > 0.
 *   ratio        wide-to-narrow ratio, >= 1.
 *   checkFlag    exactly 1 asks for the symbology's check character.
 *
 * Every call first stores 0 at both sizes and empties outText; the framed text is delivered before
 * painting, so it is there even when painting fails. Any of the four output pointers may be null:
 * the library then skips writing through it (a bitmap with nowhere to go is released at once).
 *
 * Threads: the library keeps no state and takes no lock of its own. Each call makes, paints and
 * releases its own memory device context and only reads `hdc`, so any number of threads may call
 * it at once, each best with a reference device context of its own. On Windows GDI objects may be
 * used from any thread; on Linux the graphics stand-in allows the same. As with any GDI object, a
 * device context or bitmap must not be deleted while another thread is still using it.
 */
#ifndef LORVAXEN_H
#define LORVAXEN_H

#include <stdint.h> /* NOLINT(modernize-deprecated-headers): also included from C */
#include <windows.h>

#if defined(_WIN32)
/* The Windows library is bound by its decorated stdcall names (_BarCode_JAN@52 and so on). */
#define LORVAXEN_CALL __stdcall
#define LORVAXEN_API
#else
#define LORVAXEN_CALL
#define LORVAXEN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes */
enum {
    LORVAXEN_OK = 0,
    LORVAXEN_NO_BITBLT = -1,       /* hdc lacks RC_BITBLT, or no memory device context */
    LORVAXEN_BAD_DIMENSION = -2,   /* narrowMm <= 0, heightMm <= 0, ratio < 1, NaN, or too large */
    LORVAXEN_NO_BITMAP = -3,       /* the bitmap, or the call's scratch memory, could not be had */
    LORVAXEN_JAN_LENGTH = -11,     /* not 12 or 13 characters */
    LORVAXEN_JAN_CHARSET = -12,    /* a character is not a digit */
    LORVAXEN_CODE39_EMPTY = -21,   /* empty, or nothing but asterisks */
    LORVAXEN_CODE39_CHARSET = -22, /* a character is not one of the 44 Code 39 symbols */
    LORVAXEN_I2OF5_EMPTY = -31,    /* empty */
    LORVAXEN_I2OF5_CHARSET = -32,  /* a character is not a digit */
    LORVAXEN_NW7_EMPTY = -41,      /* empty */
    LORVAXEN_NW7_CHARSET = -42,    /* a character is not one of the 24 NW7 symbols */
    LORVAXEN_VERSION = 90
};

/*
 * JAN, the EAN-13 symbology (ISO/IEC 15420). The text must be 12 or 13 digits; the length is
 * checked before the characters. Twelve digits get their modulo-10 check digit appended; thirteen
 * are encoded exactly as given, and a 13th digit that is not the check digit of the first twelve
 * is encoded as passed, without complaint, so that a number prints exactly as the caller passed
 * it. outText receives the 13 digits ("490123456789" gives "4901234567894") and so needs 14 bytes.
 * The text is only read, never folded or written. The symbol is 95 modules wide with its guard
 * bars and no quiet zone: its bitmap is 95 narrow widths wide. ratio and checkFlag are not read;
 * the symbol is always drawn at ratio 2, so every element is a whole number of modules.
 *
 * Returns 0, -1, -2, -3, -11 (not 12 or 13 characters) or -12 (a character is not a digit). JAN
 * takes no scratch memory from the heap.
 */
LORVAXEN_API int32_t LORVAXEN_CALL BarCode_JAN(HDC hdc, HBITMAP* outBitmap, const char* text,
                                               int32_t* outWidthPx, int32_t* outHeightPx,
                                               char* outText, double narrowMm, double heightMm,
                                               double ratio, int32_t checkFlag);

/*
 * Code 39 (ISO/IEC 16388). The text is upper-cased in place (ASCII letters only, whatever the
 * locale) and stays so whatever the result. Asterisks in the text are dropped from the data; the
 * symbol is framed by a start and a stop asterisk, with the modulo-43 check character before the
 * stop when checkFlag is 1: "ab1" gives "*AB1M*". Texts of any length are encoded in full.
 *
 * Returns 0, -1, -2, -3, -21 or -22. If the call's scratch memory cannot be had it returns -3 with
 * the outputs as cleared (both sizes 0, outText empty).
 */
LORVAXEN_API int32_t LORVAXEN_CALL BarCode_Code39(HDC hdc, HBITMAP* outBitmap, char* text,
                                                  int32_t* outWidthPx, int32_t* outHeightPx,
                                                  char* outText, double narrowMm, double heightMm,
                                                  double ratio, int32_t checkFlag);

/*
 * Interleaved 2 of 5 (ISO/IEC 16390). The text is one or more digits, only read, never written.
 * With checkFlag 1 the modulo-10 check digit (weight 3 on the rightmost digit) is appended; any
 * other checkFlag asks for none, as 0 does. Digits are drawn in pairs, so a leading "0" is put in
 * front whenever the digit count, check digit included, would be odd: "1234" with checkFlag 1
 * gives "012348", "123" with checkFlag 0 gives "0123". outText receives the digits so framed and
 * needs strlen(text) + 3 bytes (the usual strlen(text) + 4 is enough). Texts of any length are
 * encoded in full. With m encoded digits and a module of n pixels, the bitmap is
 * (3m + 6) n + (2m + 1) w pixels wide, w being n * ratio truncated.
 *
 * Returns 0, -1, -2, -3, -31 (empty text) or -32 (a character is not a digit). If the call's
 * scratch memory cannot be had it returns -3 with the outputs as cleared.
 */
LORVAXEN_API int32_t LORVAXEN_CALL BarCode_I2of5(HDC hdc, HBITMAP* outBitmap, const char* text,
                                                 int32_t* outWidthPx, int32_t* outHeightPx,
                                                 char* outText, double narrowMm, double heightMm,
                                                 double ratio, int32_t checkFlag);

/*
 * NW7, the Codabar symbology. The text is lower-cased in place (ASCII letters only, whatever the
 * locale) and stays so whatever the result; it must be writable. Its characters are the digits,
 * - $ : / . + and the letters a b c d t n o e. The start character is the text's first character
 * when that is a, b, c or d, else an 'a' put in front; the stop is always a copy of the start,
 * replacing an a, b, c or d that ends the text: "B45D" gives "b45b", "123" gives "a123a".
 * Letters a to d between the first and last character, and t, n, o and e anywhere, are ordinary
 * data characters (t, n, o and e draw the bars of a, b, c and d and are worth 0). A text that is
 * one letter a to d alone is a start and a stop with no data between: "a" gives "aa".
 *
 * With checkFlag 1 a check character stands just before the stop. Its value is the sum of the
 * values of every character from start to stop, both included (0 to 9, then - 10, $ 11, : 12,
 * / 13, . 14, + 15, a to d 16 to 19, t n o e 0), modulo 16: "123" gives "a1236a", "a" gives "a0a".
 * This is NOT the check character of most other Codabar printers and verifying readers: theirs is
 * the complement of that remainder to 16, so for "123" they print "a123-a" where this library
 * prints "a1236a", and the two agree only when the remainder is 0 or 8, its own complement
 * modulo 16. Labels already printed with this rule, and the systems that read them, rely on it, so
 * it is kept; a reader set to verify the usual check character refuses these symbols.
 *
 * outText receives the framed text, start and stop included, in lower case, and needs
 * strlen(text) + 4 bytes. Texts of any length are encoded in full.
 *
 * Returns 0, -1, -2, -3, -41 (empty text) or -42 (a character, once lower-cased, is not an NW7
 * character). If the call's scratch memory cannot be had it returns -3 with the outputs as cleared.
 */
LORVAXEN_API int32_t LORVAXEN_CALL BarCode_NW7(HDC hdc, HBITMAP* outBitmap, char* text,
                                               int32_t* outWidthPx, int32_t* outHeightPx,
                                               char* outText, double narrowMm, double heightMm,
                                               double ratio, int32_t checkFlag);

/*
 * The type of the four barcode functions, for a client that holds one in a variable or binds it by
 * name. JAN and Interleaved 2 of 5 declare their text const, since they never write it; a client
 * calls them through this type by way of a function that passes the text on.
 */
/* NOLINTNEXTLINE(modernize-use-using): also included from C */
typedef int32_t(LORVAXEN_CALL LorvaxenBarcodeFunction)(HDC hdc, HBITMAP* outBitmap, char* text,
                                                       int32_t* outWidthPx, int32_t* outHeightPx,
                                                       char* outText, double narrowMm,
                                                       double heightMm, double ratio,
                                                       int32_t checkFlag);

/* The library version as a whole number: 90, shown to people as 0.9. */
LORVAXEN_API int32_t LORVAXEN_CALL Lorvaxen_version(void);

#ifdef __cplusplus
}
#endif

#endif /* LORVAXEN_H */
