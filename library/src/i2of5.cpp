// Interleaved 2 of 5, ISO/IEC 16390.
#include <algorithm>
#include <array>
#include <string>

#include <Lorvaxen.h>

#include "encoders.h"

namespace lorvaxen::detail {
namespace {

// The digits in order, each as its five elements: two of them wide, as ISO/IEC 16390:2007 gives
// them under 4.3, Character encodation. A pair of digits is drawn as
// the bars of the first interleaved with the spaces of the second.
constexpr std::array<SymbolTableRow, 10> kI2of5Table{{
    {'0', 0, "00110"},
    {'1', 0, "10001"},
    {'2', 0, "01001"},
    {'3', 0, "11000"},
    {'4', 0, "00101"},
    {'5', 0, "10100"},
    {'6', 0, "01100"},
    {'7', 0, "00011"},
    {'8', 0, "10010"},
    {'9', 0, "01010"},
}};
constexpr std::size_t kDigitElements = 5;
static_assert(patternsAre(kI2of5Table, kDigitElements, "01"));
static_assert(
    [] {
        for (std::size_t row = 0; row < kI2of5Table.size(); ++row) {
            const std::string_view widths = kI2of5Table[row].pattern;
            if (kI2of5Table[row].symbol != static_cast<char>('0' + row) ||
                std::count(widths.begin(), widths.end(), '1') != 2) {
                return false;
            }
        }
        return true;
    }(),
    "rows in digit order, two wide elements each");

constexpr SymbolSet kDigits{kI2of5Table};

constexpr std::string_view kStart = "0000"; // narrow bar, space, bar, space
constexpr std::string_view kStop = "100";   // wide bar, narrow space, narrow bar

// Appends the elements of each pair of digits: bar of the first, space of the second, five times.
// An odd digit at the end, which framing never leaves, would be left out rather than read past.
void appendPairs(std::string& pattern, std::string_view digits)
{
    const std::size_t pairs = digits.size() / 2;
    std::size_t out = pattern.size();
    pattern.resize(out + pairs * 2 * kDigitElements);
    for (std::size_t pair = 0; pair < pairs; ++pair) {
        const std::string_view bars =
            kI2of5Table[static_cast<std::size_t>(digits[2 * pair] - '0')].pattern;
        const std::string_view spaces =
            kI2of5Table[static_cast<std::size_t>(digits[2 * pair + 1] - '0')].pattern;
        for (std::size_t element = 0; element < kDigitElements; ++element) {
            pattern[out++] = bars[element];
            pattern[out++] = spaces[element];
        }
    }
}

} // namespace

Encoded encodeI2of5(std::string_view digits, int32_t checkFlag)
{
    // Only 1 asks for the check digit; any other value is taken as 0, as by the other symbologies.
    const bool withCheckDigit = checkFlag == 1;
    Encoded result;
    const std::size_t encodedDigits = digits.size() + (withCheckDigit ? 1 : 0);
    result.framedText.reserve(encodedDigits + 1);
    // Digits go in pairs, so a leading zero evens the count, check digit included. It changes
    // neither the weights of the other digits nor the check digit.
    if (encodedDigits % 2 == 1) {
        result.framedText += '0';
    }
    result.framedText += digits;
    if (withCheckDigit) {
        result.framedText += static_cast<char>('0' + mod10CheckDigit(result.framedText));
    }

    result.elementPattern.reserve(kStart.size() + kDigitElements * result.framedText.size() +
                                  kStop.size());
    result.elementPattern += kStart;
    appendPairs(result.elementPattern, result.framedText);
    result.elementPattern += kStop;
    return result;
}

const SymbologyCode<Encoded> kI2of5{
    {isNotEmpty, LORVAXEN_I2OF5_EMPTY, CaseFolding::None, kDigits, LORVAXEN_I2OF5_CHARSET},
    encodeI2of5,
    std::nullopt};
} // namespace lorvaxen::detail

extern "C" LORVAXEN_API int32_t LORVAXEN_CALL BarCode_I2of5(HDC hdc, HBITMAP* outBitmap,
                                                            const char* text, int32_t* outWidthPx,
                                                            int32_t* outHeightPx, char* outText,
                                                            double narrowMm, double heightMm,
                                                            double ratio, int32_t checkFlag)
{
    // The text is only read: Interleaved 2 of 5 folds no case.
    return lorvaxen::detail::runBarcodeCall(
        lorvaxen::detail::kI2of5, {hdc, outBitmap, const_cast<char*>(text), outWidthPx, outHeightPx,
                                   outText, narrowMm, heightMm, ratio, checkFlag});
}
