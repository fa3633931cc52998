#include "symbologies.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace lorvaxen::verifier {
namespace {

// A character of a two-width symbology: its symbol and its elements, bar first, 1 for wide.
struct TwoWidthRow
{
    char symbol;
    std::string_view wide;
};

// Code 39 (ISO/IEC 16388), in the order of the check values 0 to 43.
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

// NW7 (Codabar), in the order of the values 0 to 19 that its check character sums.
constexpr std::array<TwoWidthRow, 20> kNw7{{
    {'0', "0000011"}, {'1', "0000110"}, {'2', "0001001"}, {'3', "1100000"}, {'4', "0010010"},
    {'5', "1000010"}, {'6', "0100001"}, {'7', "0100100"}, {'8', "0110000"}, {'9', "1001000"},
    {'-', "0001100"}, {'$', "0011000"}, {':', "1000101"}, {'/', "1010001"}, {'.', "1010100"},
    {'+', "0010101"}, {'a', "0011010"}, {'b', "0101001"}, {'c', "0001011"}, {'d', "0001110"},
}};
constexpr std::size_t kNw7FirstStartStop = 16;

// Interleaved 2 of 5 (ISO/IEC 16390): each digit's five bars, or five spaces, two of them wide.
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

// EAN-13 (ISO/IEC 15420): the module widths of each digit's set A character, space first. Set C
// has the same widths bar first; set B is set C read backwards.
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

template <std::size_t N>
std::optional<std::size_t> findWide(const std::array<TwoWidthRow, N>& rows, std::string_view wide)
{
    const auto row = std::ranges::find(rows, wide, &TwoWidthRow::wide);
    return row == rows.end() ? std::nullopt
                             : std::optional(static_cast<std::size_t>(row - rows.begin()));
}

// A character of a two-width symbology as measured: which elements are wide, and its decodability:
// the margin between the reference threshold (midway between the average narrow and the average
// wide element) and the measurement closest to it, over that margin in an ideal character.
struct TwoWidthCharacter
{
    std::string wide;
    double decodability = 0;
    double narrowSum = 0;
    int narrowCount = 0;
    double wideSum = 0;
};

TwoWidthCharacter classify(std::span<const double> widths)
{
    const auto [least, most] = std::ranges::minmax(widths);
    double threshold = (least + most) / 2;
    TwoWidthCharacter character;
    double wideSum = 0;
    // Twice: the first threshold, midway between the extremes, only sorts the widths roughly.
    for (int pass = 0; pass < 2; ++pass) {
        character = {};
        wideSum = 0;
        for (const double width : widths) {
            const bool wide = width > threshold;
            character.wide += wide ? '1' : '0';
            (wide ? wideSum : character.narrowSum) += width;
            character.narrowCount += wide ? 0 : 1;
        }
        const auto wideCount = static_cast<int>(widths.size()) - character.narrowCount;
        if (wideCount == 0 || character.narrowCount == 0) {
            return character; // a single width: no character of these symbologies
        }
        threshold = (character.narrowSum / character.narrowCount + wideSum / wideCount) / 2;
    }
    double widestNarrow = 0;
    double narrowestWide = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (character.wide[i] == '1') {
            narrowestWide = std::min(narrowestWide, widths[i]);
        } else {
            widestNarrow = std::max(widestNarrow, widths[i]);
        }
    }
    character.wideSum = wideSum;
    const double idealMargin = threshold - character.narrowSum / character.narrowCount;
    character.decodability =
        std::min(threshold - widestNarrow, narrowestWide - threshold) / idealMargin;
    return character;
}

Decoded failure(Symbology symbology, std::string problem)
{
    Decoded decoded;
    decoded.symbology = symbology;
    decoded.problem = std::move(problem);
    return decoded;
}

// What the decoders of the two-width symbologies gather character by character.
struct TwoWidthTally
{
    Decoded decoded;
    double narrowSum = 0;
    int narrowCount = 0;
    double wideSum = 0;
    int wideCount = 0;

