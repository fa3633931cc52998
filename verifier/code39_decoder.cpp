// The reference decode of Code 39: characters of nine elements, three of them wide, between
// a start and a stop asterisk, each followed by a gap.
#include "decoders.h"
#include "two_width.h"

#include <utility>

#include <numeric>

namespace lorvaxen::verifier::detail {
namespace {

// Code 39 (ISO/IEC 16388), in the order of the check values 0 to 43. Written apart from the
// library's table on purpose, never taken from it: a wrong row there then fails this decode.
constexpr std::array<TwoWidthRow, 44> kCode39{{
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
    {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
    {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
    {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
    {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
    {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
    {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
    {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
    {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
    {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"}, {'*', "010010100"},
}};

} // namespace

Decoded decodeCode39(std::span<const double> widths)
{
    TwoWidthTally tally(Symbology::Code39);
    // The start and stop asterisks and at least one character between them.
    const auto read = readDiscrete(tally, kCode39, widths, 3);
    if (!read) {
        return std::move(tally.decoded);
    }
    const std::vector<std::size_t>& values = *read;
    const std::string& text = tally.decoded.text;
    if (text.front() != '*' || text.back() != '*' || text.find('*', 1) != text.size() - 1) {
        return failure(Symbology::Code39, "the stop asterisk or start asterisk is missing");
    }
    // The optional modulo-43 check character is the last before the stop asterisk.
    const std::size_t data = values.size() - 2;
    const auto sum = std::accumulate(values.begin() + 1, values.end() - 2, std::size_t{0});
    tally.decoded.check = data >= 2 && sum % 43 == values[values.size() - 2]
                              ? "modulo 43 check character holds"
                              : "no modulo 43 check character";
    double widestGap = 0;
    for (std::size_t gap = kCode39[0].wide.size(); gap < widths.size(); gap += 10) {
        widestGap = std::max(widestGap, widths[gap]);
    }
    Decoded decoded = tally.finish();
    decoded.largestGapModules = widestGap / decoded.moduleWidth;
    return decoded;
}

} // namespace lorvaxen::verifier::detail
