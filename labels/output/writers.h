// One writer per image format, each over the same picture of the label: the raster formats take
// it as pixels, the vector ones (SVG, PDF, EPS) as rectangles and glyph outlines. A writer returns
// false when the file cannot take the image, with errno telling why where the system knows.
#pragma once

#include <cstdio>

#include "label.h"

namespace lorvaxen {

// 1-bit greyscale, or with colours a 1-bit palette (a transparent background in tRNS);
// resolution in pHYs.
bool writePng(const MonoImage& image, std::FILE* file, const Paint& paint = {});
bool writeSvg(const Label& label, std::FILE* file);     // bars as rectangles, text as paths, in mm
bool writePdf(const Label& label, std::FILE* file);     // the same drawing through cairo
bool writeEps(const Label& label, std::FILE* file);     // the same drawing through cairo
bool writePbm(const MonoImage& image, std::FILE* file); // binary portable bitmap (P4)
// 1-bit Windows bitmap with resolution, its two palette entries the paint's.
bool writeBmp(const MonoImage& image, std::FILE* file, const Paint& paint = {});

} // namespace lorvaxen
