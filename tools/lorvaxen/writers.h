// One writer per image format, each over the same 1-bit image. A writer returns false when the
// file cannot take the image, with errno telling why where the system knows.
#pragma once

#include <cstdio>

#include "mono_image.h"

namespace lorvaxen::tool {

bool writePng(const MonoImage& image, std::FILE* file); // 1-bit greyscale, resolution in pHYs
bool writeSvg(const MonoImage& image, std::FILE* file); // bars as rectangles, sized in mm
bool writePbm(const MonoImage& image, std::FILE* file); // binary portable bitmap (P4)
bool writeBmp(const MonoImage& image, std::FILE* file); // 1-bit Windows bitmap with resolution

} // namespace lorvaxen::tool
