#include "verify.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
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

// Rows whose raw pixels cross the midway reflectance at least this often hold bars: fewer than
// the shortest symbol of any of the four symbologies has (NW7's two characters, 15 elements).
constexpr int kMinCrossings = 12;

int crossings(const ReflectanceImage& image, int32_t y, float threshold)
{
    int count = 0;
    for (int32_t x = 1; x < image.width; ++x) {
        count += (image.at(x, y) < threshold) != (image.at(x - 1, y) < threshold) ? 1 : 0;
    }
    return count;
}

// The narrow element on one raw row: half the quarter point of the sorted widths of neighbouring
// element pairs between its first and last dark pixel. A bar and the space beside it keep their
// sum when ink spreads, and in all four symbologies the narrowest pairs are the most common.
double narrowWidth(const ReflectanceImage& image, int32_t y, float threshold)
{
    std::vector<int32_t> runs;
    int32_t runStart = -1;
    for (int32_t x = 0; x < image.width; ++x) {
        const bool dark = image.at(x, y) < threshold;
        if (runStart < 0) {
            runStart = dark ? x : -1;
        } else if (dark != (image.at(x - 1, y) < threshold)) {
            runs.push_back(x - runStart);
            runStart = x;
        }
    }
    std::vector<int32_t> pairs;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        pairs.push_back(runs[i - 1] + runs[i]);
    }
    if (pairs.empty()) {
        return 1;
    }
    std::ranges::sort(pairs);
    return pairs[pairs.size() / 4] / 2.0;
}

} // namespace

ScanResult gradeProfile(std::vector<double> profile, std::optional<Symbology> symbology)
{
    ScanResult scan;
    scan.profile = std::move(profile);
    scan.analysis = analyseProfile(scan.profile);
    const ProfileAnalysis& analysis = scan.analysis;
    const auto& elements = analysis.elements;

    std::vector<double> widths;
    if (analysis.hasBars) {
        for (std::size_t i = analysis.firstBar; i <= analysis.lastBar; ++i) {
            widths.push_back(elements[i].width());
        }
    }
    std::tie(scan.decoded, scan.reversed) = decodeWidths(symbology, widths);
    const Decoded& decoded = scan.decoded;

    // Quiet zones in modules; before a decode the narrowest element stands for the module.
    const double module = decoded.ok       ? decoded.moduleWidth
                          : widths.empty() ? 1
                                           : std::ranges::min(widths);
    if (analysis.hasBars) {
        const auto quiet = [&](bool before) {
            const std::size_t bar = before ? analysis.firstBar : analysis.lastBar;
            const bool atEnd = before ? bar == 0 : bar + 1 == elements.size();
            return atEnd ? 0.0 : elements[before ? bar - 1 : bar + 1].width() / module;
        };
        scan.leftQuietModules = quiet(true);
        scan.rightQuietModules = quiet(false);
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

Verification verifyImage(const ReflectanceImage& image, std::optional<Symbology> symbology)
{
    Verification result;
    if (image.reflectance.empty()) {
        result.problem = "the image is empty";
        return result;
    }
    const auto [least, most] = std::ranges::minmax(image.reflectance);
    const float threshold = (least + most) / 2;

    // Human-readable text under the bars, and guard bars reaching down between its digits, cross
    // far less often than the symbol's own rows: a row holds bars when it crosses at least half as
    // often as the median of the rows that cross at all often.
    std::vector<int> counts(static_cast<std::size_t>(image.height));
    std::vector<int> often;
    for (int32_t y = 0; y < image.height; ++y) {
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
    int32_t bestStart = 0;
    int32_t bestHeight = 0;
    for (int32_t y = 0; y <= image.height; ++y) {
        const bool bars = y < image.height && counts[static_cast<std::size_t>(y)] >= fewest;
        if (bars && bandStart < 0) {
            bandStart = y;
        } else if (!bars && bandStart >= 0) {
            if (y - bandStart > bestHeight) {
                bestStart = bandStart;
                bestHeight = y - bandStart;
            }
            bandStart = -1;
        }
    }
    if (bestHeight == 0) {
        result.problem = "no barcode found: no row crosses from light to dark " +
                         std::to_string(kMinCrossings) + " times";
        return result;
    }
    result.found = true;
    result.top = bestStart;
    result.bottom = bestStart + bestHeight - 1;
    result.moduleWidth = narrowWidth(image, bestStart + bestHeight / 2, threshold);
    // The aperture verifiers commonly choose for linear symbols: 0.8 of the narrow element.
    result.aperture = 0.8 * result.moduleWidth;

    std::array<int32_t, kScanLines> rows{};
    for (int i = 0; i < kScanLines; ++i) {
        const double share = 0.1 + 0.8 * i / (kScanLines - 1);
        rows[static_cast<std::size_t>(i)] =
            bestStart + static_cast<int32_t>(std::lround(share * (bestHeight - 1)));
    }
    // The symbology, unless given, is the one that the middle scan decodes as, or failing that
    // the first that any scan decodes as; every scan is then held to it.
    std::vector<std::vector<double>> profiles;
    profiles.reserve(rows.size());
    for (const int32_t row : rows) {
        profiles.push_back(sampleScanLine(image, row, result.aperture));
    }
    result.symbology = symbology;
    for (std::size_t k = 0; k < profiles.size() && !result.symbology; ++k) {
        const std::size_t i = (kScanLines / 2 + k) % kScanLines;
        const ScanResult trial = gradeProfile(profiles[i], std::nullopt);
        if (trial.decoded.ok) {
            result.symbology = trial.decoded.symbology;
        }
    }

    double sum = 0;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        ScanResult scan = gradeProfile(std::move(profiles[i]), result.symbology);
        scan.row = rows[i];
        if (scan.decoded.ok && result.text.empty()) {
            result.text = scan.decoded.text;
            result.check = scan.decoded.check;
        }
        sum += scan.grade.grade;
        if (i == 0 || scan.grade.grade < result.scans[result.worstScan].grade.grade) {
            result.worstScan = i;
        }
        result.scans.push_back(std::move(scan));
    }
    result.grade = sum / kScanLines;
    return result;
}

} // namespace lorvaxen::verifier
