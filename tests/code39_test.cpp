// Code 39 framing and element patterns.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "encoders.h"

namespace lorvaxen {
namespace {

struct Code39Case
{
    std::string_view text; // already upper-cased, as the call frame hands it over
    int32_t checkFlag;
    std::string_view framed;
    std::string_view pattern; // empty: not checked here
    std::string_view source;
};

TEST(Code39, FramesAndEncodes)
{
    for (const Code39Case& c : {
             Code39Case{"AB1", 1, "*AB1M*",
                        "010010100010000100100010010010100100001010100001000100101000",
                        "worked example with check character"},
             Code39Case{"AB1", 0, "*AB1*", "01001010001000010010001001001010010000100100101000",
                        "worked example"},
             Code39Case{"*A*B*", 0, "*AB*", "", "asterisks anywhere are dropped"},
             Code39Case{"A*B", 0, "*AB*", "", "inner asterisk"},
             Code39Case{"2-4", 1, "*2-4%*", "", "2 + 36 + 4 = 42: the check may be '%'"},
             Code39Case{"CODE 39", 1, "*CODE 39R*", "", "sum 113, 113 mod 43 = 27"},
             Code39Case{"AB1", 2, "*AB1*", "", "checkFlag 2 is no check"},
             Code39Case{"AB1", -1, "*AB1*", "", "checkFlag -1 is no check"},
             Code39Case{"-", 0, "*-*", "", "punctuation alone"},
         }) {
        const Encoded encoded = encodeCode39(c.text, c.checkFlag);
        EXPECT_EQ(encoded.refusal, 0) << c.source;
        EXPECT_EQ(encoded.framedText, c.framed) << c.source;
        if (!c.pattern.empty()) {
            EXPECT_EQ(encoded.elementPattern, c.pattern) << c.source;
        }
        // Ten digits a framed character, the last one the stop asterisk's narrow gap.
        EXPECT_EQ(encoded.elementPattern.size(), 10 * encoded.framedText.size()) << c.source;
        EXPECT_EQ(encoded.elementPattern.back(), '0') << c.source;
    }
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
        EXPECT_EQ(Mod43CheckCharacter(std::string(1, c)), c);
    }
    EXPECT_EQ(Mod43CheckCharacter("%%"), '+'); // 84 mod 43 = 41
    EXPECT_EQ(Mod43CheckCharacter("Z1"), '-'); // 36
}

} // namespace
} // namespace lorvaxen
