#include "verify_advice.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "mono_image.h"

namespace lorvaxen {
namespace {

using verifier::Parameter;

// A bar gain under this share of the module is within what any press and scan hold to.
constexpr double kNegligiblePercent = 5;

// What to do when the worst scan fails on a parameter, in the order of the parameters.
constexpr std::array<const char*, verifier::kParameterCount> kRemedies{
    "a scan does not decode: look for bars that are broken, missing or run together, and print the "
    "text again from its source",
    "the bars are too light or the background too dark under the measuring light: print darker "
    "bars "
    "or on whiter stock (red bars, or bars on red, cannot be seen under red light)",
    "the bars are not dark enough against the background: print them darker",
    "some edge between a bar and a space has too little contrast: narrow spaces fill in or narrow "
    "bars fade; print sharper, or with a larger module",
    "narrow spaces and bars lose contrast against the wide ones: print sharper (ink spread or a "
    "blurred print), or with a larger module",
    "spots in the spaces or voids in the bars: clean the print head, check the ribbon or the ink, "
    "and the stock",
    "element widths stray from their nominal sizes: print at a resolution that makes the module a "
    "whole number of dots, and correct the bar gain",
    "the light margin beside the bars is too narrow: leave it clear of print, as wide as the "
    "symbology asks",
};

std::string millimetres(double mm)
{
    return formatDecimal(std::abs(mm), 3) + " mm";
}

std::string barGainAdvice(const verifier::BarGain& gain, double* reductionMm)
{
    if (std::abs(gain.modulePercent) < kNegligiblePercent) {
        return "bar widths print as intended: no --bar-reduction is needed";
    }
    if (!gain.mm) {
        return barGainText(gain) +
               ": give --dpi (or --x-dimension) to have the correction in millimetres";
    }
    const std::string amount = formatDecimal(std::abs(*gain.mm), 3);
    if (gain.px > 0) {
        *reductionMm = std::stod(amount);
        return barGainText(gain) + ": make the labels with --bar-reduction " + amount +
               " (that much more, if they were made with one)";
    }
    return barGainText(gain) + ": if the labels were made with --bar-reduction, make them with " +
           amount + " mm less; otherwise the press thins the bars (raise its darkness or ink)";
}

// Which light margin is too narrow, by how much, and how wide it should be.
std::string quietZoneAdvice(const verifier::ScanResult& scan, double pixelsPerMm)
{
    const double module = scan.decoded.moduleWidth;
    const auto side = [&](const char* name, double measured, int needed) -> std::string {
        if (measured >= needed) {
            return "";
        }
        std::string text = "the light margin " + std::string(name) + " of the bars is " +
                           formatDecimal(measured, 1) + " modules where " + std::to_string(needed) +
                           " are needed";
        if (pixelsPerMm > 0) {
            text += " (" + formatDecimal(needed * module / pixelsPerMm, 2) + " mm)";
        }
        return text;
    };
    std::string text = side("left", scan.leftQuietModules, scan.decoded.leftQuietModules);
    const std::string right = side("right", scan.rightQuietModules, scan.decoded.rightQuietModules);
    text += text.empty() || right.empty() ? right : "; " + right;
    return text + ": keep that much clear of print and of the label's edge (ink that spreads "
                  "into it counts too)";
}

} // namespace

std::string barGainText(const verifier::BarGain& gain)
{
    const std::string share = formatDecimal(std::abs(gain.modulePercent), 1) + "% of the module";
    if (std::abs(gain.modulePercent) < kNegligiblePercent) {
        char amount[64];
        std::snprintf(amount, sizeof amount, gain.mm ? "%+.3f mm" : "%+.2f pixels",
                      gain.mm ? *gain.mm : gain.px);
        return "bars print at their nominal width (a gain of " + std::string(amount) + ", " +
               formatDecimal(gain.modulePercent, 1) + "% of the module)";
    }
    const std::string way = gain.px > 0 ? "too wide" : "too narrow";
    if (!gain.mm) {
        return "bars print " + formatDecimal(std::abs(gain.px), 2) + " pixels " + way + " (" +
               share + ")";
    }
    return "bars print " + millimetres(*gain.mm) + " " + way + " (" + share + ")";
}

Advice adviseOn(const verifier::Verification& verification)
{
    Advice advice;
    advice.barGain = verifier::measureBarGain(verification);
    if (advice.barGain) {
        advice.sentences.push_back(barGainAdvice(*advice.barGain, &advice.barReductionMm));
    }
    if (!verification.scans.empty()) {
        const verifier::ScanResult& worst = verification.scans[verification.worstScan];
        if (worst.grade.grade < 3.5) {
            advice.sentences.push_back(
                worst.grade.lowest == Parameter::QuietZone && worst.decoded.ok
                    ? quietZoneAdvice(worst, verification.pixelsPerMm)
                    : kRemedies[static_cast<std::size_t>(worst.grade.lowest)]);
        }
    }
    if (!verification.inconsistency.empty()) {
        advice.sentences.emplace_back("scans read different data: the symbol is damaged or two "
                                      "symbols overlap; print it again");
    }
    return advice;
}

} // namespace lorvaxen
