// One scan reflectance profile graded: the symbol found on it by its start and stop, the profile
// cut to the symbol and its quiet zones, and every parameter measured within that.
#include "verify.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

namespace lorvaxen::verifier {
namespace {

constexpr std::array<Symbology, 4> kRecognitionOrder{Symbology::Jan, Symbology::Code39,
                                                     Symbology::Nw7, Symbology::I2of5};

// Decodes as `symbology` from left to right, and failing that from right to left, as a scanner
// reads a symbol either way round.
std::pair<Decoded, bool> decodeEitherWay(Symbology symbology, std::span<const double> widths)
{
    Decoded forward = decodeAs(symbology, widths);
    if (forward.ok) {
        return {std::move(forward), false};
    }
    const std::vector<double> backwards(widths.rbegin(), widths.rend());
    Decoded backward = decodeAs(symbology, backwards);
    if (backward.ok) {
        // Name the worst character by its elements as they lie on the profile.
        backward.worstFirst = widths.size() - backward.worstFirst - backward.worstCount;
        std::swap(backward.leftQuietModules, backward.rightQuietModules);
        return {std::move(backward), true};
    }
    return {std::move(forward), false};
}

std::pair<Decoded, bool> decodeWidths(std::optional<Symbology> symbology,
                                      std::span<const double> widths)
{
    if (symbology) {
        return decodeEitherWay(*symbology, widths);
    }
    for (const Symbology candidate : kRecognitionOrder) {
        auto decoded = decodeEitherWay(candidate, widths);
        if (decoded.first.ok) {
            return decoded;
        }
    }
    Decoded none;
    none.problem = "no symbology decodes these " + std::to_string(widths.size()) + " elements";
    return {none, false};
}

// A symbol found among a profile's elements: its first and last bar and its decode.
struct Located
{
    std::size_t firstBar = 0;
    std::size_t lastBar = 0;
    std::pair<Decoded, bool> decoded;
};

// The widths of elements first to last.
std::vector<double> widthsOf(const ProfileAnalysis& analysis, std::size_t first, std::size_t last)
{
    std::vector<double> widths;
    for (std::size_t i = first; i <= last; ++i) {
        widths.push_back(analysis.elements[i].width());
    }
    return widths;
}

// Every symbol of these symbologies starts and ends with a bar of at most three narrow elements,
// beside a quiet zone of at least seven: the bars with a space at least three times their width
// beyond them (or the profile's end) are where a symbol may start or stop. The longest stretch
// that decodes is the symbol; marks and other symbols beyond its quiet zones are left out.
constexpr double kQuietToBar = 3;
// Bounds the stretches and decodes a row full of marks can ask for.
constexpr std::size_t kMostSpans = 65536;
constexpr std::size_t kMostCandidates = 4096;

std::optional<Located> locateSymbol(const ProfileAnalysis& analysis,
                                    std::optional<Symbology> symbology)
{
    const auto& elements = analysis.elements;
    std::vector<std::size_t> starts;
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!elements[i].dark) {
            continue;
        }
        const double bar = elements[i].width();
        if (i == 0 || elements[i - 1].width() >= kQuietToBar * bar) {
            starts.push_back(i);
        }
        if (i + 1 == elements.size() || elements[i + 1].width() >= kQuietToBar * bar) {
            stops.push_back(i);
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (const std::size_t start : starts) {
        for (const std::size_t stop : stops) {
            // A symbol has at least 15 elements (NW7's start and stop) and an odd count.
            if (stop >= start + 14 && (stop - start) % 2 == 0 && spans.size() < kMostSpans) {
                spans.emplace_back(start, stop);
            }
        }
    }
    std::ranges::stable_sort(spans, [](const auto& a, const auto& b) {
        return a.second - a.first > b.second - b.first;
    });
    spans.resize(std::min(spans.size(), kMostCandidates));
    for (const auto& [start, stop] : spans) {
        auto decoded = decodeWidths(symbology, widthsOf(analysis, start, stop));
        if (decoded.first.ok) {
            return Located{start, stop, std::move(decoded)};
        }
    }
    return std::nullopt;
}

// The bar of `analysis` whose start (or end) lies nearest `at`.
std::size_t nearestBar(const ProfileAnalysis& analysis, double at, bool start)
{
    std::size_t best = 0;
    double nearest = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < analysis.elements.size(); ++i) {
        const Element& element = analysis.elements[i];
        const double distance = std::abs((start ? element.start : element.end) - at);
        if (element.dark && distance < nearest) {
            nearest = distance;
            best = i;
        }
    }
    return best;
}

} // namespace

