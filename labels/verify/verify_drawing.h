// What the pictures of `lorvaxen verify` share: text, the colours of the grades, and the panel of
// a scan reflectance profile with its axes, which --plot draws alone and --report beside the rest.
#pragma once

#include <string>
#include <vector>

#include <cairo.h>

#include "report_font.h"
#include "verify.h"

namespace lorvaxen {

// A rectangle of the drawing, in its units (points on the page).
struct Box
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

enum class Align { Left, Centre, Right };

// One line of text with its baseline at `y`.
void drawText(cairo_t* cr, cairo_font_face_t* face, double size, double x, double y,
              const std::string& text, Align align = Align::Left);
// The words of `text` in lines no wider than `width`.
std::vector<std::string> wrapText(cairo_t* cr, cairo_font_face_t* face, double size,
                                  const std::string& text, double width);

// The colour of a grade's letter: A green through F red; `light` for the background of a cell.
void setGradeColour(cairo_t* cr, double grade, bool light = false);

// The profile against its position in millimetres (in pixels where the resolution is unknown)
// and its reflectance in per cent: Rmax, Rmin and the global threshold, every element edge, the
// edge of least contrast and the element of the largest defect, and the part the lowest parameter
// fails on shaded, with a legend.
// `title` heads the panel.
void drawProfilePanel(cairo_t* cr, const ReportFonts& fonts, const verifier::ScanResult& scan,
                      double pixelsPerMm, const Box& box, const std::string& title);

} // namespace lorvaxen
