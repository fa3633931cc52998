#include "wide_elements.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include <lorvaxen_pixels.h>

#include "mono_image.h"

namespace lorvaxen {
namespace {

// The whole-pixel wide widths [first, last] that the ratios from `minRatio` to `maxRatio` allow at
// a module of `narrowPx`; none when first > last. A hair of slack keeps 2.2 times 5 pixels, which
// doubles make 11.000000000000002, at 11.
std::pair<int64_t, int64_t> allowedWidePx(double minRatio, double maxRatio, int32_t narrowPx)
{
    constexpr double kSlack = 1e-9;
    return {static_cast<int64_t>(std::ceil(minRatio * narrowPx - kSlack)),
            static_cast<int64_t>(std::floor(maxRatio * narrowPx + kSlack))};
}

// The rule behind the least ratio, when it is not the symbology's plain one.
std::string ratioRuleNote(const SymbologyFacts& symbology, double moduleMm,
                          std::size_t framedLength)
{
    const double plain = minRatioAt(symbology, moduleMm);
    if (minRatioAt(symbology, moduleMm, framedLength) > plain) {
        return " for ITF-14";
    }
    return plain > symbology.minRatio
               ? " for a module under 0.5 mm (" + formatDecimal(moduleMm, 4) + " mm)"
               : "";
}

} // namespace

RatioChoice chooseRatio(const SymbologyFacts& symbology, double ratio, int32_t narrow,
                        double moduleMm, std::size_t framedLength, bool exact)
{
    RatioChoice choice;
    choice.requested = ratio;
    choice.libraryRatio = ratio;
    const double minRatio = minRatioAt(symbology, moduleMm, framedLength);
    // A symbology of module multiples, or what the library refuses, goes as it is.
    if (minRatio <= 0 || narrow <= 0 || !(ratio >= 1) || !std::isfinite(ratio)) {
        return choice;
    }
    // The library truncates a wide element to whole pixels; an exact drawing takes the nearest. A
    // width past 32-bit pixel counts is past every width allowed.
    const std::optional<int32_t> truncated =
        exact ? truncatePixels(std::round(ratio * narrow)) : elementWidthPx('1', narrow, ratio);
    const int64_t drawn = truncated ? *truncated : std::numeric_limits<int64_t>::max();
    choice.narrowPx = narrow;
    const auto [lowest, highest] = allowedWidePx(minRatio, symbology.maxRatio, narrow);
    const std::string range = formatDecimal(minRatio, 2) + " to " +
                              formatDecimal(symbology.maxRatio, 2) + " that " +
                              std::string(symbology.title) + "'s standard allows" +
                              ratioRuleNote(symbology, moduleMm, framedLength);
    if (lowest > highest) {
        choice.problem = "no wide element of whole dots of the " + formatDecimal(moduleMm, 4) +
                         " mm module is within the " + range;
        return choice;
    }
    const auto wide = static_cast<int32_t>(std::clamp<int64_t>(drawn, lowest, highest));
    choice.widePx = wide;
    if (exact || wide != drawn) {
        // Half a pixel over the wanted width: the library's truncation lands on it.
        choice.libraryRatio = (wide + 0.5) / narrow;
    }
    const bool asked = ratio >= minRatio - 1e-9 && ratio <= symbology.maxRatio + 1e-9;
    if (asked && wide == drawn) {
        return choice;
    }
    const std::string unit = exact ? " pixels" : " dots";
    std::string warning = "the wide-to-narrow ratio of " + formatDecimal(ratio, 3);
    warning += asked ? " comes to " + formatDecimal(static_cast<double>(drawn) / narrow, 3) +
                           " in whole" + unit + " (" + std::to_string(drawn) + " to the module's " +
                           std::to_string(narrow) + "), outside the "
                     : " is outside the ";
    warning += range + ": the wide elements are drawn ";
    warning += exact ? "at a ratio of " + formatDecimal(choice.drawn(), 3)
                     : std::to_string(wide) + unit + " wide, a ratio of " +
                           formatDecimal(choice.drawn(), 3);
    choice.warning = std::move(warning);
    return choice;
}

int32_t exactModuleDots(const SymbologyFacts& symbology, int32_t leastDots, double narrowMm,
                        double ratio, std::size_t framedLength, DrawingSize size)
{
    // The drawing's pixels grow with the square of the pixels per module. A character with its
    // gap is at most 16 modules, the light margins about two characters.
    const double modules = 16.0 * static_cast<double>(size.characters + 2);
    const auto pixelsAt = [&](int32_t dots) {
        return modules * dots * (size.heightMm / narrowMm) * dots;
    };
    // A drawing past what one bitmap holds takes fewer pixels per module, down to one: its module
    // is as exact, only its wide elements have fewer whole widths to choose from.
    constexpr double kMostBitmapPixels = 2147483648.0; // 2^31, the bitmaps the library makes
    while (leastDots > 1 && pixelsAt(leastDots) > kMostBitmapPixels) {
        --leastDots;
    }
    const double minRatio = minRatioAt(symbology, narrowMm, framedLength);
    if (minRatio <= 0 || !(ratio >= 1)) {
        return leastDots;
    }
    // A ten-thousandth of a millimetre per wide element; and a bound on the pixels per module,
    // which keeps the drawing's size in hand, for a ratio of many decimals.
    constexpr double kToleranceMm = 1e-4;
    constexpr int32_t kMostDots = 256;
    // Past the plainest grid's pixels, only up to a budget, so that a long text or tall bars keep
    // that grid's size rather than run out of memory.
    constexpr double kPixelBudget = 1 << 28;
    const double budget = std::max(pixelsAt(leastDots), kPixelBudget);
    int32_t most = leastDots;
    while (most < kMostDots && pixelsAt(most + 1) <= budget) {
        ++most;
    }
    const double wanted = std::clamp(ratio, minRatio, symbology.maxRatio);
    int32_t best = leastDots;
    double bestErrorMm = std::numeric_limits<double>::infinity();
    for (int32_t dots = leastDots; dots <= most; ++dots) {
        const auto [lowest, highest] = allowedWidePx(minRatio, symbology.maxRatio, dots);
        const double wide = std::clamp(std::round(wanted * dots), static_cast<double>(lowest),
                                       static_cast<double>(highest));
        const double errorMm = std::abs(wide - wanted * dots) * narrowMm / dots;
        if (errorMm <= kToleranceMm) {
            return dots;
        }
        if (errorMm < bestErrorMm) {
            best = dots;
            bestErrorMm = errorMm;
        }
    }
    return best;
}

} // namespace lorvaxen
