// Rendered symbols read back by a real decoder give back their data.
#include <optional>
#include <random>
#include <string>

#include <Lorvaxen.h>

#include "barcode_call.h"
#include "gdi_test.h"
#include "scan.h"

namespace lorvaxen::test {
namespace {

class Scan : public GdiTest
{
};

// Ten modules of light margin, the quiet zone a printed label would have.
constexpr int kQuietModules = 10;

// Renders `call` on a device of `dpi` and reads the bitmap back as `format`; empty when the
// decoder finds nothing. With `verifyCheckDigit` the decoder also checks the symbol's check digit.
template <auto Function>
std::optional<std::string> renderAndRead(int dpi, BarcodeCall<Function>& call,
                                         const std::string& format, bool verifyCheckDigit = false)
{
    const ReferenceDc device(dpi);
    call.heightMm = 5;
    call.run(device);
    EXPECT_EQ(call.code, 0) << call.text;
    if (call.code != 0) {
        return std::nullopt;
    }
    const OwnedBitmap bitmap(call.bitmap);
    return decode(readPixels(bitmap.get()), format, kQuietModules * narrowPx(dpi, call.narrowMm),
                  verifyCheckDigit);
}

// A text of `length` characters drawn from `alphabet`.
std::string randomText(std::mt19937& random, const std::string& alphabet, size_t length)
{
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (; length > 0; --length) {
        text += alphabet[pick(random)];
    }
    return text;
}

const std::string kDigits = "0123456789";

// The framed text without its first and last character: the start and the stop.
std::string between(const std::string& framed)
{
    return framed.substr(1, framed.size() - 2);
}

TEST_F(Scan, Code39ReadsBackWithItsCheckCharacter)
{
    std::mt19937 random(39);
    std::uniform_int_distribution<size_t> length(1, 24);
    struct Setting
    {
        int dpi;
        double narrowMm;
        double ratio;
    };
    for (const Setting s :
         {Setting{96, 0.33, 2.5}, Setting{96, 0.6, 3.0}, Setting{203, 0.25, 2.2},
          Setting{300, 0.33, 2.5}, Setting{600, 0.19, 2.0}, Setting{600, 0.33, 3.0}}) {
        for (int round = 0; round < 12; ++round) {
            BarcodeCall<BarCode_Code39> call;
            call.text = round == 0
                            ? "code 39 scan"
                            : randomText(random, kDigits + "ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%",
                                         length(random));
            call.narrowMm = s.narrowMm;
            call.ratio = s.ratio;
            call.checkFlag = round % 2;
            const auto data = renderAndRead(s.dpi, call, "Code39");
            // The decoder hands back the data between the asterisks, check character included.
            EXPECT_EQ(data.value_or("<no symbol>"), between(call.outText))
                << "'" << call.text << "' at " << s.dpi << " dpi, ratio " << s.ratio;
        }
    }
}

TEST_F(Scan, JanReadsBackAsItsThirteenDigits)
{
    std::mt19937 random(13);
    for (const int dpi : {96, 203, 300, 600}) {
        for (const double narrowMm : {0.264, 0.33, 0.5}) {
            for (int round = 0; round < 10; ++round) {
                BarcodeCall<BarCode_JAN> call;
                call.text = randomText(random, kDigits, 12);
                if (round % 2 == 1) { // 13 digits, the last one the check digit
                    int sum = 0;
                    for (size_t i = 0; i < 12; ++i) {
                        sum += (call.text[i] - '0') * (i % 2 == 0 ? 1 : 3);
                    }
                    call.text += static_cast<char>('0' + (10 - sum % 10) % 10);
                }
                call.narrowMm = narrowMm;
                call.ratio = 0.5; // ratio and checkFlag are not read: any values serve
                call.checkFlag = round;
                const auto data = renderAndRead(dpi, call, "EAN13");
                EXPECT_EQ(data.value_or("<no symbol>"), call.outText)
                    << call.text << " at " << dpi << " dpi, " << narrowMm << " mm";
            }
        }
    }
}

TEST_F(Scan, I2of5ReadsBackWithAndWithoutItsCheckDigit)
{
    std::mt19937 random(25);
    // The decoder reads no Interleaved 2 of 5 symbol of fewer than six digits.
    std::uniform_int_distribution<size_t> length(5, 30);
    for (const int dpi : {96, 203, 300, 600}) {
        for (const double ratio : {2.0, 2.5, 3.0}) {
            for (int round = 0; round < 10; ++round) {
                BarcodeCall<BarCode_I2of5> call;
                call.text = randomText(random, kDigits, length(random));
                call.ratio = ratio;
                call.checkFlag = round % 2;
                const auto data = renderAndRead(dpi, call, "ITF", call.checkFlag == 1);
                EXPECT_EQ(data.value_or("<no symbol>"), call.outText)
                    << call.text << " at " << dpi << " dpi, ratio " << ratio << ", check "
                    << call.checkFlag;
            }
        }
    }
}

TEST_F(Scan, Nw7ReadsBackBetweenItsStartAndStop)
{
    const std::string startStop = "aBcD"; // either case: the text is lower-cased
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> pickLetter(0, startStop.size()); // the last: none
    // The decoder reads no Codabar symbol of fewer than four characters, start and stop included.
    std::uniform_int_distribution<size_t> length(2, 20);
    for (const int dpi : {96, 203, 300, 600}) {
        for (const double ratio : {2.0, 2.5, 3.0}) {
            for (int round = 0; round < 10; ++round) {
                BarcodeCall<BarCode_NW7> call;
                if (const size_t start = pickLetter(random); start < startStop.size()) {
                    call.text += startStop[start];
                }
                call.text += randomText(random, kDigits + "-$:/.+", length(random));
                if (const size_t stop = pickLetter(random); stop < startStop.size()) {
                    call.text += startStop[stop]; // replaced by a copy of the start
                }
                call.ratio = ratio;
                call.checkFlag = round % 2;
                const auto data = renderAndRead(dpi, call, "Codabar");
                // The decoder drops the start and stop and keeps our check character as data.
                EXPECT_EQ(data.value_or("<no symbol>"), between(call.outText))
                    << call.text << " at " << dpi << " dpi, ratio " << ratio << ", check "
                    << call.checkFlag;
            }
        }
    }
}

} // namespace
} // namespace lorvaxen::test
