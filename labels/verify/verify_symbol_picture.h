// The symbol in verify's report: the part of the image around it in grey, with its scan lines
// coloured by their grades.
#pragma once

#include <cairo.h>

#include "reflectance_image.h"
#include "report_font.h"
#include "verify.h"
#include "verify_drawing.h"

namespace lorvaxen {

// The symbol, fitted into `box`, with its scan lines coloured by their grades and the worst drawn
// thicker; `picture` is the image as read, the symbol found in it.
void drawSymbol(cairo_t* cr, const ReportFonts& fonts, const verifier::ReflectanceImage& picture,
                const verifier::Verification& v, const Box& box);

} // namespace lorvaxen
