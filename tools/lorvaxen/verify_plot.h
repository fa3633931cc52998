// The picture of a scan reflectance profile that `lorvaxen verify --plot` writes.
#pragma once

#include <string>

#include "verify.h"

namespace lorvaxen::tool {

// Draws the profile (black) with the global threshold (blue), the element edges (grey) and, when
// the scan grades below A, where its lowest parameter fails (red), and writes it as a colour PNG.
// Returns what went wrong, or an empty text.
std::string writeProfilePlot(const verifier::ScanResult& scan, const std::string& path);

} // namespace lorvaxen::tool
