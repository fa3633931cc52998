// The tests call the five functions by their names in Lorvaxen.h. On Windows the test program does
// not link the library: these definitions forward each call to the export of the DLL, bound by
// name as a client binds it.
#include "bound_library.h"

#include <cstdint>
#include <limits>

#include <Lorvaxen.h>
#include <gtest/gtest.h>

namespace lorvaxen::test {
namespace {

// What a function that did not bind returns, so that the test fails on its result too.
constexpr int32_t kUnbound = std::numeric_limits<int32_t>::min();

template <class Function> Function* bind(const char* exportedName)
{
    FARPROC address = boundExport(exportedName);
    if (address == nullptr) {
        ADD_FAILURE() << "Lorvaxen.dll does not export " << exportedName;
    }
    // An export is callable once its address takes its function's type; the cast goes through
    // the generic function pointer type, which any function pointer converts to and from.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address)); // NOLINT
}

} // namespace

HMODULE boundLibrary()
{
    static HMODULE library = LoadLibraryA("Lorvaxen.dll");
    return library;
}

FARPROC boundExport(const char* exportedName)
{
    HMODULE library = boundLibrary();
    return library == nullptr ? nullptr : GetProcAddress(library, exportedName);
}

} // namespace lorvaxen::test

// A barcode function of the header, forwarded with its ten arguments (52 bytes on 32-bit Windows).
#define LORVAXEN_FORWARD_BARCODE(Name, Text)                                                       \
    extern "C" int32_t LORVAXEN_CALL Name(                                                         \
        HDC hdc, HBITMAP* outBitmap, Text text, int32_t* outWidthPx, int32_t* outHeightPx,         \
        char* outText, double narrowMm, double heightMm, double ratio, int32_t checkFlag)          \
    {                                                                                              \
        static auto* const bound = lorvaxen::test::bind<decltype(Name)>("_" #Name "@52");          \
        if (bound == nullptr) {                                                                    \
            return lorvaxen::test::kUnbound;                                                       \
        }                                                                                          \
        return bound(hdc, outBitmap, text, outWidthPx, outHeightPx, outText, narrowMm, heightMm,   \
                     ratio, checkFlag);                                                            \
    }

LORVAXEN_FORWARD_BARCODE(BarCode_JAN, const char*)
LORVAXEN_FORWARD_BARCODE(BarCode_Code39, char*)
LORVAXEN_FORWARD_BARCODE(BarCode_I2of5, const char*)
LORVAXEN_FORWARD_BARCODE(BarCode_NW7, char*)

extern "C" int32_t LORVAXEN_CALL Lorvaxen_version(void)
{
    static auto* const bound =
        lorvaxen::test::bind<decltype(Lorvaxen_version)>("_Lorvaxen_version@0");
    return bound == nullptr ? lorvaxen::test::kUnbound : bound();
}
