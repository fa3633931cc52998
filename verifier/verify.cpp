#include "verify.h"

#include <algorithm>
#include <array>
#include <cmath>
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

// Rows whose raw pixels cross the midway reflectance at least this often hold bars: fewer than
// the shortest symbol of any of the four symbologies has (NW7's two characters, 15 elements).
constexpr int kMinCrossings = 12;

int crossings(const ReflectanceImage& image, int32_t y, uint32_t threshold)
{
    int count = 0;
    bool dark = image.level(0, y) < threshold;
    for (int32_t x = 1; x < image.width(); ++x) {
        const bool next = image.level(x, y) < threshold;
        count += next != dark ? 1 : 0;
        dark = next;
    }
    return count;
}

// Grades the scans of `profiles`, the symbol by their mean. Scans that decode to different data
// fail the symbol: a reader may return either.
void gradeScans(std::vector<std::vector<double>>& profiles,
                const std::array<int32_t, kScanLines>& rows, Verification* result)
{
    double sum = 0;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        ScanResult scan = gradeProfile(profiles[i], result->symbology);
        scan.row = rows[i];
        if (scan.decoded.ok && result->text.empty()) {
            result->text = scan.decoded.text;
            result->check = scan.decoded.check;
        } else if (scan.decoded.ok && scan.decoded.text != result->text &&
                   result->inconsistency.empty()) {
            result->inconsistency = "scans decode to different data: \"" + result->text +
                                    "\" and \"" + scan.decoded.text + "\"";
        }
        sum += scan.grade.grade;
        if (i == 0 || scan.grade.grade < result->scans[result->worstScan].grade.grade) {
            result->worstScan = i;
        }
        result->scans.push_back(std::move(scan));
    }
    result->grade = result->inconsistency.empty() ? sum / kScanLines : 0;
}

} // namespace

ScanResult gradeProfile(const std::vector<double>& profile, std::optional<Symbology> symbology)
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
        located = locateSymbol(scan.analysis, located->decoded.first.symbology);
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
    const double quietShare = std::min(scan.leftQuietModules / decoded.leftQuietModules,
                                       scan.rightQuietModules / decoded.rightQuietModules);

    const double contrast = analysis.symbolContrast();
    const double modulation = contrast > 0 ? analysis.edgeContrastMin / contrast : 0;
    const double defects = contrast > 0 ? analysis.nonUniformityMax / contrast : 1;
    auto& p = scan.parameters;
    const auto set = [&p](Parameter parameter, double value, int grade) {
        p[static_cast<std::size_t>(parameter)] = {value, grade};
    };
    set(Parameter::Decode, decoded.ok ? 1 : 0, gradePassFail(decoded.ok));
    set(Parameter::SymbolContrast, contrast, gradeSymbolContrast(contrast));
    set(Parameter::MinReflectance, analysis.rMin,
        gradeMinReflectance(analysis.rMin, analysis.rMax));
    set(Parameter::MinEdgeContrast, analysis.edgeContrastMin,
        gradeMinEdgeContrast(analysis.edgeContrastMin));
    set(Parameter::Modulation, modulation, gradeModulation(modulation));
    set(Parameter::Defects, defects, gradeDefects(defects));
    set(Parameter::Decodability, decoded.decodability,
        decoded.ok ? gradeDecodability(decoded.decodability) : 0);
    set(Parameter::QuietZone, quietShare, gradePassFail(quietShare >= 1));
    scan.grade = scanGrade(p);
    return scan;
}

