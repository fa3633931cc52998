// Code 39, ISO/IEC 16388.
#include <algorithm>
#include <array>
#include <string>

#include <Lorvaxen.h>

#include "encoders.h"

namespace lorvaxen::detail {
namespace {

// The 44 symbols as ISO/IEC 16388 gives them in its character encodation table, in the order of
// their check values. Each pattern holds the character's nine elements (bar first, three of them
// wide) and then its narrow inter-character gap.
constexpr std::array<SymbolTableRow, 44> kCode39Table{{
    {'0', 0, "0001101000"},  {'1', 1, "1001000010"},  {'2', 2, "0011000010"},
    {'3', 3, "1011000000"},  {'4', 4, "0001100010"},  {'5', 5, "1001100000"},
    {'6', 6, "0011100000"},  {'7', 7, "0001001010"},  {'8', 8, "1001001000"},
    {'9', 9, "0011001000"},  {'A', 10, "1000010010"}, {'B', 11, "0010010010"},
    {'C', 12, "1010010000"}, {'D', 13, "0000110010"}, {'E', 14, "1000110000"},
    {'F', 15, "0010110000"}, {'G', 16, "0000011010"}, {'H', 17, "1000011000"},
    {'I', 18, "0010011000"}, {'J', 19, "0000111000"}, {'K', 20, "1000000110"},
    {'L', 21, "0010000110"}, {'M', 22, "1010000100"}, {'N', 23, "0000100110"},
    {'O', 24, "1000100100"}, {'P', 25, "0010100100"}, {'Q', 26, "0000001110"},
    {'R', 27, "1000001100"}, {'S', 28, "0010001100"}, {'T', 29, "0000101100"},
    {'U', 30, "1100000010"}, {'V', 31, "0110000010"}, {'W', 32, "1110000000"},
    {'X', 33, "0100100010"}, {'Y', 34, "1100100000"}, {'Z', 35, "0110100000"},
    {'-', 36, "0100001010"}, {'.', 37, "1100001000"}, {' ', 38, "0110001000"},
    {'$', 39, "0101010000"}, {'/', 40, "0101000100"}, {'+', 41, "0100010100"},
    {'%', 42, "0001010100"}, {'*', 43, "0100101000"},
}};
constexpr std::size_t kCharacterElements = 10; // nine elements and the gap
static_assert(patternsAre(kCode39Table, kCharacterElements, "01"));
static_assert(
    [] {
        for (std::size_t i = 0; i < kCode39Table.size(); ++i) {
            if (kCode39Table[i].checkValue != static_cast<int32_t>(i)) {
                return false;
            }
        }
        return true;
    }(),
    "the check character is looked up by its value as a row index");

constexpr SymbolSet kCode39Symbols{kCode39Table};

constexpr char kStartStop = '*';

} // namespace

char mod43CheckCharacter(std::string_view data)
{
    // One remainder at the end, not one a character: 64 bits hold the sum of any text in memory.
    uint64_t sum = 0;
    for (const char c : data) {
        if (const SymbolTableRow* row = kCode39Symbols.find(c)) {
            sum += static_cast<uint64_t>(row->checkValue);
        }
    }
    sum %= 43;
    // The row whose check value is the remainder; never the asterisk, whose value is 43.
    return kCode39Table[static_cast<std::size_t>(sum)].symbol;
}

Encoded encodeCode39(std::string_view text, int32_t checkFlag)
{
    // The start asterisk, the text without asterisks, then room for the check character and the
    // stop asterisk.
    Encoded result;
    std::string& framed = result.framedText;
    framed.resize(text.size() + 3);
    framed[0] = kStartStop;
    auto end = std::remove_copy(text.begin(), text.end(), framed.begin() + 1, kStartStop);
    const std::string_view data(framed.data() + 1,
                                static_cast<std::size_t>(end - framed.begin()) - 1);
    if (data.empty()) {
        result.refusal = LORVAXEN_CODE39_EMPTY;
        framed.clear();
        return result;
    }
    if (checkFlag == 1) {
        *end++ = mod43CheckCharacter(data);
    }
    *end++ = kStartStop;
    framed.erase(end, framed.end());

    // Every row ends in its gap, so the stop asterisk leaves one narrow space after the last bar.
    appendSymbolPatterns<kCharacterElements>(result.elementPattern, framed, kCode39Symbols);
    return result;
}

const SymbologyCode<Encoded> kCode39{{isNotEmpty, LORVAXEN_CODE39_EMPTY, CaseFolding::Upper,
                                      kCode39Symbols, LORVAXEN_CODE39_CHARSET},
                                     encodeCode39,
                                     std::nullopt};
} // namespace lorvaxen::detail

extern "C" LORVAXEN_API int32_t LORVAXEN_CALL BarCode_Code39(HDC hdc, HBITMAP* outBitmap,
                                                             char* text, int32_t* outWidthPx,
                                                             int32_t* outHeightPx, char* outText,
                                                             double narrowMm, double heightMm,
                                                             double ratio, int32_t checkFlag)
{
    return lorvaxen::detail::runBarcodeCall(lorvaxen::detail::kCode39,
                                            {hdc, outBitmap, text, outWidthPx, outHeightPx, outText,
                                             narrowMm, heightMm, ratio, checkFlag});
}
