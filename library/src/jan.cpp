// JAN, the EAN-13 symbology of ISO/IEC 15420.
#include <algorithm>
#include <array>

#include <Lorvaxen.h>

#include "encoders.h"

namespace lorvaxen::detail {
namespace {

// Number sets A (left half, odd parity), B (left half, even parity) and C (right half), each in
// digit order, as ISO/IEC 15420 gives them in its symbol character encodation (a JAN is an
// EAN-13; JIS X 0507, the symbology's Japanese standard, shows the sets again in its Annex D).
// A pattern holds the widths of the character's four elements less one module, so "2100" is
// 3 + 2 + 1 + 1 = 7 modules. A left-half character starts with a space and a right-half one with
// a bar, which is why sets A and C share their width texts.
constexpr std::array<SymbolTableRow, 30> kJanTable{{
    {'0', 0, "2100"}, {'1', 0, "1110"}, {'2', 0, "1011"}, {'3', 0, "0300"}, {'4', 0, "0021"},
    {'5', 0, "0120"}, {'6', 0, "0003"}, {'7', 0, "0201"}, {'8', 0, "0102"}, {'9', 0, "2001"},
    {'0', 0, "0012"}, {'1', 0, "0111"}, {'2', 0, "1101"}, {'3', 0, "0030"}, {'4', 0, "1200"},
    {'5', 0, "0210"}, {'6', 0, "3000"}, {'7', 0, "1020"}, {'8', 0, "2010"}, {'9', 0, "1002"},
    {'0', 0, "2100"}, {'1', 0, "1110"}, {'2', 0, "1011"}, {'3', 0, "0300"}, {'4', 0, "0021"},
    {'5', 0, "0120"}, {'6', 0, "0003"}, {'7', 0, "0201"}, {'8', 0, "0102"}, {'9', 0, "2001"},
}};
constexpr std::size_t kSetB = 10;
constexpr std::size_t kSetC = 20;
static_assert(patternsAre(kJanTable, 4, "0123"));
static_assert(
    [] {
        for (std::size_t row = 0; row < kJanTable.size(); ++row) {
            const std::string_view widths = kJanTable[row].pattern;
            const std::string_view setA = kJanTable[row % 10].pattern;
            const std::string_view setC = kJanTable[kSetC + row % 10].pattern;
            int modules = 0;
            for (const char w : widths) {
                modules += w - '0' + 1;
            }
            const bool setBMirrorsSetC = row < kSetB || row >= kSetC ||
                                         std::equal(widths.begin(), widths.end(), setC.rbegin());
            if (kJanTable[row].symbol != static_cast<char>('0' + row % 10) || modules != 7 ||
                !setBMirrorsSetC || (row >= kSetC && widths != setA)) {
                return false;
            }
        }
        return true;
    }(),
    "every character is 7 modules; set B is set C drawn backwards; set C repeats set A");

// The sets of the six left-half digits for each leading digit (0 set A, 1 set B), as ISO/IEC 15420
// assigns them: the leading digit is carried by this choice alone and has no symbol character of
// its own.
constexpr std::array<std::array<int, 6>, 10> kJanParityTable{{
    {0, 0, 0, 0, 0, 0},
    {0, 0, 1, 0, 1, 1},
    {0, 0, 1, 1, 0, 1},
    {0, 0, 1, 1, 1, 0},
    {0, 1, 0, 0, 1, 1},
    {0, 1, 1, 0, 0, 1},
    {0, 1, 1, 1, 0, 0},
    {0, 1, 0, 1, 0, 1},
    {0, 1, 0, 1, 1, 0},
    {0, 1, 1, 0, 1, 0},
}};
static_assert(
    [] {
        for (std::size_t leading = 1; leading < kJanParityTable.size(); ++leading) {
            const auto& sets = kJanParityTable[leading];
            if (sets[0] != 0 || std::count(sets.begin(), sets.end(), 1) != 3) {
                return false;
            }
        }
        return std::count(kJanParityTable[0].begin(), kJanParityTable[0].end(), 0) == 6;
    }(),
    "a leading 0 keeps every digit in set A; any other starts in set A and puts three in set B");

constexpr SymbolSet kDecimalDigits{SymbolTable(kJanTable).first(10)};

constexpr std::string_view kSideGuard = "000";     // bar, space, bar
constexpr std::string_view kCentreGuard = "00000"; // space, bar, space, bar, space
constexpr double kJanRatio = 2.0; // digit k is then exactly k + 1 modules, whatever the device

bool acceptsJanLength(std::size_t length)
{
    return length == kJanDigits - 1 || length == kJanDigits;
}

std::size_t digitAt(const JanSymbol& symbol, std::size_t position)
{
    return static_cast<std::size_t>(symbol.framedText[position] - '0');
}

} // namespace

JanSymbol encodeJan(std::string_view digits, int32_t /*checkFlag*/) noexcept
{
    JanSymbol symbol;
    // Thirteen digits are encoded as given, a wrong check digit included: the caller may rely on
    // printing a number exactly as it was passed.
    char* framed = std::copy(digits.begin(), digits.end(), symbol.framedText.data());
    if (digits.size() == kJanDigits - 1) {
        *framed = static_cast<char>('0' + mod10CheckDigit(digits));
    }

    char* pattern = symbol.elementPattern.data();
    const auto append = [&pattern](std::string_view widths) {
        pattern = std::copy(widths.begin(), widths.end(), pattern);
    };
    append(kSideGuard);
    const auto& sets = kJanParityTable[digitAt(symbol, 0)];
    for (std::size_t p = 1; p <= 6; ++p) {
        append(
            kJanTable[kSetB * static_cast<std::size_t>(sets[p - 1]) + digitAt(symbol, p)].pattern);
    }
    append(kCentreGuard);
    for (std::size_t p = 7; p < kJanDigits; ++p) {
        append(kJanTable[kSetC + digitAt(symbol, p)].pattern);
    }
    append(kSideGuard);
    return symbol;
}

const SymbologyCode<JanSymbol> kJan{{acceptsJanLength, LORVAXEN_JAN_LENGTH, CaseFolding::None,
                                     kDecimalDigits, LORVAXEN_JAN_CHARSET},
                                    encodeJan,
                                    kJanRatio};
} // namespace lorvaxen::detail

extern "C" LORVAXEN_API int32_t LORVAXEN_CALL BarCode_JAN(HDC hdc, HBITMAP* outBitmap,
                                                          const char* text, int32_t* outWidthPx,
                                                          int32_t* outHeightPx, char* outText,
                                                          double narrowMm, double heightMm,
                                                          double ratio, int32_t checkFlag)
{
    // The text is only read: JAN folds no case. The ratio is replaced by the symbology's own.
    return lorvaxen::detail::runBarcodeCall(
        lorvaxen::detail::kJan, {hdc, outBitmap, const_cast<char*>(text), outWidthPx, outHeightPx,
                                 outText, narrowMm, heightMm, ratio, checkFlag});
}
