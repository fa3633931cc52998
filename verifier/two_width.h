// Inside the verifier's reference decoders: what the decoders of Code 39, NW7 and Interleaved
// 2 of 5 share, reading characters of wide and narrow elements, and each decoder's entry.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "symbologies.h"

namespace lorvaxen::verifier::detail {

Decoded decodeJan(std::span<const double> widths);
Decoded decodeCode39(std::span<const double> widths);
Decoded decodeNw7(std::span<const double> widths);
Decoded decodeI2of5(std::span<const double> widths);

// A decode that failed, and why.
Decoded failure(Symbology symbology, std::string problem);
// Why character `character` (from 0) failed: it matches no row of the table.
std::string characterProblem(std::size_t character);

// A character of a two-width symbology: its symbol and its elements, bar first, 1 for wide.
struct TwoWidthRow
{
    char symbol;
    std::string_view wide;
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

TwoWidthCharacter classify(std::span<const double> widths);

// What the decoders of the two-width symbologies gather character by character.
struct TwoWidthTally
{
    explicit TwoWidthTally(Symbology symbology) { decoded.symbology = symbology; }

    Decoded decoded;
    double narrowSum = 0;
    int narrowCount = 0;
    double wideSum = 0;
    int wideCount = 0;
    std::size_t characters = 0;

    // The `count` elements from `first` classified, counted in the symbol's narrow and wide
    // averages and in its decodability.
    TwoWidthCharacter read(std::span<const double> widths, std::size_t first, std::size_t count)
    {
        TwoWidthCharacter character = classify(widths.subspan(first, count));
        narrowSum += character.narrowSum;
        narrowCount += character.narrowCount;
        wideSum += character.wideSum;
        wideCount += static_cast<int>(character.wide.size()) - character.narrowCount;
        if (characters++ == 0 || character.decodability < decoded.decodability) {
            decoded.decodability = character.decodability;
            decoded.worstFirst = first;
            decoded.worstCount = count;
        }
        return character;
    }

    // Reads a character of `rows`: false when it matches none; else appends its symbol.
    template <std::size_t N>
    bool add(const std::array<TwoWidthRow, N>& rows, std::span<const double> widths,
             std::size_t first, std::size_t* index = nullptr)
    {
        const TwoWidthCharacter character = read(widths, first, rows[0].wide.size());
        const auto row = findWide(rows, character.wide);
        if (!row) {
            return false;
        }
        decoded.text += rows[*row].symbol;
        if (index != nullptr) {
            *index = *row;
        }
        return true;
    }
    Decoded finish()
    {
        decoded.ok = true;
        decoded.moduleWidth = narrowSum / narrowCount;
        decoded.ratio = wideCount > 0 ? wideSum / wideCount / decoded.moduleWidth : 0;
        return std::move(decoded);
    }
};

// The characters of a discrete symbology, each its elements and then a gap, read into `tally`:
// their rows in the table; nothing, with the problem in the tally's decode, when the elements are
// no whole number of at least `fewest` characters or one matches no row.
template <std::size_t N>
std::optional<std::vector<std::size_t>>
readDiscrete(TwoWidthTally& tally, const std::array<TwoWidthRow, N>& rows,
             std::span<const double> widths, std::size_t fewest)
{
    const std::size_t stride = rows[0].wide.size() + 1;
    if ((widths.size() + 1) % stride != 0 || widths.size() + 1 < fewest * stride) {
        tally.decoded.problem =
            std::to_string(widths.size()) + " elements are no whole number of characters";
        return std::nullopt;
    }
    std::vector<std::size_t> values;
    for (std::size_t first = 0; first < widths.size(); first += stride) {
        std::size_t value = 0;
        if (!tally.add(rows, widths, first, &value)) {
            tally.decoded.problem = characterProblem(first / stride);
            return std::nullopt;
        }
        values.push_back(value);
    }
    return values;
}

} // namespace lorvaxen::verifier::detail
