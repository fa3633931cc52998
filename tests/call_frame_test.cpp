// What every output holds after every outcome of a barcode call, through the C interface.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <Lorvaxen.h>

#include "barcode_call.h"
#include "gdi_test.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
using Code39Call = BarcodeCall<BarCode_Code39>;

class CallFrame : public GdiTest
{
  protected:
    void SetUp() override
    {
        GdiTest::SetUp();
        LORVAXEN_SKIP_UNLESS_AVAILABLE(screen_);
    }

    ReferenceDc screen_{96};
};

using CallFrameFailures = RowsOn<CallFrame, FailureCase>;
const FailureCase kCallFrameFailuresRows[] = {
    FailureCase{.why = "empty text", .text = "", .code = -21, .textAfter = ""},
    FailureCase{.why = "null text", .text = nullptr, .code = -21},
    FailureCase{
        .why = "asterisks only, folded first", .text = "***", .code = -21, .textAfter = "***"},
    FailureCase{
        .why = "not a symbol, text stays folded", .text = "a#", .code = -22, .textAfter = "A#"},
    FailureCase{.why = "high byte neither folded nor a symbol",
                .text = "a\xE9",
                .code = -22,
                .textAfter = "A\xE9"},
    FailureCase{
        .why = "lower-case bad byte after a star", .text = "*b;", .code = -22, .textAfter = "*B;"},
    FailureCase{.why = "characters checked before the device",
                .text = "a#",
                .code = -22,
                .textAfter = "A#",
                .bitBlt = false},
    FailureCase{.why = "device without BitBlt",
                .text = "abc",
                .code = -1,
                .framed = "*ABC*",
                .textAfter = "ABC",
                .bitBlt = false},
    FailureCase{.why = "ratio below 1",
                .text = "abc",
                .code = -2,
                .framed = "*ABC*",
                .textAfter = "ABC",
                .ratio = 0.5},
    FailureCase{.why = "ratio NaN", .text = "abc", .code = -2, .framed = "*ABC*", .ratio = kNaN},
    FailureCase{
        .why = "zero narrow width", .text = "abc", .code = -2, .framed = "*ABC*", .narrowMm = 0},
    FailureCase{
        .why = "negative height", .text = "abc", .code = -2, .framed = "*ABC*", .heightMm = -1},
    FailureCase{.why = "infinite height",
                .text = "abc",
                .code = -2,
                .framed = "*ABC*",
                .heightMm = kInfinity},
    FailureCase{
        .why = "width past 32 bits", .text = "abc", .code = -2, .framed = "*ABC*", .narrowMm = 1e9},
};
INSTANTIATE_TEST_SUITE_P(CallFrame, CallFrameFailures, ::testing::ValuesIn(kCallFrameFailuresRows),
                         namedBy(&FailureCase::why));

TEST_P(CallFrameFailures, FailuresLeaveTheOutputsAsTheirOutcomeSays)
{
    expectFailure<BarCode_Code39>(GetParam());
}

#ifndef _WIN32
// Provoked at the graphics stand-in's known limits: Windows and Wine set limits of their own (Wine
// makes a bitmap of 600,000 rows).
class GraphicsFailures : public GdiTest
{
};

TEST_F(GraphicsFailures, ReportTheSizeAndTheFramedText)
{
    const ReferenceDc printer(600);
    Code39Call tooLarge;
    tooLarge.text = "a";
    tooLarge.narrowMm = 25.4;
    tooLarge.heightMm = 25400; // 600,000 rows: no bitmap of this size can be had
    tooLarge.run(printer);
    EXPECT_EQ(tooLarge.code, -3);
    EXPECT_EQ(tooLarge.bitmap, untouchedHandle());
    EXPECT_GT(tooLarge.width, 0);
    EXPECT_EQ(tooLarge.height, 600000);
    EXPECT_EQ(tooLarge.outText, "*A*");

    // With the process's quota of graphics objects used up, no memory device context.
    std::vector<HBITMAP> filler;
    while (HBITMAP more = CreateCompatibleBitmap(printer, 1, 1)) {
        filler.push_back(more);
    }
    Code39Call noContext;
    noContext.text = "a";
    noContext.run(printer);
    EXPECT_EQ(noContext.code, -1);
    EXPECT_EQ(noContext.bitmap, untouchedHandle());
    EXPECT_EQ(noContext.height, 236);
    EXPECT_GT(noContext.width, 0);
    EXPECT_EQ(noContext.outText, "*A*");
    for (HBITMAP b : filler) {
        DeleteObject(b);
    }
}
#endif

TEST_F(CallFrame, SuccessHandsOverABitmapOfTheReportedSize)
{
    Code39Call call;
    call.text = "ab1";
    call.checkFlag = 1;
    call.run(screen_);
    ASSERT_EQ(call.code, 0);
    const OwnedBitmap bitmap(call.bitmap);
    EXPECT_EQ(call.outText, "*AB1M*");
    EXPECT_EQ(call.text, "AB1");
    const Pixels pixels = readPixels(bitmap.get());
    EXPECT_EQ(pixels.width, call.width);
    EXPECT_EQ(pixels.height, call.height);
    EXPECT_EQ(pixels.bitsPixel, 1);
    EXPECT_EQ(call.height, 37);
    // At 96 dpi a module is one pixel and a wide element 2.5 truncated to 2; the stop asterisk's
    // gap leaves one white column at the right edge.
    std::string expected;
    const std::string pattern = "010010100010000100100010010010100100001010100001000100101000";
    for (size_t i = 0; i < pattern.size(); ++i) {
        expected.append(pattern[i] == '1' ? 2 : 1, i % 2 == 0 ? '#' : '.');
    }
    EXPECT_EQ(pixels.row(0), expected);
    EXPECT_TRUE(pixels.rowsAlike());
    // The bitmap is handed over free: it can be selected into the caller's own memory context.
    HDC memory = CreateCompatibleDC(screen_);
    HGDIOBJ kept = SelectObject(memory, bitmap.get());
    EXPECT_NE(kept, nullptr);
    SelectObject(memory, kept);
    DeleteDC(memory);
}

