// JAN framing and element patterns.
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <lorvaxen/symbology_facts.h> // beside the call frame: one name for each type

#include "encoders.h"

namespace lorvaxen::detail {
namespace {

std::string_view framedOf(const JanSymbol& symbol)
{
    return symbol.framedText.data();
}
std::string_view patternOf(const JanSymbol& symbol)
{
    return symbol.elementPattern.data();
}

TEST(Jan, FramesAndEncodesTheWorkedNumber)
{
    // 4 9 0 1 2 3 4 5 6 7 8 9 | 4: sets A B A A B B for the leading 4.
    const std::string_view pattern = "000"
                                     "200100121110101100301200"
                                     "00000"
                                     "012000030201010220010021"
                                     "000";
    for (const std::string_view digits : {"490123456789", "4901234567894"}) {
        const JanSymbol symbol = encodeJan(digits, 0);
        EXPECT_EQ(symbol.refusal, 0);
        EXPECT_EQ(framedOf(symbol), "4901234567894") << digits;
        EXPECT_EQ(patternOf(symbol), pattern) << digits;
    }
}

TEST(Jan, EncodesAThirteenthDigitAsGivenEvenWhenItIsNotTheCheckDigit)
{
    const JanSymbol symbol = encodeJan("4901234567890", 1);
    EXPECT_EQ(framedOf(symbol), "4901234567890");
    // The last right-half character is the set C 0 ("2100"), before the right guard.
    EXPECT_EQ(patternOf(symbol).substr(52), "2100000");
}

TEST(Jan, LeadingDigitChoosesTheSetsOfTheLeftHalf)
{
    // The published EAN-13 table: which number set each of the six left-half digits takes.
    const std::string_view sets[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                       "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
    for (char leading = '0'; leading <= '9'; ++leading) {
        // Left-half digits of 0, whose set A ("2100") and set B ("0012") characters differ.
        const JanSymbol symbol = encodeJan(std::string(1, leading) + "00000012345", 0);
        std::string found;
        for (std::size_t i = 0; i < 6; ++i) {
            const std::string_view character = patternOf(symbol).substr(3 + 4 * i, 4);
            found += character == "2100" ? 'A' : character == "0012" ? 'B' : '?';
        }
        EXPECT_EQ(found, sets[leading - '0']) << "leading " << leading;
    }
}

TEST(Jan, EverySymbolHasFiftyNineElementsOverNinetyFiveModules)
{
    for (const std::string_view digits :
         {"000000000000", "999999999999", "123456789012", "9780201379624", "5555555555555"}) {
        const JanSymbol symbol = encodeJan(digits, 0);
        const std::string_view pattern = patternOf(symbol);
        ASSERT_EQ(pattern.size(), 59U) << digits;
        int modules = 0;
        for (const char width : pattern) {
            modules += width - '0' + 1;
        }
        EXPECT_EQ(modules, 95) << digits;
        EXPECT_EQ(pattern.substr(0, 3), "000");
        EXPECT_EQ(pattern.substr(27, 5), "00000"); // the centre guard
        EXPECT_EQ(pattern.substr(56), "000");
    }
}

} // namespace
} // namespace lorvaxen::detail
