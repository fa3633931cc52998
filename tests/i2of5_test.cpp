// Interleaved 2 of 5 framing and element patterns.
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

using I2of5Encoding = ::testing::TestWithParam<EncodingCase>;
const EncodingCase kI2of5EncodingRows[] = {
    EncodingCase{"1234", 1, "012348", "0000010010100101110000100100100110100",
                 "worked example: pairs 0/1, 2/3, 4/8"},
    EncodingCase{"1234", 0, "1234", "000010010000111010010001100",
                 "worked example without check digit"},
    EncodingCase{"123", 0, "0123", "", "odd count gets a leading zero"},
    EncodingCase{"123", 1, "1236", "", "odd count with its check digit is even"},
    EncodingCase{"5", 1, "55", "", "the check digit of 5 is 5"},
    EncodingCase{"5", 0, "05", "", "one digit"},
    EncodingCase{"12", 1, "0123", "", "zero before the data, check digit after"},
    EncodingCase{"0", 1, "00", "", "check digit 0"},
    EncodingCase{"123", 2, "0123", "", "checkFlag 2 is taken as 0"},
    EncodingCase{"1234", -1, "1234", "", "checkFlag -1 is taken as 0"},
};
INSTANTIATE_TEST_SUITE_P(I2of5, I2of5Encoding, ::testing::ValuesIn(kI2of5EncodingRows),
                         lorvaxen::test::namedBy(&EncodingCase::source));

TEST_P(I2of5Encoding, PadsChecksAndInterleaves)
{
    const EncodingCase& c = GetParam();
    const Encoded encoded = encodeI2of5(c.text, c.checkFlag);
    expectEncoding(encoded, c);
    // Start, five elements a digit, stop.
    EXPECT_EQ(encoded.elementPattern.size(), 4 + 5 * encoded.framedText.size() + 3) << c.source;
    EXPECT_EQ(encoded.elementPattern.substr(0, 4), "0000") << c.source;
    EXPECT_EQ(encoded.elementPattern.substr(encoded.elementPattern.size() - 3), "100") << c.source;
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
} // namespace lorvaxen::detail
