// Code 39 framing and element patterns.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "encoders.h"
#include "encoding_case.h"
#include "table_rows.h"

namespace lorvaxen::detail {
namespace {

using test::EncodingCase;
using test::expectEncoding;

using Code39Encoding = ::testing::TestWithParam<EncodingCase>;
const EncodingCase kCode39EncodingRows[] = {
    EncodingCase{"AB1", 1, "*AB1M*", "010010100010000100100010010010100100001010100001000100101000",
                 "worked example with check character"},
    EncodingCase{"AB1", 0, "*AB1*", "01001010001000010010001001001010010000100100101000",
                 "worked example"},
    EncodingCase{"*A*B*", 0, "*AB*", "", "asterisks anywhere are dropped"},
    EncodingCase{"A*B", 0, "*AB*", "", "inner asterisk"},
    EncodingCase{"2-4", 1, "*2-4%*", "", "2 + 36 + 4 = 42: the check may be '%'"},
    EncodingCase{"CODE 39", 1, "*CODE 39R*", "", "sum 113, 113 mod 43 = 27"},
    EncodingCase{"AB1", 2, "*AB1*", "", "checkFlag 2 is no check"},
    EncodingCase{"AB1", -1, "*AB1*", "", "checkFlag -1 is no check"},
    EncodingCase{"-", 0, "*-*", "", "punctuation alone"},
};
INSTANTIATE_TEST_SUITE_P(Code39, Code39Encoding, ::testing::ValuesIn(kCode39EncodingRows),
                         lorvaxen::test::namedBy(&EncodingCase::source));

TEST_P(Code39Encoding, FramesAndEncodes)
{
    const EncodingCase& c = GetParam();
    const Encoded encoded = encodeCode39(c.text, c.checkFlag);
    expectEncoding(encoded, c);
    test::expectGappedCharacters(encoded, 10, c.source);
}

TEST(Code39, RefusesATextOfAsterisksOnly)
{
    for (const std::string_view text : {"*", "***"}) {
        const Encoded encoded = encodeCode39(text, 1);
        EXPECT_EQ(encoded.refusal, -21);
        EXPECT_TRUE(encoded.framedText.empty());
    }
}

TEST(Code39, CheckCharacterCoversEveryValueButTheAsterisk)
{
    // A single data character is its own check character: values 0 to 42 map back to themselves.
    const std::string_view symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    for (const char c : symbols) {
        EXPECT_EQ(mod43CheckCharacter(std::string(1, c)), c);
    }
    EXPECT_EQ(mod43CheckCharacter("%%"), '+'); // 84 mod 43 = 41
    EXPECT_EQ(mod43CheckCharacter("Z1"), '-'); // 36
}

} // namespace
} // namespace lorvaxen::detail
