#include "verify_plot.h"

#include <cairo.h>

#include "verify_drawing.h"
#include "verify_text.h"

namespace lorvaxen {
namespace {

// The plot's size in points, drawn at twice that in pixels.
constexpr double kWidth = 640;
constexpr double kHeight = 280;
constexpr double kScale = 2;
constexpr double kMargin = 12;

} // namespace

std::string writeProfilePlot(const verifier::ScanResult& scan, double pixelsPerMm,
                             const std::string& path)
{
    std::string problem;
    const ReportFonts fonts = reportFonts(&problem);
    if (fonts.regular == nullptr) {
        return problem;
    }
    cairo_surface_t* surface = cairo_image_surface_create(
        CAIRO_FORMAT_RGB24, static_cast<int>(kWidth * kScale), static_cast<int>(kHeight * kScale));
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, kScale, kScale);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    std::string title = "Scan reflectance profile, row " + std::to_string(scan.row) + ": grade " +
                        gradeText(scan.grade.grade);
    if (scan.grade.grade < 4) {
        title += ", " + std::string(verifier::parameterName(scan.grade.lowest));
    }
    drawProfilePanel(cr, fonts, scan, pixelsPerMm,
                     {kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin}, title);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? std::string() : "cannot write the plot '" + path + "'";
}

} // namespace lorvaxen
