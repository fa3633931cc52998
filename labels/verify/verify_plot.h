// The picture of a scan reflectance profile that `lorvaxen verify --plot` writes.
#pragma once

#include <string>

#include "verify.h"

namespace lorvaxen {

// Draws the profile with its axes (millimetres where `pixelsPerMm` is known, else pixels; per cent
// reflectance), Rmax, Rmin, the global threshold, the element edges, the worst edge, the largest
// defect and, when the scan grades below A, where its lowest parameter fails, with a legend, and
// writes it as a PNG. Returns what went wrong, or an empty text.
std::string writeProfilePlot(const verifier::ScanResult& scan, double pixelsPerMm,
                             const std::string& path);

} // namespace lorvaxen
