#include "scan_profile.h"

#include <algorithm>
#include <cmath>

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

std::vector<double> sampleScanLine(const ReflectanceImage& image, int32_t y,
                                   double apertureDiameter)
{
    const double radius = apertureDiameter / 2;
    const auto reach = static_cast<int32_t>(std::floor(radius));
    std::vector<double> profile(static_cast<std::size_t>(image.width));
    for (int32_t x = 0; x < image.width; ++x) {
        double sum = 0;
        int count = 0;
        for (int32_t dy = -reach; dy <= reach; ++dy) {
            for (int32_t dx = -reach; dx <= reach; ++dx) {
                const int32_t px = x + dx;
                const int32_t py = y + dy;
                if (dx * dx + dy * dy > radius * radius || px < 0 || py < 0 || px >= image.width ||
                    py >= image.height) {
                    continue;
                }
                sum += image.at(px, py);
                ++count;
            }
        }
        profile[static_cast<std::size_t>(x)] = count > 0 ? sum / count : image.at(x, y);
    }
    return profile;
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

    // Runs on one side of the threshold; an edge lies where the line between the centres of two
    // neighbouring samples crosses it.
    std::size_t runStart = 0;
    double edge = 0;
    for (std::size_t i = 1; i <= profile.size(); ++i) {
        const bool dark = profile[runStart] < threshold;
        if (i < profile.size() && (profile[i] < threshold) == dark) {
            continue;
        }
        Element element;
        element.dark = dark;
        element.start = edge;
        const auto run = profile.subspan(runStart, i - runStart);
        element.reflectance = dark ? std::ranges::min(run) : std::ranges::max(run);
        // With a sample of each neighbour, a flat element's own level counts as its extreme.
        const std::size_t from = runStart > 0 ? runStart - 1 : 0;
        const std::size_t to = std::min(i + 1, profile.size());
        element.nonUniformity = nonUniformity(profile.subspan(from, to - from));
        if (i < profile.size()) {
            const double before = profile[i - 1];
            edge = static_cast<double>(i) - 0.5 + (before - threshold) / (before - profile[i]);
        } else {
            edge = static_cast<double>(profile.size());
        }
        element.end = edge;
        analysis.elements.push_back(element);
        runStart = i;
    }

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
