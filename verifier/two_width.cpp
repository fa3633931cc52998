#include "two_width.h"

#include <limits>
#include <utility>

namespace lorvaxen::verifier::detail {

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

std::string characterProblem(std::size_t character)
{
    return "character " + std::to_string(character + 1) + " matches no symbol character";
}

} // namespace lorvaxen::verifier::detail
