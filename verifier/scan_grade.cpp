// One scan reflectance profile graded: the symbol found on it by its start and stop, the profile
// cut to the symbol and its quiet zones, and every parameter measured within that.
#include "verify.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen::verifier {
namespace {

// Decodes as `symbology` from left to right, and failing that from right to left, as a scanner
// reads a symbol either way round.
std::pair<Decoded, bool> decodeEitherWay(Symbology symbology, std::span<const double> widths,
                                         bool upcA)
{
    Decoded forward = decodeAs(symbology, widths, upcA);
    if (forward.ok) {
        return {std::move(forward), false};
    }
    const std::vector<double> backwards(widths.rbegin(), widths.rend());
    Decoded backward = decodeAs(symbology, backwards, upcA);
    if (backward.ok) {
        // Name the worst character by its elements as they lie on the profile.
        backward.worstFirst = widths.size() - backward.worstFirst - backward.worstCount;
        std::swap(backward.leftQuietModules, backward.rightQuietModules);
        return {std::move(backward), true};
    }
    return {std::move(forward), false};
}

std::pair<Decoded, bool> decodeWidths(std::optional<Symbology> symbology,
                                      std::span<const double> widths, bool upcA)
{
    if (symbology) {
        return decodeEitherWay(*symbology, widths, upcA);
    }
    for (const Symbology candidate : recognitionOrder()) {
        auto decoded = decodeEitherWay(candidate, widths, false);
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
                                    std::optional<Symbology> symbology, bool upcA)
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
        auto decoded = decodeWidths(symbology, widthsOf(analysis, start, stop), upcA);
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

// A stretch of a profile cut around a symbol found on it, analysed, and the symbol found again.
struct Cut
{
    std::size_t from = 0; // in samples of the whole profile
    std::vector<double> profile;
    ProfileAnalysis analysis;
    std::optional<Located> located;
};

// Samples [from, to) of `profile`, on which the bars that lay from `firstStart` to `lastEnd` (in
// samples of the whole profile) are found where they were and decoded again as `found`; failing
// that, the symbol is located afresh.
Cut cutProfile(const std::vector<double>& profile, double from, double to, double firstStart,
               double lastEnd, Symbology found, bool upcA)
{
    Cut cut;
    const auto size = static_cast<double>(profile.size());
    cut.from = static_cast<std::size_t>(std::clamp(std::floor(from), 0.0, size));
    const auto end =
        static_cast<std::size_t>(std::clamp(std::ceil(to), static_cast<double>(cut.from), size));
    cut.profile.assign(profile.begin() + static_cast<std::ptrdiff_t>(cut.from),
                       profile.begin() + static_cast<std::ptrdiff_t>(end));
    cut.analysis = analyseProfile(cut.profile);
    if (cut.analysis.elements.empty()) {
        return cut;
    }
    // A mark within the quiet zones then fails the quiet zones, not the decode.
    const auto offset = static_cast<double>(cut.from);
    const std::size_t first = nearestBar(cut.analysis, firstStart - offset, true);
    const std::size_t last = nearestBar(cut.analysis, lastEnd - offset, false);
    auto again = decodeWidths(found, widthsOf(cut.analysis, first, last), upcA);
    cut.located = again.first.ok ? std::optional(Located{first, last, std::move(again)})
                                 : locateSymbol(cut.analysis, found, upcA);
    return cut;
}

} // namespace

ScanResult gradeProfile(const std::vector<double>& profile, std::optional<Symbology> symbology,
                        Edition edition, double pixelsPerMm, bool upcA)
{
    ScanResult scan;
    const ProfileAnalysis whole = analyseProfile(profile);
    std::optional<Located> located = locateSymbol(whole, symbology, upcA);
    // The light margins, in samples, where something dark bounds them close to the symbol.
    std::optional<double> leftMargin;
    std::optional<double> rightMargin;
    if (located) {
        const Decoded& decoded = located->decoded.first;
        const double module = decoded.moduleWidth;
        const double firstStart = whole.elements[located->firstBar].start;
        const double lastEnd = whole.elements[located->lastBar].end;
        const double left = decoded.leftQuietModules * module;
        const double right = decoded.rightQuietModules * module;
        // The margins are measured on a cut a module and two samples wider than the quiet zones,
        // so that whatever dark lies just beyond them (the frame of bearer bars) has its edge
        // placed as sharply as the bars' are.
        const Cut wide =
            cutProfile(profile, firstStart - left - module - 2, lastEnd + right + module + 2,
                       firstStart, lastEnd, decoded.symbology, upcA);
        // The symbol is graded on the quiet zones its symbology asks for and nothing beyond them
        // (a sample more on each side, as the edges move a little when measured again on the
        // cut), and never on what lies beyond a margin: a frame is no element of the symbol.
        double from = firstStart - left - 1;
        double to = lastEnd + right + 1;
        if (wide.located) {
            const auto& elements = wide.analysis.elements;
            const auto offset = static_cast<double>(wide.from);
            const std::size_t first = wide.located->firstBar;
            const std::size_t last = wide.located->lastBar;
            if (first >= 2) {
                leftMargin = elements[first - 1].width();
                from = std::max(from, std::ceil(offset + elements[first - 1].start));
            }
            if (last + 2 < elements.size()) {
                rightMargin = elements[last + 1].width();
                to = std::min(to, std::floor(offset + elements[last + 1].end));
            }
        }
        Cut cut = cutProfile(profile, from, to, firstStart, lastEnd, decoded.symbology, upcA);
        scan.profileFrom = cut.from;
        scan.profile = std::move(cut.profile);
        scan.analysis = std::move(cut.analysis);
        if (!cut.located) {
            leftMargin.reset();
            rightMargin.reset();
        }
        located = std::move(cut.located);
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
        std::tie(scan.decoded, scan.reversed) = decodeWidths(
            symbology,
            analysis.hasBars ? widthsOf(analysis, firstBar, lastBar) : std::vector<double>{}, upcA);
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
    scan.leftQuietModules = leftMargin ? *leftMargin / module : scan.leftQuietModules;
    scan.rightQuietModules = rightMargin ? *rightMargin / module : scan.rightQuietModules;
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
