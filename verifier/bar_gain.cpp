#include "bar_gain.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace lorvaxen::verifier {
namespace {

// Every bar less the whole modules it is nearest: a bar of a JAN is one to four modules wide.
double janBarGain(const ProfileAnalysis& analysis, double module)
{
    double gain = 0;
    int bars = 0;
    for (std::size_t i = analysis.firstBar; i <= analysis.lastBar; i += 2) {
        const double width = analysis.elements[i].width();
        const double modules = std::max(1.0, std::round(width / module));
        gain += width - modules * module;
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

// The average width of the bars and of the spaces, narrow and wide, of a two-width symbol.
struct Averages
{
    std::array<double, 4> sums{}; // narrow bars, narrow spaces, wide bars, wide spaces
    std::array<int, 4> counts{};
    double mean(std::size_t kind) const { return counts[kind] > 0 ? sums[kind] / counts[kind] : 0; }
    bool all() const { return std::ranges::find(counts, 0) == counts.end(); }
};

double twoWidthBarGain(const ProfileAnalysis& analysis, const Decoded& decoded, double aperture)
{
    // Narrow and wide elements are told apart midway between the average narrow and wide widths.
    const double split = decoded.moduleWidth * (1 + decoded.ratio) / 2;
    const std::size_t stride = characterStride(decoded.symbology);
    Averages averages;
    for (std::size_t i = analysis.firstBar; i <= analysis.lastBar; ++i) {
        const std::size_t k = i - analysis.firstBar;
        if (stride > 0 && k % stride == stride - 1) {
            continue;
        }
        const Element& element = analysis.elements[i];
        const std::size_t kind = (element.width() >= split ? 2 : 0) + (element.dark ? 0 : 1);
        averages.sums[kind] += element.width();
        ++averages.counts[kind];
    }
    if (!averages.all()) {
        return 0;
    }
    // An element no wider than the aperture is never seen whole: the circle spans both its edges
    // and places them too far apart. The wide bars and spaces, also nominally alike, are then
    // measured instead of the narrow ones.
    const bool narrowSeen = std::min(averages.mean(0), averages.mean(1)) > aperture;
    const std::size_t bars = narrowSeen ? 0 : 2;
    return (averages.mean(bars) - averages.mean(bars + 1)) / 2;
}

} // namespace

std::optional<double> scanBarGain(const ScanResult& scan, double aperture)
{
    const ProfileAnalysis& analysis = scan.analysis;
    if (!scan.decoded.ok || !analysis.hasBars || scan.decoded.moduleWidth <= 0 ||
        analysis.lastBar >= analysis.elements.size()) {
        return std::nullopt;
    }
    return scan.decoded.symbology == Symbology::Jan
               ? janBarGain(analysis, scan.decoded.moduleWidth)
               : twoWidthBarGain(analysis, scan.decoded, aperture);
}

std::optional<BarGain> measureBarGain(const Verification& verification)
{
    BarGain gain;
    double module = 0;
    for (const ScanResult& scan : verification.scans) {
        if (const std::optional<double> px = scanBarGain(scan, verification.aperture)) {
            gain.px += *px;
            module += scan.decoded.moduleWidth;
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
