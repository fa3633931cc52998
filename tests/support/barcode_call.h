// One call of a barcode function through the C interface, with every output primed so that what
// the library wrote shows. Uses the public header alone, so the same cases serve every build.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <Lorvaxen.h>
#include <lorvaxen_pixels.h>

#include "gdi_test.h"

namespace lorvaxen::test {

constexpr int32_t kUnwritten = -7;

inline HBITMAP untouchedHandle()
{
    return reinterpret_cast<HBITMAP>(uintptr_t{0x5EED0}); // NOLINT: a value the caller left there
}

// `Function` is one of the four barcode functions.
template <auto Function> struct BarcodeCall
{
    std::string text;
    bool nullText = false;
    double narrowMm = 0.33;
    double heightMm = 10;
    double ratio = 2.5;
    int32_t checkFlag = 0;

    int32_t code = 0;
    HBITMAP bitmap = untouchedHandle();
    int32_t width = kUnwritten;
    int32_t height = kUnwritten;
    std::string outText;

    // outText gets exactly the strlen(text) + 4 bytes the interface asks the caller for.
    void run(HDC hdc)
    {
        std::vector<char> out(text.size() + 4, 'x');
        code = Function(hdc, &bitmap, nullText ? nullptr : text.data(), &width, &height, out.data(),
                        narrowMm, heightMm, ratio, checkFlag);
        outText.assign(out.data(), std::find(out.begin(), out.end(), '\0') - out.begin());
    }
};

// A call that fails, and what its outputs must hold afterwards.
struct FailureCase
{
    const char* why;
    const char* text; // null: a null text
    int32_t code;
    const char* framed = "";         // outText afterwards
    const char* textAfter = nullptr; // the caller's text afterwards, when it matters
    bool bitBlt = true;
    double narrowMm = 0.33;
    double heightMm = 10;
    double ratio = 2.5;
    int32_t checkFlag = 0;
};

// Runs `c` on a 96 dpi screen (or one without BitBlt) and checks every output: the bitmap handle
// untouched, both sizes 0 and outText as the case says.
template <auto Function> void expectFailure(const FailureCase& c)
{
    const ReferenceDc device(96, c.bitBlt ? RC_BITBLT : 0);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(device);
    BarcodeCall<Function> call;
    call.text = c.text == nullptr ? "" : c.text;
    call.nullText = c.text == nullptr;
    call.narrowMm = c.narrowMm;
    call.heightMm = c.heightMm;
    call.ratio = c.ratio;
    call.checkFlag = c.checkFlag;
    call.run(device);
    EXPECT_EQ(call.code, c.code) << c.why;
    EXPECT_EQ(call.bitmap, untouchedHandle()) << c.why;
    EXPECT_EQ(call.width, 0) << c.why;
    EXPECT_EQ(call.height, 0) << c.why;
    EXPECT_EQ(call.outText, c.framed) << c.why;
    if (c.textAfter != nullptr) {
        EXPECT_EQ(call.text, c.textAfter) << c.why;
    }
}

// The pixel width of one module at `dpi`, by the library's own rule.
inline int32_t narrowPx(int dpi, double narrowMm)
{
    return mmToPixels(dpi, narrowMm).value();
}

} // namespace lorvaxen::test
