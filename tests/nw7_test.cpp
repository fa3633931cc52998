// NW7 framing, check character and element patterns.
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

using Nw7Encoding = ::testing::TestWithParam<EncodingCase>;
const EncodingCase kNw7EncodingRows[] = {
    EncodingCase{"123", 1, "a1236a", "001101000000110000010010110000000100001000110100",
                 "worked example: 16 + 1 + 2 + 3 + 16 = 38, 38 mod 16 = 6"},
    EncodingCase{"123", 0, "a123a", "", "worked example without check character"},
    EncodingCase{"b45d", 0, "b45b", "01010010001001001000010001010010",
                 "the stop is made equal to the start"},
    EncodingCase{"b45d", 1, "b45$b", "", "17 + 4 + 5 + 17 = 43, 43 mod 16 = 11"},
    EncodingCase{"d-1$", 1, "d-1$:d", "", "60 mod 16 = 12: start d also stops"},
    EncodingCase{"a1b2", 1, "a1b24a", "", "an inner b is data worth 17"},
    EncodingCase{"1a2", 0, "a1a2a", "", "an inner a is data"},
    EncodingCase{"t12t", 0, "at12ta", "001101000011010000001100000100100011010000110100",
                 "t is never a start or stop, and draws the bars of a"},
    EncodingCase{"ten", 1, "aten0a", "", "t, e and n are worth 0; remainder 0 gives 0, not t"},
    EncodingCase{"ab", 1, "a0a", "", "no data between start and stop"},
    EncodingCase{"1", 0, "a1a", "", "one data character"},
    EncodingCase{"1c", 0, "a1a", "", "a stop letter after data is replaced"},
    EncodingCase{"a", 0, "aa", "", "a lone letter is a start and a stop"},
    EncodingCase{"a", 1, "a0a", "", "a lone letter with its check character, as ab"},
    EncodingCase{"c", 1, "c4c", "", "18 + 18 = 36, 36 mod 16 = 4"},
    EncodingCase{"123", 2, "a123a", "", "checkFlag 2 is no check"},
    EncodingCase{"123", -1, "a123a", "", "checkFlag -1 is no check"},
};
INSTANTIATE_TEST_SUITE_P(Nw7, Nw7Encoding, ::testing::ValuesIn(kNw7EncodingRows),
                         lorvaxen::test::namedBy(&EncodingCase::source));

TEST_P(Nw7Encoding, FramesChecksAndEncodes)
{
    const EncodingCase& c = GetParam();
    const Encoded encoded = encodeNw7(c.text, c.checkFlag);
    expectEncoding(encoded, c);
    test::expectGappedCharacters(encoded, 8, c.source);
}

TEST(Nw7, CheckCharacterIsTheRemainderNotItsComplement)
{
    // Between a start and a stop a (16 + 16 = 32), a data character is its own check character.
    for (const char c : std::string_view("0123456789-$:/.+")) {
        EXPECT_EQ(mod16CheckCharacter(std::string("a") + c + "a"), c) << c;
    }
    EXPECT_EQ(mod16CheckCharacter("a123a"), '6'); // the complement to 16 would be '-'
    EXPECT_EQ(mod16CheckCharacter("dd"), '6');    // 38
    EXPECT_EQ(mod16CheckCharacter("anoea"), '0'); // n, o and e add nothing
}

} // namespace
} // namespace lorvaxen::detail
