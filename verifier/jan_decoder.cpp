// The reference decode of JAN (EAN-13): guard bars, six characters of each half and the
// leading digit from the sets of the left half.
#include "decoders.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen::verifier::detail {
namespace {

// EAN-13 (ISO/IEC 15420): the module widths of each digit's set A character, space first. Set C
// has the same widths bar first; set B is set C read backwards. Written apart from the library's
// table on purpose, never taken from it: a wrong row there then fails this decode.
constexpr std::array<std::array<int, 4>, 10> kEanSetA{{
    {3, 2, 1, 1},
    {2, 2, 2, 1},
    {2, 1, 2, 2},
    {1, 4, 1, 1},
    {1, 1, 3, 2},
    {1, 2, 3, 1},
    {1, 1, 1, 4},
    {1, 3, 1, 2},
    {1, 2, 1, 3},
    {3, 1, 1, 2},
}};
// The sets of the six left-hand characters, which carry the leading digit.
constexpr std::array<std::string_view, 10> kEanLeadingDigit{
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
    "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA",
};

// An EAN character as measured: its digit, its set ('A', 'B' or 'C') and its decodability, the
// margin of its two edge-to-similar-edge distances from the reference thresholds halfway between
// whole modules, over the half module that an ideal character leaves.
struct EanCharacter
{
    int digit = -1;
    char set = 0;
    double decodability = 0;
};

EanCharacter decodeEanCharacter(std::span<const double> widths, bool leftHalf)
{
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    std::array<double, 4> modules{};
    std::ranges::transform(widths, modules.begin(), [total](double w) { return w * 7 / total; });
    const double e1 = modules[0] + modules[1];
    const double e2 = modules[1] + modules[2];
    const double whole1 = std::round(e1);
    const double whole2 = std::round(e2);
    EanCharacter character;
    character.decodability = 1 - 2 * std::max(std::abs(e1 - whole1), std::abs(e2 - whole2));
    // Characters that share both distances (1 and 7, 2 and 8) differ in their bars' total width.
    const std::size_t firstBar = leftHalf ? 1 : 0;
    const double bars = modules[firstBar] + modules[firstBar + 2];
    double bestBarError = std::numeric_limits<double>::max();
    std::vector<int> idealBars; // of the characters that share both distances
    for (int digit = 0; digit < 10; ++digit) {
        for (const char set : leftHalf ? std::string_view("AB") : std::string_view("C")) {
            std::array<int, 4> ideal = kEanSetA[static_cast<std::size_t>(digit)];
            if (set == 'B') {
                std::ranges::reverse(ideal);
            }
            if (ideal[0] + ideal[1] != whole1 || ideal[1] + ideal[2] != whole2) {
                continue;
            }
            const double barError = std::abs(ideal[firstBar] + ideal[firstBar + 2] - bars);
            if (barError < bestBarError) {
                bestBarError = barError;
                character.digit = digit;
                character.set = set;
            }
            idealBars.push_back(ideal[firstBar] + ideal[firstBar + 2]);
        }
    }
    // Characters 1 and 7, and 2 and 8, are told apart by their bars' total width alone, two
    // modules apart: the threshold lies midway, and its margin, over the module that an ideal
    // print leaves, counts in the character's decodability.
    if (idealBars.size() == 2) {
        const double threshold = (idealBars[0] + idealBars[1]) / 2.0;
        character.decodability = std::min(character.decodability, std::abs(bars - threshold));
    }
    return character;
}

} // namespace

Decoded decodeJan(std::span<const double> widths)
{
    // Guard bars, six characters, the centre guard, six characters, guard bars.
    constexpr std::size_t kElements = 59;
    constexpr std::size_t kGuard = 3;
    constexpr std::size_t kCentre = 5;
    constexpr std::size_t kHalf = 6;
    constexpr std::size_t kCharacter = 4;
    constexpr std::size_t kRightFirst = kGuard + kHalf * kCharacter + kCentre;
    if (widths.size() != kElements) {
        return failure(Symbology::Jan, std::to_string(widths.size()) + " elements, not 59");
    }
    Decoded decoded;
    decoded.symbology = Symbology::Jan;
    decoded.moduleWidth = std::accumulate(widths.begin(), widths.end(), 0.0) / 95;
    // Every element of the guard bars is one module wide; this keeps other symbols of 59 elements
    // (a Code 39 symbol of six characters) from passing for one.
    const auto isModule = [&](double width) {
        return std::abs(width / decoded.moduleWidth - 1) < 0.5;
    };
    const auto guards = {widths.first(kGuard), widths.subspan(kRightFirst - kCentre, kCentre),
                         widths.last(kGuard)};
    if (!std::ranges::all_of(guards,
                             [&](auto guard) { return std::ranges::all_of(guard, isModule); })) {
        return failure(Symbology::Jan, "the guard bars are not one module wide");
    }
    std::string sets;
    std::string digits;
    for (std::size_t c = 0; c < 2 * kHalf; ++c) {
        const bool left = c < kHalf;
        const std::size_t first = (left ? kGuard : kRightFirst) + (c % kHalf) * kCharacter;
        const EanCharacter character = decodeEanCharacter(widths.subspan(first, kCharacter), left);
        if (character.digit < 0) {
            return failure(Symbology::Jan, characterProblem(c));
        }
        digits += static_cast<char>('0' + character.digit);
        sets += character.set;
        if (c == 0 || character.decodability < decoded.decodability) {
            decoded.decodability = character.decodability;
            decoded.worstFirst = first;
            decoded.worstCount = kCharacter;
        }
    }
    const auto* const leading = std::ranges::find(kEanLeadingDigit, sets.substr(0, kHalf));
    if (leading == kEanLeadingDigit.end()) {
        return failure(Symbology::Jan, "the sets " + sets.substr(0, kHalf) +
                                           " of the left half give no leading digit");
    }
    decoded.text = static_cast<char>('0' + (leading - kEanLeadingDigit.begin())) + digits;
    if (gtinCheckDigit(std::string_view(decoded.text).substr(0, decoded.text.size() - 1)) !=
        decoded.text.back()) {
        return failure(Symbology::Jan, "check digit " + decoded.text.substr(12) +
                                           " does not match the other twelve");
    }
    decoded.check = "modulo 10 check digit holds";
    decoded.ok = true;
    return decoded;
}

} // namespace lorvaxen::verifier::detail
