// Inside the verifier's reference decoders: what the decoders of Code 39, NW7 and Interleaved
// 2 of 5 share, reading characters of wide and narrow elements.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decoders.h"
#include "symbologies.h"

namespace lorvaxen::verifier::detail {

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

// Marks as wide ('1' in `wide`) the `count` widest of the elements from `first` in steps of
// `step`. Every character of these symbologies has a known number of wide elements, so a wide
// element is found by its rank, however close a narrow one comes to it.
void markWidest(std::span<const double> widths, std::size_t count, std::size_t first,
                std::size_t step, std::string& wide);
// The character as read `wide`: its averages and its decodability (0 when a wide element is no
// wider than the threshold, or a narrow one no narrower).
TwoWidthCharacter measure(std::span<const double> widths, std::string wide);

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

    // A character read from the `count` elements from `first`, counted in the symbol's narrow and
    // wide averages and in its decodability.
    void count(const TwoWidthCharacter& character, std::size_t first, std::size_t count)
    {
        narrowSum += character.narrowSum;
        narrowCount += character.narrowCount;
        wideSum += character.wideSum;
        wideCount += static_cast<int>(character.wide.size()) - character.narrowCount;
        if (characters++ == 0 || character.decodability < decoded.decodability) {
            decoded.decodability = character.decodability;
            decoded.worstFirst = first;
            decoded.worstCount = count;
        }
    }

    // Reads a character of `rows`: false when it matches none; else appends its symbol. Each
    // number of wide elements that a row of the table has is tried, and of the readings that
    // match a row the one with the best decodability is taken (NW7 has characters of two and of
    // three wide elements).
    template <std::size_t N>
    bool add(const std::array<TwoWidthRow, N>& rows, std::span<const double> widths,
             std::size_t first, std::size_t* index = nullptr)
    {
        const std::size_t size = rows[0].wide.size();
        const auto elements = widths.subspan(first, size);
        std::optional<TwoWidthCharacter> best;
        std::size_t bestRow = 0;
        constexpr std::size_t kMostElements = 16; // a character has at most ten
        std::array<bool, kMostElements> tried{};
        for (const TwoWidthRow& candidate : rows) {
            const auto wideCount =
                static_cast<std::size_t>(std::ranges::count(candidate.wide, '1'));
            if (wideCount >= tried.size() || tried[wideCount]) {
                continue;
            }
            tried[wideCount] = true;
            std::string wide(size, '0');
            markWidest(elements, wideCount, 0, 1, wide);
            const auto row = findWide(rows, wide);
            if (!row) {
                continue;
            }
            TwoWidthCharacter character = measure(elements, std::move(wide));
            if (!best || character.decodability > best->decodability) {
                best = std::move(character);
                bestRow = *row;
            }
        }
        if (!best) {
            return false;
        }
        count(*best, first, size);
        decoded.text += rows[bestRow].symbol;
        if (index != nullptr) {
            *index = bestRow;
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
