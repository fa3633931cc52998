// NW7, the Codabar symbology.
#include <algorithm>
#include <array>
#include <string>

#include <Lorvaxen.h>

#include "encoders.h"

namespace lorvaxen::detail {
namespace {

// Codabar has no ISO/IEC standard: the characters are as JIS X 0506 (NW-7, until 2000 a part of
// JIS X 0503) and ANSI/AIM BC3-1995 (USS-Codabar) give them.
// Each pattern holds the character's seven elements (bar first) and then its narrow
// inter-character gap. Rows 0 to 19 are the Codabar characters 0 to 9, - $ : / . + and the
// start/stop characters a to d; t, n, o and e draw the bars of a to d again but are data
// characters worth 0. The order matters: the check character is looked up by value from row 0, so
// a remainder of 0 gives "0" and never "t".
constexpr std::array<SymbolTableRow, 24> kNw7Table{{
    {'0', 0, "00000110"},  {'1', 1, "00001100"},  {'2', 2, "00010010"},  {'3', 3, "11000000"},
    {'4', 4, "00100100"},  {'5', 5, "10000100"},  {'6', 6, "01000010"},  {'7', 7, "01001000"},
    {'8', 8, "01100000"},  {'9', 9, "10010000"},  {'-', 10, "00011000"}, {'$', 11, "00110000"},
    {':', 12, "10001010"}, {'/', 13, "10100010"}, {'.', 14, "10101000"}, {'+', 15, "00101010"},
    {'a', 16, "00110100"}, {'b', 17, "01010010"}, {'c', 18, "00010110"}, {'d', 19, "00011100"},
    {'t', 0, "00110100"},  {'n', 0, "01010010"},  {'o', 0, "00010110"},  {'e', 0, "00011100"},
}};
constexpr std::size_t kCheckModulus = 16;
constexpr std::size_t kCharacterElements = 8; // seven elements and the gap
static_assert(patternsAre(kNw7Table, kCharacterElements, "01"));
static_assert(
    [] {
        for (std::size_t row = 0; row < kNw7Table.size(); ++row) {
            const std::string_view widths = kNw7Table[row].pattern;
            const auto wide = std::count(widths.begin(), widths.end(), '1');
            const bool aliasOfStartStop = row < 20 || (kNw7Table[row].checkValue == 0 &&
                                                       widths == kNw7Table[row - 4].pattern);
            if ((row < kCheckModulus && kNw7Table[row].checkValue != static_cast<int32_t>(row)) ||
                wide != (row < 12 ? 2 : 3) || widths.back() != '0' || !aliasOfStartStop) {
                return false;
            }
        }
        return true;
    }(),
    "values 0 to 15 are row indexes; two or three wide elements; a gap last; t n o e alias a to d");

constexpr SymbolSet kNw7Symbols{kNw7Table};

constexpr char kDefaultStartStop = 'a';

bool isStartStop(char c)
{
    return c >= 'a' && c <= 'd';
}

} // namespace

char mod16CheckCharacter(std::string_view startStopText)
{
    // 64 bits hold the sum of any text in memory; 32 signed bits would overflow for a text of
    // some hundred million characters, which is still narrow enough to paint.
    uint64_t sum = 0;
    for (const char c : startStopText) {
        if (const SymbolTableRow* row = kNw7Symbols.find(c)) {
            sum += static_cast<uint64_t>(row->checkValue);
        }
    }
    // The check character's value is the remainder itself, not its complement to 16 that most
    // other Codabar printers and verifying readers use: labels already printed with it, and the
    // systems that read them, rely on this rule.
    return kNw7Table[static_cast<std::size_t>(sum) % kCheckModulus].symbol;
}

Encoded encodeNw7(std::string_view text, int32_t checkFlag)
{
    // Letters a to d between the start and the stop, and t, n, o and e anywhere, are data.
    const auto [start, data, replacedStop] = lorvaxen::frameNw7(text);

    Encoded result;
    result.framedText.reserve(data.size() + 3);
    result.framedText += start;
    result.framedText += data;
    result.framedText += start;
    if (checkFlag == 1) { // the check character stands just before the stop
        result.framedText.insert(result.framedText.size() - 1, 1,
                                 mod16CheckCharacter(result.framedText));
    }

    // Every row ends in its gap, so the stop leaves one narrow space after the last bar.
    appendSymbolPatterns<kCharacterElements>(result.elementPattern, result.framedText, kNw7Symbols);
    return result;
}

const SymbologyCode<Encoded> kNw7{
    {isNotEmpty, LORVAXEN_NW7_EMPTY, CaseFolding::Lower, kNw7Symbols, LORVAXEN_NW7_CHARSET},
    encodeNw7,
    std::nullopt};
} // namespace lorvaxen::detail

namespace lorvaxen {

Nw7Frame frameNw7(std::string_view lowerText)
{
    Nw7Frame frame;
    frame.data = lowerText;
    if (!frame.data.empty() && detail::isStartStop(frame.data.front())) {
        frame.start = frame.data.front();
        frame.data.remove_prefix(1);
    } else {
        frame.start = detail::kDefaultStartStop;
    }
    if (!frame.data.empty() && detail::isStartStop(frame.data.back())) {
        if (frame.data.back() != frame.start) {
            frame.replacedStop = frame.data.back();
        }
        frame.data.remove_suffix(1);
    }
    return frame;
}

} // namespace lorvaxen

extern "C" LORVAXEN_API int32_t LORVAXEN_CALL BarCode_NW7(HDC hdc, HBITMAP* outBitmap, char* text,
                                                          int32_t* outWidthPx, int32_t* outHeightPx,
                                                          char* outText, double narrowMm,
                                                          double heightMm, double ratio,
                                                          int32_t checkFlag)
{
    return lorvaxen::detail::runBarcodeCall(lorvaxen::detail::kNw7,
                                            {hdc, outBitmap, text, outWidthPx, outHeightPx, outText,
                                             narrowMm, heightMm, ratio, checkFlag});
}
