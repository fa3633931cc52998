// BarCode_NW7 through the C interface.
#include <limits>
#include <string>

#include <Lorvaxen.h>

#include "barcode_call.h"
#include "gdi_test.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

class Nw7Calls : public GdiTest
{
};

using Nw7Call = BarcodeCall<BarCode_NW7>;

using Nw7CallFailures = RowsOn<Nw7Calls, FailureCase>;
const FailureCase kNw7CallFailuresRows[] = {
    FailureCase{.why = "empty text", .text = "", .code = -41, .textAfter = ""},
    FailureCase{.why = "null text", .text = nullptr, .code = -41},
    FailureCase{
        .why = "not a symbol, text stays folded", .text = "X", .code = -42, .textAfter = "x"},
    FailureCase{.why = "the asterisk", .text = "A1*", .code = -42, .textAfter = "a1*"},
    FailureCase{
        .why = "a high byte, not folded", .text = "B\xC4", .code = -42, .textAfter = "b\xC4"},
    FailureCase{.why = "characters checked before the device",
                .text = "Z",
                .code = -42,
                .textAfter = "z",
                .bitBlt = false},
    FailureCase{.why = "device without BitBlt",
                .text = "123",
                .code = -1,
                .framed = "a1236a",
                .textAfter = "123",
                .bitBlt = false,
                .checkFlag = 1},
    FailureCase{.why = "ratio below 1",
                .text = "B45D",
                .code = -2,
                .framed = "b45b",
                .textAfter = "b45d",
                .ratio = 0.5},
    FailureCase{.why = "NaN narrow width",
                .text = "a",
                .code = -2,
                .framed = "a0a",
                .narrowMm = std::numeric_limits<double>::quiet_NaN(),
                .checkFlag = 1},
};
INSTANTIATE_TEST_SUITE_P(Nw7Calls, Nw7CallFailures, ::testing::ValuesIn(kNw7CallFailuresRows),
                         namedBy(&FailureCase::why));

TEST_P(Nw7CallFailures, FailuresLeaveTheOutputsAsTheirOutcomeSays)
{
    expectFailure<BarCode_NW7>(GetParam());
}

struct LowerCaseCase
{
    const char* text;
    int32_t checkFlag;
    const char* after;
    const char* framed;
};
using Nw7CallLowerCase = RowsOn<Nw7Calls, LowerCaseCase>;
const LowerCaseCase kNw7CallLowerCaseRows[] = {
    LowerCaseCase{"A123B", 0, "a123b", "a123a"}, LowerCaseCase{"B45D", 1, "b45d", "b45$b"},
    LowerCaseCase{"T12T", 0, "t12t", "at12ta"}, LowerCaseCase{"C", 1, "c", "c4c"}};
INSTANTIATE_TEST_SUITE_P(Nw7Calls, Nw7CallLowerCase, ::testing::ValuesIn(kNw7CallLowerCaseRows),
                         namedBy(&LowerCaseCase::text));

TEST_P(Nw7CallLowerCase, LowerCasesTheCallersTextAndFramesItInLowerCase)
{
    const LowerCaseCase& c = GetParam();
    const ReferenceDc screen(96);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(screen);
    Nw7Call call;
    call.text = c.text;
    call.checkFlag = c.checkFlag;
    call.run(screen);
    ASSERT_EQ(call.code, 0) << c.text;
    DeleteObject(call.bitmap);
    EXPECT_EQ(call.text, c.after);
    EXPECT_EQ(call.outText, c.framed);
}

TEST_F(Nw7Calls, OnlyTheAsciiCapitalsChangeWhateverTheLocale)
{
    const ReferenceDc screen(96);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(screen);
    // Only the ASCII capitals change, whatever the locale.
    for (int byte = 1; byte < 256; ++byte) {
        Nw7Call call;
        call.text = std::string(1, static_cast<char>(byte));
        call.run(screen);
        const char expected =
            byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : static_cast<char>(byte);
        EXPECT_EQ(call.text[0], expected) << byte;
        if (call.code == 0) {
            DeleteObject(call.bitmap);
        }
    }
}

struct LongTextCase
{
    size_t length;
    const char* end; // the last data character, the check character, the stop
};
using Nw7CallLongTexts = RowsOn<Nw7Calls, LongTextCase>;
// Sevens between two a: the sum is 32 + 7 L.
const LongTextCase kNw7CallLongTextsRows[] = {LongTextCase{1020, "74a"}, LongTextCase{1021, "7$a"},
                                              LongTextCase{5000, "78a"}};
INSTANTIATE_TEST_SUITE_P(Nw7Calls, Nw7CallLongTexts, ::testing::ValuesIn(kNw7CallLongTextsRows),
                         [](const auto& info) {
                             return rowNameOf(info.param.length, "characters");
                         });

TEST_P(Nw7CallLongTexts, LongTextsAreEncodedInFull)
{
    const ReferenceDc screen(96);
    LORVAXEN_SKIP_UNLESS_AVAILABLE(screen);
    const auto& [length, end] = GetParam();
    Nw7Call call;
    call.text.assign(length, '7');
    call.checkFlag = 1;
    call.narrowMm = 0.1;
    call.heightMm = 1;
    call.run(screen);
    ASSERT_EQ(call.code, 0) << length;
    DeleteObject(call.bitmap);
    EXPECT_EQ(call.outText.size(), length + 3);
    EXPECT_EQ(call.outText.substr(length, 3), end) << length;
}

} // namespace
} // namespace lorvaxen::test