    // False when the character matches no row of `rows`; else appends its symbol.
    template <std::size_t N>
    bool add(const std::array<TwoWidthRow, N>& rows, std::span<const double> widths,
             std::size_t first, std::size_t* index = nullptr)
    {
        const TwoWidthCharacter character = classify(widths.subspan(first, rows[0].wide.size()));
        const auto row = findWide(rows, character.wide);
        if (!row) {
            return false;
        }
        decoded.text += rows[*row].symbol;
        if (index != nullptr) {
            *index = *row;
        }
        count(character);
        if (decoded.text.size() == 1 || character.decodability < decoded.decodability) {
            decoded.decodability = character.decodability;
            decoded.worstFirst = first;
            decoded.worstCount = rows[0].wide.size();
        }
        return true;
    }
    void count(const TwoWidthCharacter& character)
    {
        narrowSum += character.narrowSum;
        narrowCount += character.narrowCount;
        wideSum += character.wideSum;
        wideCount += static_cast<int>(character.wide.size()) - character.narrowCount;
    }
    Decoded finish()
    {
        decoded.ok = true;
        decoded.moduleWidth = narrowSum / narrowCount;
        decoded.ratio = wideCount > 0 ? wideSum / wideCount / decoded.moduleWidth : 0;
        return std::move(decoded);
    }
};

std::string characterProblem(std::size_t character)
{
    return "character " + std::to_string(character + 1) + " matches no symbol character";
}

// The characters of a discrete symbology, each its elements and then a gap, read into `tally`:
// their rows in the table, or the problem when the elements are no whole number of at least
// `fewest` characters or one matches no row.
struct DiscreteCharacters
{
    std::vector<std::size_t> values;
    std::string problem;
};

template <std::size_t N>
DiscreteCharacters readDiscrete(TwoWidthTally& tally, const std::array<TwoWidthRow, N>& rows,
                                std::span<const double> widths, std::size_t fewest)
{
    const std::size_t stride = rows[0].wide.size() + 1;
    DiscreteCharacters read;
    if ((widths.size() + 1) % stride != 0 || widths.size() + 1 < fewest * stride) {
        read.problem =
            std::to_string(widths.size()) + " elements are no whole number of characters";
        return read;
    }
    for (std::size_t first = 0; first < widths.size(); first += stride) {
        std::size_t value = 0;
        if (!tally.add(rows, widths, first, &value)) {
            read.problem = characterProblem(first / stride);
            return read;
        }
        read.values.push_back(value);
    }
    return read;
}

