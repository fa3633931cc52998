// Rendered symbols read back by a real decoder give back their data.
#include <random>
#include <string>
#include <vector>

#include <Lorvaxen.h>

#include "gdi_test.h"
#include "scan.h"

namespace lorvaxen::test {
namespace {

class Scan : public GdiTest
{
};

// Ten modules of light margin, the quiet zone a printed label would have.
constexpr int kQuietModules = 10;

TEST_F(Scan, Code39ReadsBackWithItsCheckCharacter)
{
    const std::string symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    std::mt19937 random(39);
    std::uniform_int_distribution<size_t> pick(0, symbols.size() - 1);
    std::uniform_int_distribution<size_t> length(1, 24);
    struct Setting
    {
        int dpi;
        double narrowMm;
        double ratio;
    };
    int decoded = 0;
    for (const Setting s :
         {Setting{96, 0.33, 2.5}, Setting{96, 0.6, 3.0}, Setting{203, 0.25, 2.2},
          Setting{300, 0.33, 2.5}, Setting{600, 0.19, 2.0}, Setting{600, 0.33, 3.0}}) {
        const ReferenceDc device(s.dpi);
        for (int round = 0; round < 12; ++round) {
            std::string text;
            for (size_t n = length(random); n > 0; --n) {
                text += symbols[pick(random)];
            }
            if (round == 0) {
                text = "code 39 scan";
            }
            const int32_t checkFlag = round % 2;
            std::string framed(text.size() + 4, '\0');
            OwnedBitmap bitmap;
            int32_t width = 0;
            int32_t height = 0;
            ASSERT_EQ(BarCode_Code39(device, bitmap.out(), text.data(), &width, &height,
                                     framed.data(), s.narrowMm, 5, s.ratio, checkFlag),
                      0);
            framed.resize(framed.find('\0'));
            const Pixels pixels = readPixels(bitmap.get());
            const int narrowPx = std::max(1, static_cast<int>(s.dpi * s.narrowMm / 25.4));
            const auto data = decode(pixels, "Code39", kQuietModules * narrowPx);
            // The decoder hands back the data between the asterisks, check character included.
            EXPECT_EQ(data.value_or("<no symbol>"), framed.substr(1, framed.size() - 2))
                << "'" << text << "' at " << s.dpi << " dpi, ratio " << s.ratio;
            decoded += data.has_value() ? 1 : 0;
        }
    }
    EXPECT_EQ(decoded, 72);
}

TEST_F(Scan, JanReadsBackAsItsThirteenDigits)
{
    std::mt19937 random(13);
    std::uniform_int_distribution<int> digit(0, 9);
    int decoded = 0;
    for (const int dpi : {96, 203, 300, 600}) {
        const ReferenceDc device(dpi);
        for (const double narrowMm : {0.264, 0.33, 0.5}) {
            for (int round = 0; round < 10; ++round) {
                std::string text;
                for (int n = 0; n < 12; ++n) {
                    text += static_cast<char>('0' + digit(random));
                }
                if (round % 2 == 1) { // 13 digits, the last one the check digit
                    int sum = 0;
                    for (size_t i = 0; i < 12; ++i) {
                        sum += (text[i] - '0') * (i % 2 == 0 ? 1 : 3);
                    }
                    text += static_cast<char>('0' + (10 - sum % 10) % 10);
                }
                std::string framed(text.size() + 4, '\0');
                OwnedBitmap bitmap;
                int32_t width = 0;
                int32_t height = 0;
                // ratio and checkFlag are not read: any values serve.
                ASSERT_EQ(BarCode_JAN(device, bitmap.out(), text.c_str(), &width, &height,
                                      framed.data(), narrowMm, 5, 0.5, round),
                          0);
                framed.resize(framed.find('\0'));
                const int narrowPx = std::max(1, static_cast<int>(dpi * narrowMm / 25.4));
                const auto data =
                    decode(readPixels(bitmap.get()), "EAN13", kQuietModules * narrowPx);
                EXPECT_EQ(data.value_or("<no symbol>"), framed)
                    << text << " at " << dpi << " dpi, " << narrowMm << " mm";
                decoded += data.has_value() ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(decoded, 120);
}

TEST_F(Scan, I2of5ReadsBackWithAndWithoutItsCheckDigit)
{
    std::mt19937 random(25);
    std::uniform_int_distribution<int> digit(0, 9);
    // The decoder reads no Interleaved 2 of 5 symbol of fewer than six digits.
    std::uniform_int_distribution<size_t> length(5, 30);
    int decoded = 0;
    for (const int dpi : {96, 203, 300, 600}) {
        const ReferenceDc device(dpi);
        for (const double ratio : {2.0, 2.5, 3.0}) {
            for (int round = 0; round < 10; ++round) {
                std::string text;
                for (size_t n = length(random); n > 0; --n) {
                    text += static_cast<char>('0' + digit(random));
                }
                const int32_t checkFlag = round % 2;
                std::string framed(text.size() + 4, '\0');
                OwnedBitmap bitmap;
                int32_t width = 0;
                int32_t height = 0;
                const double narrowMm = 0.33;
                ASSERT_EQ(BarCode_I2of5(device, bitmap.out(), text.c_str(), &width, &height,
                                        framed.data(), narrowMm, 5, ratio, checkFlag),
                          0);
                framed.resize(framed.find('\0'));
                const int narrowPx = std::max(1, static_cast<int>(dpi * narrowMm / 25.4));
                const auto data = decode(readPixels(bitmap.get()), "ITF", kQuietModules * narrowPx,
                                         checkFlag == 1);
                EXPECT_EQ(data.value_or("<no symbol>"), framed)
                    << text << " at " << dpi << " dpi, ratio " << ratio << ", check " << checkFlag;
                decoded += data.has_value() ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(decoded, 120);
}

TEST_F(Scan, Nw7ReadsBackBetweenItsStartAndStop)
{
    const std::string data = "0123456789-$:/.+";
    const std::string startStop = "aBcD"; // either case: the text is lower-cased
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> pickData(0, data.size() - 1);
    std::uniform_int_distribution<size_t> pickLetter(0, startStop.size()); // the last: none
    // The decoder reads no Codabar symbol of fewer than four characters, start and stop included.
    std::uniform_int_distribution<size_t> length(2, 20);
    int decoded = 0;
    for (const int dpi : {96, 203, 300, 600}) {
        const ReferenceDc device(dpi);
        for (const double ratio : {2.0, 2.5, 3.0}) {
            for (int round = 0; round < 10; ++round) {
                std::string text;
                if (const size_t start = pickLetter(random); start < startStop.size()) {
                    text += startStop[start];
                }
                for (size_t n = length(random); n > 0; --n) {
                    text += data[pickData(random)];
                }
                if (const size_t stop = pickLetter(random); stop < startStop.size()) {
                    text += startStop[stop]; // replaced by a copy of the start
                }
                const int32_t checkFlag = round % 2;
                std::string framed(text.size() + 4, '\0');
                OwnedBitmap bitmap;
                int32_t width = 0;
                int32_t height = 0;
                const double narrowMm = 0.33;
                ASSERT_EQ(BarCode_NW7(device, bitmap.out(), text.data(), &width, &height,
                                      framed.data(), narrowMm, 5, ratio, checkFlag),
                          0);
                framed.resize(framed.find('\0'));
                const int narrowPx = std::max(1, static_cast<int>(dpi * narrowMm / 25.4));
                const auto read =
                    decode(readPixels(bitmap.get()), "Codabar", kQuietModules * narrowPx);
                // The decoder drops the start and stop and keeps our check character as data.
                EXPECT_EQ(read.value_or("<no symbol>"), framed.substr(1, framed.size() - 2))
                    << text << " at " << dpi << " dpi, ratio " << ratio << ", check " << checkFlag;
                decoded += read.has_value() ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(decoded, 120);
}

} // namespace
} // namespace lorvaxen::test
