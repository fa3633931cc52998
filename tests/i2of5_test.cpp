// Interleaved 2 of 5 framing and element patterns.
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "encoders.h"

namespace lorvaxen {
namespace {

struct I2of5Case
{
    std::string_view digits;
    int32_t checkFlag;
    std::string_view framed;
    std::string_view pattern; // empty: not checked here
    std::string_view source;
};

TEST(I2of5, PadsChecksAndInterleaves)
{
    for (const I2of5Case& c : {
             I2of5Case{"1234", 1, "012348", "0000010010100101110000100100100110100",
                       "worked example: pairs 0/1, 2/3, 4/8"},
             I2of5Case{"1234", 0, "1234",
                       "0000100100001110100100011"
                       "00",
                       "worked example without check digit"},
             I2of5Case{"123", 0, "0123", "", "odd count gets a leading zero"},
             I2of5Case{"123", 1, "1236", "", "odd count with its check digit is even"},
             I2of5Case{"5", 1, "55", "", "the check digit of 5 is 5"},
             I2of5Case{"5", 0, "05", "", "one digit"},
             I2of5Case{"12", 1, "0123", "", "zero before the data, check digit after"},
             I2of5Case{"0", 1, "00", "", "check digit 0"},
             I2of5Case{"123", 2, "0123", "", "checkFlag 2 is taken as 0"},
             I2of5Case{"1234", -1, "1234", "", "checkFlag -1 is taken as 0"},
         }) {
        const Encoded encoded = encodeI2of5(c.digits, c.checkFlag);
        EXPECT_EQ(encoded.refusal, 0) << c.source;
        EXPECT_EQ(encoded.framedText, c.framed) << c.source;
        if (!c.pattern.empty()) {
            EXPECT_EQ(encoded.elementPattern, c.pattern) << c.source;
        }
        // Start, five elements a digit, stop.
        EXPECT_EQ(encoded.elementPattern.size(), 4 + 5 * encoded.framedText.size() + 3) << c.source;
        EXPECT_EQ(encoded.elementPattern.substr(0, 4), "0000") << c.source;
        EXPECT_EQ(encoded.elementPattern.substr(encoded.elementPattern.size() - 3), "100")
            << c.source;
    }
}

TEST(I2of5, LongTextsAreEncodedInFull)
{
    for (const std::size_t length : {1020U, 1021U, 1022U, 1023U, 4097U}) {
        for (const int32_t checkFlag : {0, 1}) {
            const std::string digits(length, '7');
            const Encoded encoded = encodeI2of5(digits, checkFlag);
            const std::size_t framed = length + static_cast<std::size_t>(checkFlag);
            const std::size_t padded = framed + framed % 2;
            ASSERT_EQ(encoded.framedText.size(), padded) << length << ", " << checkFlag;
            EXPECT_EQ(encoded.framedText.substr(padded - framed, length), digits);
            EXPECT_EQ(encoded.elementPattern.size(), 4 + 5 * padded + 3);
        }
    }
}

} // namespace
} // namespace lorvaxen
