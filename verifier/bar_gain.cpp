#include "bar_gain.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace lorvaxen::verifier {
namespace {

// The symbol's element widths between the crossings of the global threshold nearest the edges
// the grading placed. An edge placed midway between its neighbours' extremes moves into an element
// narrower than the aperture, whose extreme the circle never reaches; the global threshold is
// crossed where the circle covers as much bar as space, which stays at the edge as long as the
// elements either side are at least half the aperture wide, as they are under the usual bar gain.
std::vector<double> thresholdWidths(const ScanResult& scan)
{
    const ProfileAnalysis& analysis = scan.analysis;
    const std::vector<double>& profile = scan.profile;
    const double threshold = analysis.threshold;
    std::vector<double> crossings;
    for (std::size_t i = analysis.firstBar; i <= analysis.lastBar + 1; ++i) {
        const double edge = analysis.elements[i].start;
        const auto from = static_cast<std::size_t>(std::max(0.0, std::floor(edge) - 3));
        const auto to = static_cast<std::size_t>(edge) + 4;
        crossings.push_back(nearestCrossing(profile, threshold, from, to, edge));
    }
    std::vector<double> widths;
    for (std::size_t k = 1; k < crossings.size(); ++k) {
        widths.push_back(crossings[k] - crossings[k - 1]);
    }
    return widths; // widths[0] is the first bar's
}

// Every bar less the whole modules it is nearest: a bar of a JAN is one to four modules wide.
double janBarGain(const std::vector<double>& widths, double module)
{
    double gain = 0;
    int bars = 0;
    for (std::size_t i = 0; i < widths.size(); i += 2) {
        const double modules = std::max(1.0, std::round(widths[i] / module));
        gain += widths[i] - modules * module;
        ++bars;
    }
    return bars > 0 ? gain / bars : 0;
}

// The elements of a character, gap included, of the discrete symbologies: the gap between
// characters is not a narrow space of the symbol and may print wider.
std::size_t characterStride(Symbology symbology)
{
    switch (symbology) {
    case Symbology::Code39:
        return 10;
    case Symbology::Nw7:
        return 8;
    default:
        return 0;
    }
}

// The gain, and the module as the mean of the narrow bar and the narrow space, which the gain
// leaves where it was.
ModuleGain twoWidthBarGain(const std::vector<double>& widths, const Decoded& decoded)
{
    // Narrow and wide elements are told apart midway between the average narrow and wide widths.
    const double split = decoded.moduleWidth * (1 + decoded.ratio) / 2;
    const std::size_t stride = characterStride(decoded.symbology);
    std::array<double, 2> sums{}; // narrow bars, narrow spaces
    std::array<int, 2> counts{};
    for (std::size_t k = 0; k < widths.size(); ++k) {
        if (widths[k] >= split || (stride > 0 && k % stride == stride - 1)) {
            continue;
        }
        sums[k % 2] += widths[k];
        ++counts[k % 2];
    }
    if (counts[0] == 0 || counts[1] == 0) {
        return {0, decoded.moduleWidth};
    }
    const double bar = sums[0] / counts[0];
    const double space = sums[1] / counts[1];
    return {(bar - space) / 2, (bar + space) / 2};
}

} // namespace

std::optional<ModuleGain> scanBarGain(const ScanResult& scan)
{
    const ProfileAnalysis& analysis = scan.analysis;
    if (!scan.decoded.ok || !analysis.hasBars || scan.decoded.moduleWidth <= 0 ||
        analysis.lastBar + 1 >= analysis.elements.size()) {
        return std::nullopt;
    }
    const std::vector<double> widths = thresholdWidths(scan);
    const double module = scan.decoded.moduleWidth;
    return scan.decoded.symbology == Symbology::Jan ? ModuleGain{janBarGain(widths, module), module}
                                                    : twoWidthBarGain(widths, scan.decoded);
}

std::optional<BarGain> measureBarGain(const Verification& verification)
{
    BarGain gain;
    double module = 0;
    for (const ScanResult& scan : verification.scans) {
        if (const std::optional<ModuleGain> measured = scanBarGain(scan)) {
            gain.px += measured->px;
            module += measured->module;
            ++gain.scans;
        }
    }
    if (gain.scans == 0) {
        return std::nullopt;
    }
    gain.px /= gain.scans;
    module /= gain.scans;
    gain.modulePercent = gain.px / module * 100;
    if (verification.pixelsPerMm > 0) {
        gain.mm = gain.px / verification.pixelsPerMm;
    }
    return gain;
}

} // namespace lorvaxen::verifier
