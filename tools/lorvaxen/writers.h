// One writer per image format, each over the same picture of the label: the raster formats take
// it as pixels, the SVG as rectangles and glyph outlines. A writer returns false when the
// file cannot take the image, with errno telling why where the system knows.
#pragma once

#include <cstdio>

#include "label.h"

namespace lorvaxen::tool {

bool writePng(const MonoImage& image, std::FILE* file); // 1-bit greyscale, resolution in pHYs
bool writeSvg(const Label& label, std::FILE* file);     // bars as rectangles, text as paths, in mm
bool writePbm(const MonoImage& image, std::FILE* file); // binary portable bitmap (P4)
bool writeBmp(const MonoImage& image, std::FILE* file); // 1-bit Windows bitmap with resolution

} // namespace lorvaxen::tool