Decoded decodeCode39(std::span<const double> widths)
{
    TwoWidthTally tally;
    tally.decoded.symbology = Symbology::Code39;
    // The start and stop asterisks and at least one character between them.
    const DiscreteCharacters read = readDiscrete(tally, kCode39, widths, 3);
    if (!read.problem.empty()) {
        return failure(Symbology::Code39, read.problem);
    }
    const std::vector<std::size_t>& values = read.values;
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

Decoded decodeNw7(std::span<const double> widths)
{
    TwoWidthTally tally;
    tally.decoded.symbology = Symbology::Nw7;
    // A start and a stop character at the least.
    const DiscreteCharacters read = readDiscrete(tally, kNw7, widths, 2);
    if (!read.problem.empty()) {
        return failure(Symbology::Nw7, read.problem);
    }
    const std::vector<std::size_t>& values = read.values;
    const auto isStartStop = [](std::size_t value) { return value >= kNw7FirstStartStop; };
    if (!isStartStop(values.front()) || !isStartStop(values.back()) ||
        std::any_of(values.begin() + 1, values.end() - 1, isStartStop)) {
        return failure(Symbology::Nw7, "start or stop character a to d missing or misplaced");
    }
    // Two rules for the character before the stop: this library's legacy one makes it the sum of
    // the values of all the other characters modulo 16; the usual one makes the whole sum a
    // multiple of 16. They agree when that remainder is 0 or 8.
    std::string& check = tally.decoded.check;
    check = "no check character";
    if (values.size() >= 4) {
        const std::size_t candidate = values[values.size() - 2];
        const std::size_t others =
            std::accumulate(values.begin(), values.end(), std::size_t{0}) - candidate;
        const bool legacy = others % 16 == candidate;
        const bool usual = (others + candidate) % 16 == 0;
        if (legacy && usual) {
            check = "check character holds by the legacy and the usual rule (remainder 0 or 8)";
        } else if (legacy) {
            check = "legacy NW7 check character holds (sum modulo 16)";
        } else if (usual) {
            check = "usual Codabar check character holds (complement of the sum modulo 16)";
        }
    }
    return tally.finish();
}

// A two-width measure of whole elements against the symbol's narrow width: wide or not.
bool isWide(double width, double narrow, double wide)
{
    return width > (narrow + wide) / 2;
}

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
    TwoWidthTally tally;
    tally.decoded.symbology = Symbology::I2of5;
    for (std::size_t first = kStart; first + kStop < widths.size(); first += kPair) {
        const auto pair = widths.subspan(first, kPair);
        const TwoWidthCharacter character = classify(pair);
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
        tally.count(character);
        if (first == kStart || character.decodability < tally.decoded.decodability) {
            tally.decoded.decodability = character.decodability;
            tally.decoded.worstFirst = first;
            tally.decoded.worstCount = kPair;
        }
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
    const std::string& digits = tally.decoded.text;
    int sum = 0;
    // The modulo-10 check digit weighs the digit before it by 3, then 1, 3, ... leftwards.
    for (std::size_t i = 0; i + 1 < digits.size(); ++i) {
        const int weight = (digits.size() - 2 - i) % 2 == 0 ? 3 : 1;
        sum += weight * (digits[i] - '0');
    }
    tally.decoded.check = (10 - sum % 10) % 10 == digits.back() - '0'
                              ? "modulo 10 check digit holds"
                              : "no modulo 10 check digit";
    return tally.finish();
}

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
    int sum = 0;
    for (std::size_t i = 0; i + 1 < decoded.text.size(); ++i) {
        sum += (i % 2 == 0 ? 1 : 3) * (decoded.text[i] - '0');
    }
    if ((10 - sum % 10) % 10 != decoded.text.back() - '0') {
        return failure(Symbology::Jan, "check digit " + decoded.text.substr(12) +
                                           " does not match the other twelve");
    }
    decoded.check = "modulo 10 check digit holds";
    decoded.ok = true;
    return decoded;
}

} // namespace

Decoded decodeAs(Symbology symbology, std::span<const double> widths)
{
    Decoded decoded;
    switch (symbology) {
    case Symbology::Jan:
        decoded = decodeJan(widths);
        break;
    case Symbology::Code39:
        decoded = decodeCode39(widths);
        break;
    case Symbology::I2of5:
        decoded = decodeI2of5(widths);
        break;
    case Symbology::Nw7:
        decoded = decodeNw7(widths);
        break;
    }
    decoded.leftQuietModules = factsOf(symbology).leftQuietModules;
    decoded.rightQuietModules = factsOf(symbology).rightQuietModules;
    return decoded;
}

std::string symbologyRulesProblem(const Decoded& decoded, double moduleMm)
{
    const SymbologyFacts& facts = factsOf(decoded.symbology);
    std::string problem;
    if (facts.maxRatio > 0 && (decoded.ratio < facts.minRatio || decoded.ratio > facts.maxRatio)) {
        problem = "wide-to-narrow ratio " + std::to_string(decoded.ratio).substr(0, 4) +
                  " outside " + std::to_string(facts.minRatio).substr(0, 3) + " to " +
                  std::to_string(facts.maxRatio).substr(0, 3);
    }
    if (decoded.symbology == Symbology::Code39) {
        constexpr double kSmallModuleMm = 0.254;
        const double most = moduleMm >= kSmallModuleMm ? std::max(3.0, 1.35 / moduleMm) : 5.3;
        if (decoded.largestGapModules > most) {
            problem += (problem.empty() ? "" : "; ") + std::string("a gap between characters of ") +
                       std::to_string(decoded.largestGapModules).substr(0, 4) +
                       " modules, over the " + std::to_string(most).substr(0, 4) + " allowed";
        }
    }
    return problem;
}

} // namespace lorvaxen::verifier
