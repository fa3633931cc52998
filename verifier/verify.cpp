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

// A band of rows that hold bars: each crosses the image's midway level often.
struct Band
{
    int32_t top = 0;
    int32_t height = 0;
};

// `threshold`: the image's midway level. The bands, tallest first.
std::vector<Band> findBands(const ReflectanceImage& image, uint32_t threshold)
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
    std::vector<Band> bands;
    for (int32_t y = 0; y <= image.height(); ++y) {
        const bool bars = y < image.height() && counts[static_cast<std::size_t>(y)] >= fewest;
        if (bars && bandStart < 0) {
            bandStart = y;
        } else if (!bars && bandStart >= 0) {
            bands.push_back({bandStart, y - bandStart});
            bandStart = -1;
        }
    }
    std::ranges::stable_sort(bands,
                             [](const Band& a, const Band& b) { return a.height > b.height; });
    return bands;
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

// A row of a band whose profile decodes, tried at a few places from the middle outwards, each
// through the smallest aperture, doubled until the symbol decodes, and the same data found an
// eighth of the band above and below it: text under the bars, which may be taller than they are
// and whose strokes may pass for a symbol on one row, is passed over.
std::optional<std::pair<int32_t, ScanResult>> decodingRow(const ReflectanceImage& image,
                                                          const Band& band, double slope,
                                                          const VerifyOptions& options)
{
    const auto scanAt = [&](int32_t row, double aperture) {
        return gradeProfile(sampleScanLine(image, row, aperture, slope), options.symbology,
                            options.edition, 0, options.upcA);
    };
    const int32_t apart = std::max(1, band.height / 8);
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
                return std::pair(row, std::move(scan));
            }
        }
    }
    return std::nullopt;
}

// The columns of the bars a scan crosses: its decoded symbol's, or every bar between the first
// and the last.
std::vector<std::pair<double, double>> barsOf(const ScanResult& scan)
{
    std::vector<std::pair<double, double>> bars;
    const ProfileAnalysis& analysis = scan.analysis;
    const auto from = static_cast<double>(scan.profileFrom);
    for (std::size_t i = analysis.firstBar; analysis.hasBars && i <= analysis.lastBar; ++i) {
        const Element& element = analysis.elements[i];
        if (element.dark) {
            bars.emplace_back(from + element.start, from + element.end);
        }
    }
    return bars;
}

// How many rows a bar runs on from the scan line at `row` up (`step` -1) or down (1), followed at
// right angles to the scan lines, through no more than two light pixels in a row (specks and
// voids).
int32_t barRun(const ReflectanceImage& image, double x, double y, double slope, int step,
               uint32_t threshold)
{
    constexpr int32_t kMostLightPixels = 2;
    int32_t run = 0;
    int32_t light = 0;
    for (int32_t k = 1; light <= kMostLightPixels; ++k) {
        const auto at = static_cast<int32_t>(std::lround(y + step * k));
        const auto column = static_cast<int32_t>(std::floor(x - slope * step * k));
        if (at < 0 || at >= image.height() || column < 0 || column >= image.width()) {
            break;
        }
        if (image.level(column, at) < threshold) {
            run = k;
            light = 0;
        } else {
            ++light;
        }
    }
    return run;
}

// The median of `values`.
double median(std::vector<double> values)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Whether the scan line at `row` is dark over at least nine tenths of the columns from `from` to
// `to`: a bearer bar across the symbol, not its bars.
bool acrossTheBars(const ReflectanceImage& image, int32_t row, double slope, double from, double to,
                   uint32_t threshold)
{
    const double middle = image.width() / 2.0;
    int64_t dark = 0;
    int64_t all = 0;
    for (auto x = static_cast<int32_t>(from); x < static_cast<int32_t>(to); ++x) {
        const auto at = static_cast<int32_t>(std::lround(row + slope * (x + 0.5 - middle)));
        if (at >= 0 && at < image.height() && x >= 0 && x < image.width()) {
            dark += image.level(x, at) < threshold ? 1 : 0;
            ++all;
        }
    }
    return all > 0 && dark * 10 >= all * 9;
}

// The bars' own height, as the rows the scan lines cross the middle column at: each bar crossed
// on `row` followed up and down, and the median of their ends taken, which for EAN and UPC is the
// data bars' and not the longer guard bars'. Bearer bars that the bars run into are left out.
Band barHeight(const ReflectanceImage& image, int32_t row, const ScanResult& scan, double slope,
               uint32_t threshold)
{
    const std::vector<std::pair<double, double>> bars = barsOf(scan);
    if (bars.empty()) {
        return {row, 1};
    }
    const double middle = image.width() / 2.0;
    std::vector<double> ups;
    std::vector<double> downs;
    for (const auto& [start, end] : bars) {
        const double x = (start + end) / 2;
        const double y = row + slope * (x - middle);
        ups.push_back(barRun(image, x, y, slope, -1, threshold));
        downs.push_back(barRun(image, x, y, slope, 1, threshold));
    }
    // Rows followed along a bar at right angles to the scan lines are 1 + slope^2 scan rows.
    const double stretch = 1 + slope * slope;
    auto top = static_cast<int32_t>(std::lround(row - median(ups) * stretch));
    auto bottom = static_cast<int32_t>(std::lround(row + median(downs) * stretch));
    const double from = bars.front().first;
    const double to = bars.back().second;
    while (bottom > top && acrossTheBars(image, bottom, slope, from, to, threshold)) {
        --bottom;
    }
    while (top < bottom && acrossTheBars(image, top, slope, from, to, threshold)) {
        ++top;
    }
    return {top, bottom - top + 1};
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
    result.pixelsPerMm = options.pixelsPerMm > 0 ? options.pixelsPerMm : image.pixelsPerMm;
    const std::vector<Band> bands = findBands(image, threshold);
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
        result.slope = scanSlope(image, bands[b]);
        anchor = decodingRow(image, bands[b], result.slope, options);
    }
    if (anchor) {
        result.moduleWidth = anchor->second.decoded.moduleWidth;
        result.symbology = anchor->second.decoded.symbology;
    } else {
        result.slope = scanSlope(image, bands.front());
        const int32_t row = bands.front().top + bands.front().height / 2;
        ScanResult scan;
        scan.analysis = analyseProfile(sampleScanLine(image, row, 1, result.slope));
        anchor = std::pair(row, std::move(scan));
    }
    result.symbology = options.symbology ? options.symbology : result.symbology;
    const Band bars = barHeight(image, anchor->first, anchor->second, result.slope, threshold);
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
