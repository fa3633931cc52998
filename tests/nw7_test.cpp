// NW7 framing, check character and element patterns.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "encoders.h"

namespace lorvaxen {
namespace {

struct Nw7Case
{
    std::string_view text; // already lower-cased, as the call frame hands it over
    int32_t checkFlag;
    std::string_view framed;
    std::string_view pattern; // empty: not checked here
    std::string_view source;
};

TEST(Nw7, FramesChecksAndEncodes)
{
    for (const Nw7Case& c : {
             Nw7Case{"123", 1, "a1236a", "001101000000110000010010110000000100001000110100",
                     "worked example: 16 + 1 + 2 + 3 + 16 = 38, 38 mod 16 = 6"},
             Nw7Case{"123", 0, "a123a", "", "worked example without check character"},
             Nw7Case{"b45d", 0, "b45b", "01010010001001001000010001010010",
                     "the stop is made equal to the start"},
             Nw7Case{"b45d", 1, "b45$b", "", "17 + 4 + 5 + 17 = 43, 43 mod 16 = 11"},
             Nw7Case{"d-1$", 1, "d-1$:d", "", "60 mod 16 = 12: start d also stops"},
             Nw7Case{"a1b2", 1, "a1b24a", "", "an inner b is data worth 17"},
             Nw7Case{"1a2", 0, "a1a2a", "", "an inner a is data"},
             Nw7Case{"t12t", 0, "at12ta", "001101000011010000001100000100100011010000110100",
                     "t is never a start or stop, and draws the bars of a"},
             Nw7Case{"ten", 1, "aten0a", "", "t, e and n are worth 0; remainder 0 gives 0, not t"},
             Nw7Case{"ab", 1, "a0a", "", "no data between start and stop"},
             Nw7Case{"1", 0, "a1a", "", "one data character"},
             Nw7Case{"1c", 0, "a1a", "", "a stop letter after data is replaced"},
             Nw7Case{"a", 0, "aa", "", "a lone letter is a start and a stop"},
             Nw7Case{"a", 1, "a0a", "", "a lone letter with its check character, as ab"},
             Nw7Case{"c", 1, "c4c", "", "18 + 18 = 36, 36 mod 16 = 4"},
             Nw7Case{"123", 2, "a123a", "", "checkFlag 2 is no check"},
             Nw7Case{"123", -1, "a123a", "", "checkFlag -1 is no check"},
         }) {
        const Encoded encoded = encodeNw7(c.text, c.checkFlag);
        EXPECT_EQ(encoded.refusal, 0) << c.source;
        EXPECT_EQ(encoded.framedText, c.framed) << c.source;
        if (!c.pattern.empty()) {
            EXPECT_EQ(encoded.elementPattern, c.pattern) << c.source;
        }
        // Eight digits a framed character, the last one the stop's narrow gap.
        EXPECT_EQ(encoded.elementPattern.size(), 8 * encoded.framedText.size()) << c.source;
        EXPECT_EQ(encoded.elementPattern.back(), '0') << c.source;
    }
}

TEST(Nw7, CheckCharacterIsTheRemainderNotItsComplement)
{
    // Between a start and a stop a (16 + 16 = 32), a data character is its own check character.
    for (const char c : std::string_view("0123456789-$:/.+")) {
        EXPECT_EQ(Mod16CheckCharacter(std::string("a") + c + "a"), c) << c;
    }
    EXPECT_EQ(Mod16CheckCharacter("a123a"), '6'); // the complement to 16 would be '-'
    EXPECT_EQ(Mod16CheckCharacter("dd"), '6');    // 38
    EXPECT_EQ(Mod16CheckCharacter("anoea"), '0'); // n, o and e add nothing
}

} // namespace
} // namespace lorvaxen
