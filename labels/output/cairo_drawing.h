// A label drawn through cairo, in points, for every PDF and EPS page that holds one: a page of its
// own or a cell of a sheet.
#pragma once

#include <cstdio>
#include <utility>

#include <cairo.h>

#include "label.h"

namespace lorvaxen {

constexpr double kPointsPerMm = 72 / 25.4;

// The label's size as drawn, turned as it is, in points.
std::pair<double, double> labelSizePt(const Label& label);

// Draws the label with its top left corner at the origin of `cr`'s user space, in points: the
// background, if any, then the bars and the text's outlines. The caller saves and restores the
// state around it when more is drawn after.
void drawLabel(cairo_t* cr, const Label& label);

// A cairo write function for a surface made for a stream, `closure` an open std::FILE*.
cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length);

} // namespace lorvaxen
