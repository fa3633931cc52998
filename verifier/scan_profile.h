// A scan reflectance profile and what ISO/IEC 15416 measures on it: the global threshold, the
// elements it separates, their edge contrasts and their reflectance non-uniformity.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "reflectance_image.h"

namespace lorvaxen::verifier {

// The profile along a line across the image, one sample a column: at each, the mean reflectance
// seen through a circular aperture of `apertureDiameter` pixels centred on the line (a single
// pixel when the aperture is smaller). The line crosses the image's middle column at row `y` and
// climbs or falls `slope` rows a column (a skewed symbol's axis; at most 1).
std::vector<double> sampleScanLine(const ReflectanceImage& image, double y, double apertureDiameter,
                                   double slope = 0);

// One element between two crossings of the global threshold; a light run at either end of the
// profile is a quiet zone. Elements are told apart at the global threshold; each edge lies where
// the profile crosses midway between the neighbouring space's highest and bar's lowest reflectance.
struct Element
{
    bool dark = false;
    double start = 0; // in samples from the profile's left end
    double end = 0;
    double reflectance = 0;   // the lowest of a bar, the highest of a space
    double nonUniformity = 0; // ERN: highest peak less lowest valley inside the element
    double width() const { return end - start; }
};

struct ProfileAnalysis
{
    double rMax = 0;
    double rMin = 0;
    double threshold = 0; // the global threshold, midway between rMax and rMin
    std::vector<Element> elements;
    bool hasBars = false;
    std::size_t firstBar = 0; // the symbol: elements[firstBar .. lastBar]
    std::size_t lastBar = 0;
    double edgeContrastMin = 0;        // between neighbouring elements, quiet zones included
    std::size_t edgeContrastMinAt = 0; // the element right of that edge
    double nonUniformityMax = 0;
    std::size_t nonUniformityMaxAt = 0;
};

ProfileAnalysis analyseProfile(std::span<const double> profile);

// Where the profile crosses `level` between samples [from, to), interpolated between the two
// samples either side, at the crossing nearest `near`; `near` itself when it crosses nowhere.
double nearestCrossing(std::span<const double> profile, double level, std::size_t from,
                       std::size_t to, double near);

} // namespace lorvaxen::verifier
