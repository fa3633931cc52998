// BarCode_JAN through the C interface.
#include <cmath>
#include <limits>
#include <string>

#include <Lorvaxen.h>

#include "barcode_call.h"
#include "gdi_test.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

class JanCalls : public GdiTest
{
};

using JanCall = BarcodeCall<BarCode_JAN>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using JanCallFailures = RowsOn<JanCalls, FailureCase>;
const FailureCase kJanCallFailuresRows[] = {
    FailureCase{.why = "empty text", .text = "", .code = -11},
    FailureCase{.why = "null text", .text = nullptr, .code = -11},
    FailureCase{.why = "11 digits", .text = "49012345678", .code = -11},
    FailureCase{.why = "14 digits", .text = "49012345678941", .code = -11},
    FailureCase{.why = "length before characters", .text = "ABCDEFGHIJKLMN", .code = -11},
    FailureCase{.why = "a letter", .text = "49012345678A", .code = -12},
    FailureCase{.why = "a space", .text = "490123 456789", .code = -12},
    FailureCase{.why = "a sign", .text = "-49012345678", .code = -12},
    FailureCase{.why = "a high byte", .text = "49012345678\xB9", .code = -12},
    FailureCase{.why = "digits checked before the device",
                .text = "4901234567a9",
                .code = -12,
                .bitBlt = false},
    FailureCase{.why = "device without BitBlt",
                .text = "490123456789",
                .code = -1,
                .framed = "4901234567894",
                .bitBlt = false},
    FailureCase{.why = "zero narrow width",
                .text = "490123456789",
                .code = -2,
                .framed = "4901234567894",
                .narrowMm = 0},
    FailureCase{.why = "NaN height",
                .text = "4901234567890",
                .code = -2,
                .framed = "4901234567890",
                .heightMm = kNaN},
};
INSTANTIATE_TEST_SUITE_P(JanCalls, JanCallFailures, ::testing::ValuesIn(kJanCallFailuresRows),
                         namedBy(&FailureCase::why));

TEST_P(JanCallFailures, FailuresLeaveTheOutputsAsTheirOutcomeSays)
{
    expectFailure<BarCode_JAN>(GetParam());
}

TEST_F(JanCalls, RatioAndCheckFlagAreNotRead)
{
    const ReferenceDc device(300);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(device);
    JanCall reference;
    reference.text = "490123456789";
    reference.ratio = 3.0;
    reference.run(device);
    ASSERT_EQ(reference.code, 0);
    const OwnedBitmap referenceBitmap(reference.bitmap);
    const Pixels expected = readPixels(referenceBitmap.get());
    for (const double ratio : {0.5, 1.0, 2.0, 2.5, std::numeric_limits<double>::quiet_NaN()}) {
        for (const int32_t checkFlag : {0, 1, 2, -1}) {
            JanCall call;
            call.text = reference.text;
            call.ratio = ratio;
            call.checkFlag = checkFlag;
            call.run(device);
            ASSERT_EQ(call.code, 0) << ratio << ", " << checkFlag;
            const OwnedBitmap bitmap(call.bitmap);
            EXPECT_EQ(call.outText, "4901234567894");
            EXPECT_EQ(call.text, "490123456789"); // read only
            EXPECT_EQ(readPixels(bitmap.get()).black, expected.black) << ratio << ", " << checkFlag;
        }
    }
}

TEST_F(JanCalls, SymbolIsNinetyFiveModulesWide)
{
    for (const int dpi : {96, 203, 300, 600, 1200}) {
        const ReferenceDc device(dpi);
        if (!device.available()) {
            continue;
        }
        for (const double narrowMm : {0.1, 0.26, 0.33, 0.5, 1.0}) {
            JanCall call;
            call.text = "4512345678906";
            call.narrowMm = narrowMm;
            call.heightMm = 2;
            call.run(device);
            ASSERT_EQ(call.code, 0) << dpi << " dpi, " << narrowMm << " mm";
            DeleteObject(call.bitmap);
            EXPECT_EQ(call.width, 95 * narrowPx(dpi, narrowMm)) << dpi << " dpi, " << narrowMm;
        }
    }
}

TEST_F(JanCalls, PaintsTheGuardsAndCharactersModuleByModule)
{
    const ReferenceDc screen(96); // 0.33 mm is one pixel
    LORVAXEN_SKIP_UNLESS_AVAILABLE(screen);
    JanCall call;
    call.text = "490123456789";
    call.run(screen);
    ASSERT_EQ(call.code, 0);
    const OwnedBitmap bitmap(call.bitmap);
    const std::string pattern = "00020010012111010110030120000000012000030201010220010021000";
    std::string expected;
    for (size_t i = 0; i < pattern.size(); ++i) {
        expected.append(static_cast<size_t>(pattern[i] - '0') + 1, i % 2 == 0 ? '#' : '.');
    }
    const Pixels pixels = readPixels(bitmap.get());
    EXPECT_EQ(pixels.row(0), expected);
    EXPECT_TRUE(pixels.rowsAlike());
}

} // namespace
} // namespace lorvaxen::test
