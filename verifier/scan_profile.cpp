#include "scan_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace lorvaxen::verifier {
namespace {

// The highest interior peak less the lowest interior valley of a run of samples, where both
// exist: a void in a bar or a spot in a space. Flat stretches count once, and the two ends are no
// extremes: they lie on the slopes of the element's edges, or at the end of the profile.
double nonUniformity(std::span<const double> samples)
{
    std::vector<double> levels;
    for (const double sample : samples) {
        if (levels.empty() || sample != levels.back()) {
            levels.push_back(sample);
        }
    }
    double peak = -1;
    double valley = -1;
    for (std::size_t i = 1; i + 1 < levels.size(); ++i) {
        if (levels[i] > levels[i - 1] && levels[i] > levels[i + 1]) {
            peak = std::max(peak, levels[i]);
        } else if (levels[i] < levels[i - 1] && levels[i] < levels[i + 1]) {
            valley = valley < 0 ? levels[i] : std::min(valley, levels[i]);
        }
    }
    return peak >= 0 && valley >= 0 && peak > valley ? peak - valley : 0;
}

} // namespace

std::vector<double> sampleScanLine(const ReflectanceImage& image, double y, double apertureDiameter,
                                   double slope)
{
    // The circle is taken row by row: on each row it covers a run of pixels, summed from that
    // row's running sums, so the cost grows with the aperture's diameter, not its area. Each row
    // the line's apertures touch is summed once, and adds to every sample whose circle reaches it.
    const double radius = apertureDiameter / 2;
    // No circle reaches further than the image is high.
    const auto reach =
        static_cast<int32_t>(std::floor(std::min(radius, static_cast<double>(image.height()))));
    const auto width = static_cast<std::size_t>(image.width());
    std::vector<std::size_t> halves(2 * static_cast<std::size_t>(reach) + 1);
    for (std::size_t i = 0; i < halves.size(); ++i) {
        const double dy = static_cast<double>(i) - reach;
        halves[i] = static_cast<std::size_t>(std::floor(
            std::min(std::sqrt(radius * radius - dy * dy), static_cast<double>(image.width()))));
    }
    std::vector<int32_t> centres(width);
    const double middle = static_cast<double>(width) / 2;
    for (std::size_t x = 0; x < width; ++x) {
        const double at = y + slope * (static_cast<double>(x) + 0.5 - middle);
        centres[x] = static_cast<int32_t>(std::clamp(std::round(at), -1e9, 1e9));
    }
    const auto [lowest, highest] = std::ranges::minmax(centres);
    std::vector<uint64_t> sums(width, 0);
    std::vector<uint32_t> counts(width, 0);
    std::vector<uint64_t> running(width + 1, 0);
    const int32_t first = std::max(0, lowest - reach);
    const int32_t last = std::min(image.height() - 1, highest + reach);
    for (int32_t row = first; row <= last; ++row) {
        std::size_t at = 0;
        image.forEachInRow(row, [&](uint32_t level) {
            running[at + 1] = running[at] + level;
            ++at;
        });
        for (std::size_t x = 0; x < width; ++x) {
            const int64_t dy = int64_t{row} - centres[x];
            if (dy < -reach || dy > reach) {
                continue;
            }
            const std::size_t half = halves[static_cast<std::size_t>(dy + reach)];
            const std::size_t from = x > half ? x - half : 0;
            const std::size_t to = std::min(x + half + 1, width);
            sums[x] += running[to] - running[from];
            counts[x] += static_cast<uint32_t>(to - from);
        }
    }
    std::vector<double> profile(width);
    constexpr double kPercent = 100.0 / ReflectanceImage::kFullLevel;
    for (std::size_t x = 0; x < width; ++x) {
        // Beyond the image's top or bottom edge the line sees its nearest row.
        const int32_t row = std::clamp(centres[x], 0, image.height() - 1);
        profile[x] = counts[x] > 0 ? static_cast<double>(sums[x]) / counts[x] * kPercent
                                   : image.at(static_cast<int32_t>(x), row);
    }
    return profile;
}

