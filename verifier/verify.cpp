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

#include "bar_geometry.h"

namespace lorvaxen::verifier {
namespace {

using detail::Band;
using detail::kMinCrossings;

// Grades the scans of `profiles`, the symbol by their mean. Scans that decode to different data
// fail the symbol: a reader may return either.
void gradeScans(std::vector<std::vector<double>>& profiles,
                const std::array<int32_t, kScanLines>& rows, const VerifyOptions& options,
                Verification* result)
{
    double sum = 0;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        ScanResult scan = gradeProfile(profiles[i], result->symbology, options.edition,
                                       result->pixelsPerMm, options.upcA);
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

// The number of elements of the symbol a scan decodes.
std::size_t decodedElements(const ScanResult& scan)
{
    return scan.analysis.lastBar - scan.analysis.firstBar + 1;
}

// A row of a band whose profile decodes: tried at a few places, each through the smallest
// aperture, doubled until the symbol decodes, and held only when the same data is found an eighth
// of the band above and below it, so that text under the bars (which may be taller than they are,
// and whose strokes may pass for a symbol on one row) is passed over. Of the rows held, the one
// whose symbol has the most elements: damage can make part of a symbol pass for another
// symbology's shorter one.
std::optional<std::pair<int32_t, ScanResult>> decodingRow(const ReflectanceImage& image,
                                                          const Band& band, double slope,
                                                          const VerifyOptions& options)
{
    const auto scanAt = [&](int32_t row, double aperture) {
        return gradeProfile(sampleScanLine(image, row, aperture, slope), options.symbology,
                            options.edition, 0, options.upcA);
    };
    const int32_t apart = std::max(1, band.height / 8);
    std::optional<std::pair<int32_t, ScanResult>> best;
    for (const double share : {0.5, 0.3, 0.7, 0.15, 0.85}) {
        const auto row = band.top + static_cast<int32_t>(share * band.height);
        for (int64_t trial = 1; trial <= std::max(1, band.height); trial *= 2) {
            const auto aperture = static_cast<double>(trial);
            ScanResult scan = scanAt(row, aperture);
            if (!scan.decoded.ok) {
                continue;
            }
            const auto same = [&](int32_t other) {
                const ScanResult check = scanAt(std::clamp(other, 0, image.height() - 1), aperture);
                return check.decoded.ok && check.decoded.text == scan.decoded.text;
            };
            if (same(row - apart) && same(row + apart)) {
                if (!best || decodedElements(scan) > decodedElements(best->second)) {
                    best = std::pair(row, std::move(scan));
                }
                break;
            }
        }
    }
    return best;
}

// Ten scan lines at the centres of ten equal strips of the inspection band, 10% to 90% of the
// bars' height.
std::array<int32_t, kScanLines> scanRows(const Band& band)
{
    std::array<int32_t, kScanLines> rows{};
    for (int i = 0; i < kScanLines; ++i) {
        const double share = 0.1 + 0.8 * (i + 0.5) / kScanLines;
        rows[static_cast<std::size_t>(i)] =
            band.top + static_cast<int32_t>(std::floor(share * band.height));
    }
    return rows;
}

// The aperture: the one given in millimetres where the resolution is known, else 0.8 of the
// module of the decoded symbol, the aperture verifiers commonly choose for linear symbols; 0
// when neither is known. The module is the decoded symbol's width over its modules, so it
// follows the print and not the data.
void setAperture(const VerifyOptions& options, Verification* result)
{
    const double apertureMm =
        options.apertureMm > 0 ? options.apertureMm : 0.8 * options.xDimensionMm;
    if (apertureMm > 0 && result->pixelsPerMm > 0) {
        result->aperture = apertureMm * result->pixelsPerMm;
    } else if (result->moduleWidth > 0) {
        result->aperture = std::max(1.0, 0.8 * result->moduleWidth);
    }
    result->apertureMm = result->pixelsPerMm > 0 ? result->aperture / result->pixelsPerMm : 0;
}

// The ten scans at `rows`, graded; the symbology, unless given or found already, is the first
// that any scan decodes as, and every scan is then held to it.
void scanAndGrade(const ReflectanceImage& image, const std::array<int32_t, kScanLines>& rows,
                  const VerifyOptions& options, Verification* result)
{
    result->scans.clear();
    result->worstScan = 0;
    result->text.clear();
    result->check.clear();
    result->inconsistency.clear();
    std::vector<std::vector<double>> profiles;
    profiles.reserve(rows.size());
    for (const int32_t row : rows) {
        profiles.push_back(sampleScanLine(image, row, result->aperture, result->slope));
    }
    for (std::size_t k = 0; k < profiles.size() && !result->symbology; ++k) {
        const std::size_t i = (kScanLines / 2 + k) % kScanLines;
        const ScanResult trial = gradeProfile(profiles[i], std::nullopt);
        if (trial.decoded.ok) {
            result->symbology = trial.decoded.symbology;
        }
    }
    gradeScans(profiles, rows, options, result);
}

// Finds the bars, measures their height, sets the scan lines and grades them, the bars running
// across the rows.
Verification verifyRows(const ReflectanceImage& image, uint32_t threshold,
                        const VerifyOptions& options)
{
    Verification result;
    result.edition = options.edition;
    result.upcA = options.upcA;
    result.pixelsPerMm = options.pixelsPerMm > 0 ? options.pixelsPerMm : image.pixelsPerMm;
    const std::vector<Band> bands = detail::findBands(image, threshold);
    if (bands.empty()) {
        result.problem = "no barcode found: no row crosses from light to dark " +
                         std::to_string(kMinCrossings) + " times";
        return result;
    }
    result.found = true;
    // The bars are the tallest band that decodes; failing any, the tallest.
    constexpr std::size_t kMostBands = 4;
    std::optional<std::pair<int32_t, ScanResult>> anchor;
    for (std::size_t b = 0; b < std::min(bands.size(), kMostBands) && !anchor; ++b) {
        result.slope = detail::scanSlope(image, bands[b]);
        anchor = decodingRow(image, bands[b], result.slope, options);
    }
    if (anchor) {
        result.moduleWidth = anchor->second.decoded.moduleWidth;
        result.symbology = anchor->second.decoded.symbology;
    } else {
        result.slope = detail::scanSlope(image, bands.front());
        const int32_t row = bands.front().top + bands.front().height / 2;
        ScanResult scan;
        scan.analysis = analyseProfile(sampleScanLine(image, row, 1, result.slope));
        anchor = std::pair(row, std::move(scan));
    }
    result.symbology = options.symbology ? options.symbology : result.symbology;
    const Band bars =
        detail::barHeight(image, anchor->first, anchor->second, result.slope, threshold);
    result.top = bars.top;
    result.bottom = bars.top + bars.height - 1;
    const std::array<int32_t, kScanLines> rows = scanRows(bars);
    setAperture(options, &result);
    scanAndGrade(image, rows, options, &result);
    const auto decoding =
        std::ranges::find_if(result.scans, [](const ScanResult& scan) { return scan.decoded.ok; });
    if (result.moduleWidth == 0 && decoding != result.scans.end()) {
        // Only a scan line decodes: its module sets the aperture, if nothing else did.
        result.moduleWidth = decoding->decoded.moduleWidth;
        if (result.aperture == 0) {
            setAperture(options, &result);
            scanAndGrade(image, rows, options, &result);
        }
    }
    if (result.text.empty()) {
        const ScanResult& middle = result.scans[kScanLines / 2];
        result.undecoded =
            "no scan decodes: " +
            (middle.decoded.problem.empty() ? std::string("no bars") : middle.decoded.problem);
    }
    return result;
}

} // namespace

Verification verifyImage(const ReflectanceImage& image, const VerifyOptions& options)
{
    if (image.empty()) {
        Verification result;
        result.problem = "the image is empty";
        return result;
    }
    const auto [least, most] = image.levelRange();
    const uint32_t threshold = (least + most + 1) / 2;
    Verification result = verifyRows(image, threshold, options);
    if (result.text.empty() && detail::columnsCrossBars(image, threshold)) {
        // A symbol turned a quarter or three quarters: its bars run along the rows. (Half a turn
        // is a symbol read from right to left.)
        Verification turned = verifyRows(image.transposed(), threshold, options);
        if (!turned.text.empty() || !result.found) {
            turned.turned = true;
            return turned;
        }
    }
    return result;
}

} // namespace lorvaxen::verifier
