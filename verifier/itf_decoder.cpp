// The reference decode of Interleaved 2 of 5: pairs of digits, the first in the bars and the
// second in the spaces, between the start and stop patterns.
#include "decoders.h"
#include "two_width.h"

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen::verifier::detail {
namespace {

// Interleaved 2 of 5 (ISO/IEC 16390): each digit's five bars, or five spaces, two of them wide.
// Written apart from the library's table on purpose, never taken from it: a wrong row there then
// fails this decode.
constexpr std::array<TwoWidthRow, 10> kI2of5{{
    {'0', "00110"},
    {'1', "10001"},
    {'2', "01001"},
    {'3', "11000"},
    {'4', "00101"},
    {'5', "10100"},
    {'6', "01100"},
    {'7', "00011"},
    {'8', "10010"},
    {'9', "01010"},
}};

// A two-width measure of whole elements against the symbol's narrow width: wide or not.
bool isWide(double width, double narrow, double wide)
{
    return width > (narrow + wide) / 2;
}

} // namespace

Decoded decodeI2of5(std::span<const double> widths)
{
    // The start is four narrow elements, the stop a wide bar, a narrow space and a narrow bar;
    // between them each pair of digits interleaves the bars of the first with the spaces of the
    // second.
    constexpr std::size_t kStart = 4;
    constexpr std::size_t kStop = 3;
    constexpr std::size_t kPair = 10;
    if (widths.size() < kStart + kPair + kStop || (widths.size() - kStart - kStop) % kPair != 0) {
        return failure(Symbology::I2of5, std::to_string(widths.size()) +
                                             " elements are no whole number of digit pairs");
    }
    TwoWidthTally tally(Symbology::I2of5);
    for (std::size_t first = kStart; first + kStop < widths.size(); first += kPair) {
        // Two of the five bars and two of the five spaces are wide.
        const auto elements = widths.subspan(first, kPair);
        std::string wide(kPair, '0');
        markWidest(elements, 2, 0, 2, wide);
        markWidest(elements, 2, 1, 2, wide);
        const TwoWidthCharacter character = measure(elements, std::move(wide));
        tally.count(character, first, kPair);
        std::string bars;
        std::string spaces;
        for (std::size_t i = 0; i < kPair; ++i) {
            (i % 2 == 0 ? bars : spaces) += character.wide[i];
        }
        const auto firstDigit = findWide(kI2of5, bars);
        const auto secondDigit = findWide(kI2of5, spaces);
        if (!firstDigit || !secondDigit) {
            return failure(Symbology::I2of5, characterProblem((first - kStart) / kPair));
        }
        tally.decoded.text += kI2of5[*firstDigit].symbol;
        tally.decoded.text += kI2of5[*secondDigit].symbol;
    }
    const double narrow = tally.narrowSum / tally.narrowCount;
    const double wide = tally.wideSum / tally.wideCount;
    const std::size_t stop = widths.size() - kStop;
    const bool startHolds = std::none_of(widths.begin(), widths.begin() + kStart,
                                         [&](double w) { return isWide(w, narrow, wide); });
    const bool stopHolds = isWide(widths[stop], narrow, wide) &&
                           !isWide(widths[stop + 1], narrow, wide) &&
                           !isWide(widths[stop + 2], narrow, wide);
    if (!startHolds || !stopHolds) {
        return failure(Symbology::I2of5, "start or stop pattern missing");
    }
    const std::string_view digits = tally.decoded.text;
    tally.decoded.check =
        !digits.empty() && gtinCheckDigit(digits.substr(0, digits.size() - 1)) == digits.back()
            ? "modulo 10 check digit holds"
            : "no modulo 10 check digit";
    return tally.finish();
}

} // namespace lorvaxen::verifier::detail