double nearestCrossing(std::span<const double> profile, double level, std::size_t from,
                       std::size_t to, double near)
{
    double crossing = near;
    double nearest = std::numeric_limits<double>::max();
    for (std::size_t j = from; j + 1 < to && j + 1 < profile.size(); ++j) {
        const double before = profile[j] - level;
        const double after = profile[j + 1] - level;
        if ((before < 0) == (after < 0)) {
            continue;
        }
        const double at = static_cast<double>(j) + 0.5 + before / (before - after);
        if (std::abs(at - near) < nearest) {
            nearest = std::abs(at - near);
            crossing = at;
        }
    }
    return crossing;
}

ProfileAnalysis analyseProfile(std::span<const double> profile)
{
    ProfileAnalysis analysis;
    if (profile.empty()) {
        return analysis;
    }
    const auto [least, most] = std::ranges::minmax(profile);
    analysis.rMin = least;
    analysis.rMax = most;
    analysis.threshold = (least + most) / 2;
    const double threshold = analysis.threshold;

    // Elements are runs on one side of the global threshold. Each edge then lies where the
    // profile crosses midway between the space's highest and the bar's lowest reflectance on
    // either side of it, between the two samples it falls between; `reaches` keeps, for each
    // element, its first and last sample at its extreme, which bound the search for its edges.
    std::vector<std::pair<std::size_t, std::size_t>> reaches;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= profile.size(); ++i) {
        const bool dark = profile[runStart] < threshold;
        if (i < profile.size() && (profile[i] < threshold) == dark) {
            continue;
        }
        Element element;
        element.dark = dark;
        const auto run = profile.subspan(runStart, i - runStart);
        element.reflectance = dark ? std::ranges::min(run) : std::ranges::max(run);
        const auto first = std::ranges::find(run, element.reflectance) - run.begin();
        const auto last = run.rend() - std::find(run.rbegin(), run.rend(), element.reflectance) - 1;
        reaches.emplace_back(runStart + static_cast<std::size_t>(first),
                             runStart + static_cast<std::size_t>(last));
        // With a sample of each neighbour, a flat element's own level counts as its extreme.
        const std::size_t from = runStart > 0 ? runStart - 1 : 0;
        const std::size_t to = std::min(i + 1, profile.size());
        element.nonUniformity = nonUniformity(profile.subspan(from, to - from));
        element.end = static_cast<double>(i); // until the edge is placed
        analysis.elements.push_back(element);
        runStart = i;
    }
    auto& found = analysis.elements;
    for (std::size_t k = 1; k < found.size(); ++k) {
        const double level = (found[k - 1].reflectance + found[k].reflectance) / 2;
        const double crossing = found[k - 1].end; // the threshold's, at a whole sample
        const double edge =
            nearestCrossing(profile, level, reaches[k - 1].second, reaches[k].first + 1, crossing);
        found[k - 1].end = edge;
        found[k].start = edge;
    }
    found.back().end = static_cast<double>(profile.size());

    const auto& elements = analysis.elements;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].dark) {
            analysis.firstBar = analysis.hasBars ? analysis.firstBar : i;
            analysis.lastBar = i;
            analysis.hasBars = true;
        }
        if (elements[i].nonUniformity > analysis.nonUniformityMax) {
            analysis.nonUniformityMax = elements[i].nonUniformity;
            analysis.nonUniformityMaxAt = i;
        }
        if (i > 0) {
            const double contrast = std::abs(elements[i].reflectance - elements[i - 1].reflectance);
            if (i == 1 || contrast < analysis.edgeContrastMin) {
                analysis.edgeContrastMin = contrast;
                analysis.edgeContrastMinAt = i;
            }
        }
    }
    return analysis;
}

} // namespace lorvaxen::verifier
