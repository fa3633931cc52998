// Inside the verifier: where the bars lie in an image, before any scan is graded.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "reflectance_image.h"
#include "verify.h"

namespace lorvaxen::verifier::detail {

// Rows whose raw pixels cross the midway reflectance at least this often hold bars: fewer than
// the shortest symbol of any of the four symbologies has (NW7's two characters, 15 elements).
constexpr int kMinCrossings = 12;

// A band of rows that hold bars: each crosses the image's midway level often.
struct Band
{
    int32_t top = 0;
    int32_t height = 0;
};

// `threshold`: the image's midway level. The bands, tallest first.
std::vector<Band> findBands(const ReflectanceImage& image, uint32_t threshold);

// The slope of the scan lines, at right angles to the bars. The bars' lean is the shift that best
// matches two rows around the middle of the band: first rows close together, which cross the same
// stretch of even a long symbol at a steep lean, then rows twice as far apart each time, searched
// only near the shift the lean found so far foretells.
double scanSlope(const ReflectanceImage& image, const Band& band);

// The bars' own height, as the rows the scan lines cross the middle column at: each bar crossed
// on `row` followed up and down, and the median of their ends taken, which for EAN and UPC is the
// data bars' and not the longer guard bars'. Bearer bars that the bars run into are left out.
Band barHeight(const ReflectanceImage& image, int32_t row, const ScanResult& scan, double slope,
               uint32_t threshold);

// Whether any of a few columns spread over the image crosses its midway level often enough to
// hold bars: only then is the image worth turning, which costs a copy of it.
bool columnsCrossBars(const ReflectanceImage& image, uint32_t threshold);

} // namespace lorvaxen::verifier::detail
