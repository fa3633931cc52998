// Where the bars lie in an image: the bands of rows that cross them, their lean, their own height.
#include "bar_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace lorvaxen::verifier::detail {
namespace {

// How often row `y` crosses `threshold`.
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

} // namespace

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

} // namespace lorvaxen::verifier::detail