// The white background covers the whole bitmap, also where it reaches past the screen's size: the
// pixels there would otherwise keep what a new bitmap holds, which is black.
TEST_F(CallFrame, BitmapLargerThanTheScreenIsWhiteBetweenItsBars)
{
    Code39Call call;
    call.text = "a";
    call.narrowMm = 20;  // 75 pixels a module, and 187 a wide element
    call.heightMm = 300; // 1,133 rows
    call.run(screen_);
    ASSERT_EQ(call.code, 0);
    const OwnedBitmap bitmap(call.bitmap);
    EXPECT_GT(call.width, GetDeviceCaps(screen_, HORZRES));
    EXPECT_GT(call.height, GetDeviceCaps(screen_, VERTRES));
    std::string expected;
    const std::string pattern = "010010100010000100100100101000"; // *A*
    for (size_t i = 0; i < pattern.size(); ++i) {
        expected.append(pattern[i] == '1' ? 187 : 75, i % 2 == 0 ? '#' : '.');
    }
    const Pixels pixels = readPixels(bitmap.get());
    ASSERT_EQ(pixels.width, 3258);
    EXPECT_EQ(pixels.row(0), expected);
    EXPECT_TRUE(pixels.rowsAlike());
}

// Case folding touches the ASCII letters only, whatever the locale.
TEST_F(CallFrame, UpperCasesOnlyAsciiLettersInTheCallersText)
{
    for (int byte = 1; byte < 256; ++byte) {
        Code39Call call;
        call.text = std::string(1, static_cast<char>(byte));
        call.run(screen_);
        const char expected =
            byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 32) : static_cast<char>(byte);
        EXPECT_EQ(call.text[0], expected) << byte;
        if (call.code == 0) {
            DeleteObject(call.bitmap);
        }
    }
}

TEST_F(CallFrame, NullOutputsAreSkipped)
{
    for (int mask = 0; mask < 16; ++mask) {
        std::string text = "abc";
        std::string out(8, 'x');
        HBITMAP bitmap = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        const int32_t code =
            BarCode_Code39(screen_, (mask & 1) != 0 ? &bitmap : nullptr, text.data(),
                           (mask & 2) != 0 ? &width : nullptr, (mask & 4) != 0 ? &height : nullptr,
                           (mask & 8) != 0 ? out.data() : nullptr, 0.33, 10, 2.5, 0);
        EXPECT_EQ(code, 0) << mask;
        EXPECT_EQ(text, "ABC");
        if ((mask & 1) != 0) {
            EXPECT_TRUE(DeleteObject(bitmap));
        }
        EXPECT_EQ(width, (mask & 2) != 0 ? 65 : 0);
        EXPECT_EQ(height, (mask & 4) != 0 ? 37 : 0);
    }
    // A refused call with nothing to write through.
    EXPECT_EQ(
        BarCode_Code39(screen_, nullptr, nullptr, nullptr, nullptr, nullptr, 0.33, 10, 2.5, 0),
        -21);
}

struct LongTextCase
{
    size_t length;
    const char* end; // the last data digit, the check character, the stop
};
using CallFrameLongTexts = RowsOn<CallFrame, LongTextCase>;
const LongTextCase kCallFrameLongTextsRows[] = {
    LongTextCase{1020, "78*"}, LongTextCase{1021, "7+*"}, LongTextCase{5000, "7Q*"}};
INSTANTIATE_TEST_SUITE_P(CallFrame, CallFrameLongTexts,
                         ::testing::ValuesIn(kCallFrameLongTextsRows), [](const auto& info) {
                             return rowNameOf(info.param.length, "characters");
                         });

TEST_P(CallFrameLongTexts, LongTextsAreEncodedInFull)
{
    const auto& [length, end] = GetParam();
    Code39Call call;
    call.text.assign(length, 'x');
    call.text[length - 1] = '7';
    call.checkFlag = 1;
    call.narrowMm = 0.1;
    call.heightMm = 1;
    call.run(screen_);
    ASSERT_EQ(call.code, 0) << length;
    DeleteObject(call.bitmap);
    EXPECT_EQ(call.outText.size(), length + 3);
    EXPECT_EQ(call.outText.substr(length, 3), end) << length;
    // Each character is 13 modules at ratio 2.5 truncated to 2: 6 narrow, 3 wide, 1 gap.
    EXPECT_EQ(call.width, static_cast<int32_t>(13 * (length + 3)));
}

TEST_F(CallFrame, VersionIsNinety)
{
    EXPECT_EQ(Lorvaxen_version(), 90);
}

} // namespace
} // namespace lorvaxen::test
