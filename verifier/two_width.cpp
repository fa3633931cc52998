#include "two_width.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace lorvaxen::verifier::detail {

void markWidest(std::span<const double> widths, std::size_t count, std::size_t first,
                std::size_t step, std::string& wide)
{
    std::vector<std::size_t> places;
    for (std::size_t i = first; i < widths.size(); i += step) {
        places.push_back(i);
    }
    count = std::min(count, places.size());
    // Of equal widths the first is taken: the reading then has no margin, and decodes at grade 0.
    std::ranges::stable_sort(places,
                             [&](std::size_t a, std::size_t b) { return widths[a] > widths[b]; });
    for (std::size_t k = 0; k < count; ++k) {
        wide[places[k]] = '1';
    }
}

TwoWidthCharacter measure(std::span<const double> widths, std::string wide)
{
    TwoWidthCharacter character;
    double widestNarrow = 0;
    double narrowestWide = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (wide[i] == '1') {
            character.wideSum += widths[i];
            narrowestWide = std::min(narrowestWide, widths[i]);
        } else {
            character.narrowSum += widths[i];
            ++character.narrowCount;
            widestNarrow = std::max(widestNarrow, widths[i]);
        }
    }
    character.wide = std::move(wide);
    const auto wideCount = static_cast<int>(widths.size()) - character.narrowCount;
    if (wideCount == 0 || character.narrowCount == 0) {
        return character; // a single width: no character of these symbologies
    }
    const double narrow = character.narrowSum / character.narrowCount;
    const double threshold = (narrow + character.wideSum / wideCount) / 2;
    const double margin = std::min(threshold - widestNarrow, narrowestWide - threshold);
    character.decodability = threshold > narrow ? std::max(0.0, margin / (threshold - narrow)) : 0;
    return character;
}

} // namespace lorvaxen::verifier::detail