namespace {

// The rows that hold the bars: the tallest band of rows that cross the image's midway level often.
struct Band
{
    int32_t top = 0;
    int32_t height = 0;
};

std::optional<Band> findBand(const ReflectanceImage& image)
{
    uint32_t least = ReflectanceImage::kFullLevel;
    uint32_t most = 0;
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            least = std::min(least, image.level(x, y));
            most = std::max(most, image.level(x, y));
        }
    }
    const uint32_t threshold = (least + most + 1) / 2;

    // Human-readable text under the bars, and guard bars reaching down between its digits, cross
    // far less often than the symbol's own rows: a row holds bars when it crosses at least half as
    // often as the median of the rows that cross at all often.
    std::vector<int> counts(static_cast<std::size_t>(image.height()));
    std::vector<int> often;
    for (int32_t y = 0; y < image.height(); ++y) {
        counts[static_cast<std::size_t>(y)] = crossings(image, y, threshold);
        if (counts[static_cast<std::size_t>(y)] >= kMinCrossings) {
            often.push_back(counts[static_cast<std::size_t>(y)]);
        }
    }
    int fewest = kMinCrossings;
    if (!often.empty()) {
        const auto middle = often.begin() + static_cast<std::ptrdiff_t>(often.size() / 2);
        std::nth_element(often.begin(), middle, often.end());
        fewest = std::max(kMinCrossings, *middle / 2);
    }
    int32_t bandStart = -1;
    Band best;
    for (int32_t y = 0; y <= image.height(); ++y) {
        const bool bars = y < image.height() && counts[static_cast<std::size_t>(y)] >= fewest;
        if (bars && bandStart < 0) {
            bandStart = y;
        } else if (!bars && bandStart >= 0) {
            if (y - bandStart > best.height) {
                best = {bandStart, y - bandStart};
            }
            bandStart = -1;
        }
    }
    return best.height > 0 ? std::optional(best) : std::nullopt;
}

// Ten scan lines evenly spaced across the middle 80% of the band.
std::array<int32_t, kScanLines> scanRows(const Band& band)
{
    std::array<int32_t, kScanLines> rows{};
    for (int i = 0; i < kScanLines; ++i) {
        const double share = 0.1 + 0.8 * i / (kScanLines - 1);
        rows[static_cast<std::size_t>(i)] =
            band.top + static_cast<int32_t>(std::lround(share * (band.height - 1)));
    }
    return rows;
}

// The aperture: the one given in millimetres where the resolution is known, else 0.8 of the
// module of the symbol as decoded on `row`, the aperture verifiers commonly choose for linear
// symbols. The module is the decoded symbol's width over its modules, so it follows the print and
// not the data; it is found through the smallest aperture, doubled until the symbol decodes.
void chooseAperture(const ReflectanceImage& image, int32_t row, int32_t bandHeight,
                    const VerifyOptions& options, Verification* result)
{
    result->pixelsPerMm = options.pixelsPerMm > 0 ? options.pixelsPerMm : image.pixelsPerMm;
    const double apertureMm =
        options.apertureMm > 0 ? options.apertureMm : 0.8 * options.xDimensionMm;
    for (double trial = 1; trial <= std::max(1, bandHeight) && result->moduleWidth == 0;
         trial *= 2) {
        const ScanResult scan = gradeProfile(sampleScanLine(image, row, trial), options.symbology);
        if (scan.decoded.ok) {
            result->moduleWidth = scan.decoded.moduleWidth;
        }
    }
    if (apertureMm > 0 && result->pixelsPerMm > 0) {
        result->aperture = apertureMm * result->pixelsPerMm;
    } else {
        result->aperture = std::max(1.0, 0.8 * result->moduleWidth);
    }
    result->apertureMm = result->pixelsPerMm > 0 ? result->aperture / result->pixelsPerMm : 0;
}

} // namespace

Verification verifyImage(const ReflectanceImage& image, const VerifyOptions& options)
{
    Verification result;
    if (image.empty()) {
        result.problem = "the image is empty";
        return result;
    }
    const std::optional<Band> band = findBand(image);
    if (!band) {
        result.problem = "no barcode found: no row crosses from light to dark " +
                         std::to_string(kMinCrossings) + " times";
        return result;
    }
    result.found = true;
    result.top = band->top;
    result.bottom = band->top + band->height - 1;
    const std::array<int32_t, kScanLines> rows = scanRows(*band);
    chooseAperture(image, rows[kScanLines / 2], band->height, options, &result);

    // The symbology, unless given, is the one that the middle scan decodes as, or failing that
    // the first that any scan decodes as; every scan is then held to it.
    std::vector<std::vector<double>> profiles;
    profiles.reserve(rows.size());
    for (const int32_t row : rows) {
        profiles.push_back(sampleScanLine(image, row, result.aperture));
    }
    result.symbology = options.symbology;
    for (std::size_t k = 0; k < profiles.size() && !result.symbology; ++k) {
        const std::size_t i = (kScanLines / 2 + k) % kScanLines;
        const ScanResult trial = gradeProfile(profiles[i], std::nullopt);
        if (trial.decoded.ok) {
            result.symbology = trial.decoded.symbology;
        }
    }
    gradeScans(profiles, rows, &result);
    return result;
}

} // namespace lorvaxen::verifier
