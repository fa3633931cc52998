// BarCode_I2of5 through the C interface.
#include <cmath>
#include <limits>
#include <string>

#include <Lorvaxen.h>

#include "barcode_call.h"
#include "gdi_test.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

class I2of5Calls : public GdiTest
{
};

using I2of5Call = BarcodeCall<BarCode_I2of5>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using I2of5CallFailures = RowsOn<I2of5Calls, FailureCase>;
const FailureCase kI2of5CallFailuresRows[] = {
    FailureCase{.why = "empty text", .text = "", .code = -31},
    FailureCase{.why = "null text", .text = nullptr, .code = -31},
    FailureCase{.why = "a letter", .text = "12a4", .code = -32},
    FailureCase{.why = "a space", .text = "12 4", .code = -32},
    FailureCase{.why = "a sign", .text = "-1", .code = -32},
    FailureCase{.why = "a high byte", .text = "1\xB2", .code = -32},
    FailureCase{
        .why = "digits checked before the device", .text = "1x", .code = -32, .bitBlt = false},
    FailureCase{.why = "device without BitBlt",
                .text = "1234",
                .code = -1,
                .framed = "012348",
                .bitBlt = false,
                .checkFlag = 1},
    FailureCase{.why = "ratio below 1, framed text already delivered",
                .text = "1234",
                .code = -2,
                .framed = "012348",
                .ratio = 0.5,
                .checkFlag = 1},
    FailureCase{.why = "NaN ratio", .text = "123", .code = -2, .framed = "0123", .ratio = kNaN},
    FailureCase{.why = "zero height",
                .text = "123",
                .code = -2,
                .framed = "1236",
                .heightMm = 0,
                .checkFlag = 1},
};
INSTANTIATE_TEST_SUITE_P(I2of5Calls, I2of5CallFailures, ::testing::ValuesIn(kI2of5CallFailuresRows),
                         namedBy(&FailureCase::why));

TEST_P(I2of5CallFailures, FailuresLeaveTheOutputsAsTheirOutcomeSays)
{
    expectFailure<BarCode_I2of5>(GetParam());
}

TEST_F(I2of5Calls, WidthIsNarrowAndWideElementsOfTheEncodedDigits)
{
    for (const int dpi : {96, 300, 600}) {
        const ReferenceDc device(dpi);
        if (!device.available()) {
            continue;
        }
        for (const double ratio : {1.0, 2.0, 2.2, 2.5, 2.75, 3.0}) {
            for (const char* text : {"5", "1234", "123", "98765432109876543"}) {
                for (const int32_t checkFlag : {0, 1}) {
                    I2of5Call call;
                    call.text = text;
                    call.ratio = ratio;
                    call.checkFlag = checkFlag;
                    call.run(device);
                    ASSERT_EQ(call.code, 0) << text;
                    DeleteObject(call.bitmap);
                    const auto m = static_cast<int32_t>(call.outText.size());
                    const int32_t narrow = narrowPx(dpi, 0.33);
                    const auto wide = static_cast<int32_t>(narrow * ratio);
                    EXPECT_EQ(call.width, (3 * m + 6) * narrow + (2 * m + 1) * wide)
                        << text << " at " << dpi << " dpi, ratio " << ratio << ", check "
                        << checkFlag;
                }
            }
        }
    }
}

TEST_F(I2of5Calls, WorkedExampleAtRatioThreeIsSixtyThreeModules)
{
    const ReferenceDc device(600);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(device);
    I2of5Call call;
    call.text = "1234";
    call.ratio = 3.0;
    call.checkFlag = 1;
    call.run(device);
    ASSERT_EQ(call.code, 0);
    const OwnedBitmap bitmap(call.bitmap);
    EXPECT_EQ(call.outText, "012348");
    EXPECT_EQ(call.width, 63 * narrowPx(600, 0.33));
    EXPECT_EQ(call.text, "1234"); // read only
}

struct LongTextCase
{
    size_t length;
    size_t framed; // with the check digit, and a leading zero when the count would be odd
    const char* end;
};
using I2of5CallLongTexts = RowsOn<I2of5Calls, LongTextCase>;
// The digits are nines, weighed 3 and 1 in turn from the right: 18 L (+ 9 for odd L).
const LongTextCase kI2of5CallLongTextsRows[] = {
    LongTextCase{1020, 1022, "990"}, LongTextCase{1021, 1022, "993"},
    LongTextCase{1023, 1024, "997"}, LongTextCase{5000, 5002, "990"}};
INSTANTIATE_TEST_SUITE_P(I2of5Calls, I2of5CallLongTexts,
                         ::testing::ValuesIn(kI2of5CallLongTextsRows), [](const auto& info) {
                             return rowNameOf(info.param.length, "characters");
                         });

TEST_P(I2of5CallLongTexts, LongTextsAreEncodedInFull)
{
    const ReferenceDc screen(96);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(screen);
    const auto& [length, framed, end] = GetParam();
    I2of5Call call;
    call.text.assign(length, '9');
    call.checkFlag = 1;
    call.narrowMm = 0.1;
    call.heightMm = 1;
    call.run(screen);
    ASSERT_EQ(call.code, 0) << length;
    DeleteObject(call.bitmap);
    EXPECT_EQ(call.outText.size(), framed) << length;
    EXPECT_EQ(call.outText.substr(framed - 3), end) << length;
    // Every digit is 3 narrow and 2 wide elements, 7 pixels at ratio 2.5; start and stop 8.
    EXPECT_EQ(call.width, static_cast<int32_t>(7 * framed + 8)) << length;
}

} // namespace
} // namespace lorvaxen::test