ScanResult gradeProfile(const std::vector<double>& profile, std::optional<Symbology> symbology,
                        Edition edition, double pixelsPerMm)
{
    ScanResult scan;
    const ProfileAnalysis whole = analyseProfile(profile);
    std::optional<Located> located = locateSymbol(whole, symbology);
    if (located) {
        // The symbol and the quiet zones its symbology asks for, and nothing beyond them.
        const Decoded& decoded = located->decoded.first;
        const double module = decoded.moduleWidth;
        // A sample more on each side, as the edges move a little when measured again on the cut
        // profile.
        const double from =
            whole.elements[located->firstBar].start - decoded.leftQuietModules * module - 1;
        const double to =
            whole.elements[located->lastBar].end + decoded.rightQuietModules * module + 1;
        scan.profileFrom = static_cast<std::size_t>(std::max(0.0, std::floor(from)));
        const auto end =
            static_cast<std::size_t>(std::min(static_cast<double>(profile.size()), std::ceil(to)));
        scan.profile.assign(profile.begin() + static_cast<std::ptrdiff_t>(scan.profileFrom),
                            profile.begin() + static_cast<std::ptrdiff_t>(end));
        scan.analysis = analyseProfile(scan.profile);
        // The same bars on the cut profile, found where they were: a mark within the quiet zones
        // then fails the quiet zones, not the decode.
        const auto offset = static_cast<double>(scan.profileFrom);
        const std::size_t first =
            nearestBar(scan.analysis, whole.elements[located->firstBar].start - offset, true);
        const std::size_t last =
            nearestBar(scan.analysis, whole.elements[located->lastBar].end - offset, false);
        const Symbology found = decoded.symbology;
        auto again = decodeWidths(found, widthsOf(scan.analysis, first, last));
        located = again.first.ok ? std::optional(Located{first, last, std::move(again)})
                                 : locateSymbol(scan.analysis, found);
    } else {
        scan.profile = profile;
        scan.analysis = whole;
    }
    ProfileAnalysis& analysis = scan.analysis;
    const auto& elements = analysis.elements;
    std::size_t firstBar = analysis.firstBar;
    std::size_t lastBar = analysis.lastBar;
    if (located) {
        std::tie(scan.decoded, scan.reversed) = std::move(located->decoded);
        firstBar = located->firstBar;
        lastBar = located->lastBar;
    } else {
        std::tie(scan.decoded, scan.reversed) =
            decodeWidths(symbology, analysis.hasBars ? widthsOf(analysis, firstBar, lastBar)
                                                     : std::vector<double>{});
    }
    analysis.firstBar = firstBar;
    analysis.lastBar = lastBar;
    const Decoded& decoded = scan.decoded;

    // Quiet zones in modules; before a decode the narrowest element stands for the module.
    const double module = decoded.ok ? decoded.moduleWidth
                          : !analysis.hasBars
                              ? 1
                              : std::ranges::min(widthsOf(analysis, firstBar, lastBar));
    if (analysis.hasBars) {
        scan.leftQuietModules = firstBar == 0 ? 0.0 : elements[firstBar - 1].width() / module;
        scan.rightQuietModules =
            lastBar + 1 == elements.size() ? 0.0 : elements[lastBar + 1].width() / module;
    }
    if (decoded.ok) {
        const double moduleMm = pixelsPerMm > 0 ? decoded.moduleWidth / pixelsPerMm : 0;
        scan.symbologyProblem = symbologyRulesProblem(decoded, moduleMm);
    }
    ScanMeasurements measured;
    measured.decoded = decoded.ok && scan.symbologyProblem.empty();
    measured.rMin = analysis.rMin;
    measured.rMax = analysis.rMax;
    measured.edgeContrastMin = analysis.edgeContrastMin;
    measured.nonUniformityMax = analysis.nonUniformityMax;
    measured.decodability = decoded.decodability;
    measured.leftQuiet = scan.leftQuietModules;
    measured.rightQuiet = scan.rightQuietModules;
    measured.leftQuietNeeded = decoded.leftQuietModules;
    measured.rightQuietNeeded = decoded.rightQuietModules;
    scan.parameters = gradeParameters(measured, edition);
    scan.grade = scanGrade(scan.parameters);
    return scan;
}

} // namespace lorvaxen::verifier
