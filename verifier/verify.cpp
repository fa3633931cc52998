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

// Rows whose raw pixels cross the midway reflectance at least this often hold bars: fewer than
// the shortest symbol of any of the four symbologies has (NW7's two characters, 15 elements).
constexpr int kMinCrossings = 12;

int crossings(const ReflectanceImage& image, int32_t y, uint32_t threshold)
{
    int count = 0;
    bool dark = image.level(0, y) < threshold;
    image.forEachInRow(y, [&](uint32_t level) {
        const bool next = level < threshold;
        count += next != dark ? 1 : 0;
        dark = next;
    });
    return count;
}

// Grades the scans of `profiles`, the symbol by their mean. Scans that decode to different data
// fail the symbol: a reader may return either.
void gradeScans(std::vector<std::vector<double>>& profiles,
                const std::array<int32_t, kScanLines>& rows, Edition edition, Verification* result)
{
    double sum = 0;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        ScanResult scan =
            gradeProfile(profiles[i], result->symbology, edition, result->pixelsPerMm);
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

// The rows that hold the bars: the tallest band of rows that cross the image's midway level often.
struct Band
{
    int32_t top = 0;
    int32_t height = 0;
};

// `threshold`: the image's midway level.
std::optional<Band> findBand(const ReflectanceImage& image, uint32_t threshold)
{
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

// The shift between row `upper` and row `upper + gap` that best matches their levels (the least
// mean difference), among `from` to `to`.
int32_t bestShift(const ReflectanceImage& image, int32_t upper, int32_t gap, int32_t from,
                  int32_t to)
{
    int32_t best = 0;
    double bestDifference = std::numeric_limits<double>::max();
    for (int32_t shift = from; shift <= to; ++shift) {
        uint64_t difference = 0;
        uint64_t count = 0;
        for (int32_t x = std::max(0, -shift); x < image.width() && x + shift < image.width(); ++x) {
            const auto a = static_cast<int64_t>(image.level(x, upper));
            const auto b = static_cast<int64_t>(image.level(x + shift, upper + gap));
            difference += static_cast<uint64_t>(std::abs(a - b));
            ++count;
        }
        const double mean = count > 0 ? static_cast<double>(difference) / static_cast<double>(count)
                                      : bestDifference;
        if (mean < bestDifference || (mean == bestDifference && std::abs(shift) < std::abs(best))) {
            bestDifference = mean;
            best = shift;
        }
    }
    return best;
}

// The slope of the scan lines, at right angles to the bars. The bars' lean is the shift that best
// matches two rows around the middle of the band: first rows close together, which cross the same
// stretch of even a long symbol at a steep lean, then rows twice as far apart each time, searched
// only near the shift the lean found so far foretells.
double scanSlope(const ReflectanceImage& image, const Band& band)
{
    constexpr double kMostLean = 0.268; // tan 15 degrees
    constexpr int32_t kFirstGap = 8;
    constexpr int32_t kMostGap = 512;
    double lean = 0;
    for (int32_t gap = kFirstGap; gap <= std::min(band.height / 2, kMostGap); gap *= 2) {
        const int32_t upper = band.top + band.height / 2 - gap / 2;
        const auto foretold = static_cast<int32_t>(std::lround(lean * gap));
        const int32_t most =
            gap == kFirstGap ? static_cast<int32_t>(std::ceil(kMostLean * gap)) : 2;
        lean = static_cast<double>(bestShift(image, upper, gap, foretold - most, foretold + most)) /
               gap;
    }
    return -lean;
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
// not the data; it is found through the smallest aperture, doubled until the symbol decodes. The
// symbology, unless given, is the one it decodes as.
void chooseAperture(const ReflectanceImage& image, int32_t row, int32_t bandHeight,
                    const VerifyOptions& options, Verification* result)
{
    const double slope = result->slope;
    result->pixelsPerMm = options.pixelsPerMm > 0 ? options.pixelsPerMm : image.pixelsPerMm;
    const double apertureMm =
        options.apertureMm > 0 ? options.apertureMm : 0.8 * options.xDimensionMm;
    for (double trial = 1; trial <= std::max(1, bandHeight) && result->moduleWidth == 0;
         trial *= 2) {
        const ScanResult scan =
            gradeProfile(sampleScanLine(image, row, trial, slope), options.symbology);
        if (scan.decoded.ok) {
            result->moduleWidth = scan.decoded.moduleWidth;
            result->symbology = scan.decoded.symbology;
        }
    }
    if (apertureMm > 0 && result->pixelsPerMm > 0) {
        result->aperture = apertureMm * result->pixelsPerMm;
    } else {
        result->aperture = std::max(1.0, 0.8 * result->moduleWidth);
    }
    result->apertureMm = result->pixelsPerMm > 0 ? result->aperture / result->pixelsPerMm : 0;
}

// The rows of the band that cross the whole symbol: those whose profile decodes. A skewed symbol
// leaves rows near the top and bottom of its band that cross only part of it. Rows spread over the
// band are tried, and the first and last that decode are then narrowed down to the row.
Band decodingRows(const ReflectanceImage& image, const Band& band, double aperture, double slope,
                  std::optional<Symbology> symbology)
{
    const auto decodes = [&](int32_t y) {
        return gradeProfile(sampleScanLine(image, y, aperture, slope), symbology).decoded.ok;
    };
    constexpr int32_t kProbes = 24;
    const int32_t probes = std::min(kProbes, band.height);
    const auto probe = [&](int32_t k) {
        return band.top + static_cast<int32_t>(
                              std::lround(double(k) * (band.height - 1) / std::max(1, probes - 1)));
    };
    int32_t first = -1;
    int32_t last = -1;
    for (int32_t k = 0; k < probes; ++k) {
        if (decodes(probe(k))) {
            first = first < 0 ? k : first;
            last = k;
        }
    }
    if (first < 0) {
        return band;
    }
    // Between a row that fails and one that decodes lies the edge: halved until they touch.
    const auto edge = [&](int32_t failing, int32_t decoding) {
        while (std::abs(decoding - failing) > 1) {
            const int32_t middle = failing + (decoding - failing) / 2;
            (decodes(middle) ? decoding : failing) = middle;
        }
        return decoding;
    };
    const int32_t top = edge(first == 0 ? band.top - 1 : probe(first - 1), probe(first));
    const int32_t bottom =
        edge(last == probes - 1 ? band.top + band.height : probe(last + 1), probe(last));
    return {top, bottom - top + 1};
}

// Finds the band, chooses its scan rows and grades them, the bars running across the rows.
Verification verifyRows(const ReflectanceImage& image, uint32_t threshold,
                        const VerifyOptions& options)
{
    Verification result;
    result.edition = options.edition;
    const std::optional<Band> found = findBand(image, threshold);
    if (!found) {
        result.problem = "no barcode found: no row crosses from light to dark " +
                         std::to_string(kMinCrossings) + " times";
        return result;
    }
    result.found = true;
    result.slope = scanSlope(image, *found);
    chooseAperture(image, found->top + found->height / 2, found->height, options, &result);
    result.symbology = options.symbology ? options.symbology : result.symbology;
    const Band band = result.moduleWidth > 0 ? decodingRows(image, *found, result.aperture,
                                                            result.slope, result.symbology)
                                             : *found;
    result.top = band.top;
    result.bottom = band.top + band.height - 1;
    const std::array<int32_t, kScanLines> rows = scanRows(band);

    // The symbology, unless given or found on the middle row, is the first that any scan decodes
    // as; every scan is then held to it.
    std::vector<std::vector<double>> profiles;
    profiles.reserve(rows.size());
    for (const int32_t row : rows) {
        profiles.push_back(sampleScanLine(image, row, result.aperture, result.slope));
    }
    for (std::size_t k = 0; k < profiles.size() && !result.symbology; ++k) {
        const std::size_t i = (kScanLines / 2 + k) % kScanLines;
        const ScanResult trial = gradeProfile(profiles[i], std::nullopt);
        if (trial.decoded.ok) {
            result.symbology = trial.decoded.symbology;
        }
    }
    gradeScans(profiles, rows, options.edition, &result);
    return result;
}

// Whether any of a few columns spread over the image crosses its midway level often enough to
// hold bars: only then is the image worth turning, which costs a copy of it.
bool columnsCrossBars(const ReflectanceImage& image, uint32_t threshold)
{
    constexpr int32_t kColumns = 64;
    for (int32_t k = 0; k < kColumns; ++k) {
        const auto x = static_cast<int32_t>(int64_t{image.width()} * (int64_t{2} * k + 1) /
                                            (int64_t{2} * kColumns));
        int count = 0;
        bool dark = image.level(x, 0) < threshold;
        for (int32_t y = 1; y < image.height() && count < kMinCrossings; ++y) {
            const bool next = image.level(x, y) < threshold;
            count += next != dark ? 1 : 0;
            dark = next;
        }
        if (count >= kMinCrossings) {
            return true;
        }
    }
    return false;
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
    if (result.text.empty() && columnsCrossBars(image, threshold)) {
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
