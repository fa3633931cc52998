// The one-page report of verify: the grade, each parameter's grade on each scan, the worst
// scan's profile, the settings and the advice around the symbol, as PDF, PNG or SVG.
#include "verify_page.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include "formats.h"
#include "mono_image.h"
#include "verify_drawing.h"
#include "verify_symbol_picture.h"

namespace lorvaxen {
namespace {

using verifier::Parameter;
using verifier::ReflectanceImage;
using verifier::ScanResult;
using verifier::Verification;

// A4 landscape, in points; a PNG is drawn at 1.5 pixels a point.
constexpr double kPageWidth = 842;
constexpr double kPageHeight = 595;
constexpr double kPngScale = 1.5;
constexpr double kMargin = 28;

// The page's format, by the name's extension in the one table of image formats: PDF, PNG or SVG.
// Standard output takes no page: it is drawn to a file by its name.
std::optional<ImageFormat> pageFormat(const std::string& path)
{
    const std::optional<ImageFormat> format = path == "-" ? std::nullopt : formatFromPath(path);
    if (format == ImageFormat::Pdf || format == ImageFormat::Png || format == ImageFormat::Svg) {
        return format;
    }
    return std::nullopt;
}

// The grade large, in its letter's colour.
void drawGrade(cairo_t* cr, const ReportFonts& fonts, const Verification& v, const Box& box)
{
    const double grade = verifier::reportedGrade(v.grade);
    setGradeColour(cr, grade);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    drawText(cr, fonts.regular, 9, box.x + box.width / 2, box.y + 14, "symbol grade",
             Align::Centre);
    drawText(cr, fonts.bold, 38, box.x + box.width / 2, box.y + box.height - 14,
             fixedText(grade, 1) + " " + verifier::gradeLetter(grade), Align::Centre);
}

// Each parameter's grade on each scan, and the worst scan's values.
void drawTable(cairo_t* cr, const ReportFonts& fonts, const Verification& v, const Box& box)
{
    constexpr double kNameWidth = 104;
    constexpr double kValueWidth = 52;
    constexpr double kRow = 15;
    const double cell = (box.width - kNameWidth - kValueWidth) / verifier::kScanLines;
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    drawText(cr, fonts.bold, 10, box.x, box.y + 8, "Grades of each parameter on each scan");
    double y = box.y + 34;
    drawText(cr, fonts.bold, 7, box.x + kNameWidth + kValueWidth - 4, y,
             "value (" + std::to_string(v.worstScan + 1) + ")", Align::Right);
    drawText(cr, fonts.bold, 7, box.x + kNameWidth + kValueWidth, y - 10, "scan");
    for (int i = 0; i < verifier::kScanLines; ++i) {
        drawText(cr, fonts.bold, 7, box.x + kNameWidth + kValueWidth + (i + 0.5) * cell, y,
                 std::to_string(i + 1), Align::Centre);
    }
    const ScanResult* worst = v.scans.empty() ? nullptr : &v.scans[v.worstScan];
    for (std::size_t p = 0; p <= verifier::kParameterCount; ++p) {
        const bool total = p == verifier::kParameterCount;
        y += kRow;
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        drawText(cr, total ? fonts.bold : fonts.regular, 8, box.x, y,
                 total ? "scan grade" : std::string(verifier::parameterName(Parameter(p))));
        if (worst != nullptr && !total) {
            const double value = worst->parameters[p].value;
            const std::string shown = Parameter(p) == Parameter::Decode ? (value > 0 ? "yes" : "no")
                                      : p <= 3                          ? fixedText(value, 1) + "%"
                                                                        : fixedText(value, 2);
            drawText(cr, fonts.regular, 8, box.x + kNameWidth + kValueWidth - 4, y, shown,
                     Align::Right);
        }
        for (std::size_t i = 0; i < v.scans.size(); ++i) {
            const double grade = total ? v.scans[i].grade.grade : v.scans[i].parameters[p].grade;
            const double x = box.x + kNameWidth + kValueWidth + static_cast<double>(i) * cell;
            setGradeColour(cr, grade, true);
            cairo_rectangle(cr, x + 0.5, y - kRow + 4, cell - 1, kRow - 1);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
            drawText(cr, total ? fonts.bold : fonts.regular, 7, x + cell / 2, y,
                     fixedText(grade, 1), Align::Centre);
        }
    }
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    for (const std::string& note :
         wrapText(cr, fonts.regular, 7,
                  "Values as measured on the worst scan; each cell a grade, coloured by its "
                  "letter: A from 3.5, B from 2.5, C from 1.5, D from 0.5.",
                  box.width)) {
        y += 9;
        drawText(cr, fonts.regular, 7, box.x, y + 6, note);
    }
}

// The settings, the bar gain, the advice and the warnings, as lines of text down `box`.
void drawNotes(cairo_t* cr, const ReportFonts& fonts, const VerifyReport& report, const Box& box)
{
    const Verification& v = report.verification;
    double y = box.y + 8;
    const auto heading = [&](const std::string& text) {
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        drawText(cr, fonts.bold, 10, box.x, y, text);
        y += 15;
    };
    const auto paragraph = [&](const std::string& text, const std::string& bullet) {
        bool first = true;
        for (const std::string& line : wrapText(cr, fonts.regular, 8, text, box.width - 10)) {
            drawText(cr, fonts.regular, 8, box.x + 10, y, line);
            drawText(cr, fonts.regular, 8, box.x, y, first ? bullet : "");
            first = false;
            y += 11;
        }
        y += 2;
    };
    heading("Settings");
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    paragraph("Grading: ISO/IEC 15416:" + editionText(v.edition), "");
    paragraph("Light: " + report.light, "");
    paragraph("Resolution: " +
                  (v.pixelsPerMm > 0 ? fixedText(v.pixelsPerMm * 25.4, 0) + " dpi" : "unknown"),
              "");
    std::string aperture = fixedText(v.aperture, 1) + " pixels";
    if (v.aperture == 0) {
        aperture = "could not be set (scans one pixel wide)";
    } else if (v.apertureMm > 0) {
        aperture = fixedText(v.apertureMm, 3) + " mm (" + aperture + ")";
    }
    paragraph("Aperture: " + aperture, "");
    std::string module = fixedText(v.moduleWidth, 2) + " pixels";
    if (v.moduleWidth == 0) {
        module = "unknown";
    } else if (v.pixelsPerMm > 0) {
        module = fixedText(v.moduleWidth / v.pixelsPerMm, 3) + " mm (" + module + ")";
    }
    paragraph("Module: " + module, "");
    if (report.advice.barGain) {
        paragraph("Bar gain: " + barGainText(*report.advice.barGain), "");
    }
    y += 6;
    heading("What to change");
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    if (report.advice.sentences.empty()) {
        paragraph("nothing: the symbol grades well", "-");
    }
    for (const std::string& sentence : report.advice.sentences) {
        paragraph(sentence, "-");
    }
    if (!report.warnings.empty()) {
        y += 6;
        heading("Warnings");
        cairo_set_source_rgb(cr, 0.7, 0.3, 0.0);
        for (const std::string& warning : report.warnings) {
            paragraph(warning, "!");
        }
    }
}

void drawPage(cairo_t* cr, const ReportFonts& fonts, const ReflectanceImage& picture,
              const VerifyReport& report)
{
    const Verification& v = report.verification;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    const std::string what =
        (v.symbology ? std::string(factsReadAs(v).title) : std::string("Symbology unknown")) +
        (v.text.empty() ? ", not decoded" : " \u201c" + v.text + "\u201d");
    drawText(cr, fonts.bold, 18, kMargin, kMargin + 16, what);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    drawText(cr, fonts.regular, 9, kMargin, kMargin + 32,
             report.image + (v.check.empty() ? "" : " \u2014 " + v.check));
    drawText(cr, fonts.regular, 9, kMargin, kMargin + 45,
             "Print quality by ISO/IEC 15416:" + editionText(v.edition) +
                 ": ten scans, each graded by its lowest parameter; the symbol by their mean");
    constexpr double kGradeWidth = 150;
    drawGrade(cr, fonts, v, {kPageWidth - kMargin - kGradeWidth, kMargin - 8, kGradeWidth, 72});
    const double middle = 430;
    drawSymbol(cr, fonts, picture, v, {kMargin, 96, middle - kMargin - 20, 200});
    drawTable(cr, fonts, v, {middle, 96, kPageWidth - kMargin - middle, 200});
    const double notes = 560;
    constexpr double kLower = 300;
    if (!v.scans.empty()) {
        const ScanResult& worst = v.scans[v.worstScan];
        std::string title = "Worst scan (" + std::to_string(v.worstScan + 1) + "): grade " +
                            gradeText(worst.grade.grade);
        if (worst.grade.grade < 4) {
            title += ", " + std::string(verifier::parameterName(worst.grade.lowest));
        }
        drawProfilePanel(cr, fonts, worst, v.pixelsPerMm,
                         {kMargin, kLower, notes - kMargin - 20, kPageHeight - kLower - kMargin},
                         title);
    }
    drawNotes(cr, fonts, report, {notes, kLower, kPageWidth - kMargin - notes, 250});
}

} // namespace

std::string reportNameProblem(const std::string& path)
{
    return pageFormat(path) ? std::string()
                            : "the report's name must end in .pdf, .png or .svg: " + path;
}

std::string writeReportPage(const ReflectanceImage& picture, const VerifyReport& report,
                            const std::string& path)
{
    const std::optional<ImageFormat> format = pageFormat(path);
    if (!format) {
        return reportNameProblem(path);
    }
    std::string problem;
    const ReportFonts fonts = reportFonts(&problem);
    if (fonts.regular == nullptr) {
        return problem;
    }
    cairo_surface_t* surface =
        *format == ImageFormat::Pdf
            ? cairo_pdf_surface_create(path.c_str(), kPageWidth, kPageHeight)
        : *format == ImageFormat::Svg
            ? cairo_svg_surface_create(path.c_str(), kPageWidth, kPageHeight)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                         static_cast<int>(kPageWidth * kPngScale),
                                         static_cast<int>(kPageHeight * kPngScale));
    cairo_t* cr = cairo_create(surface);
    if (*format == ImageFormat::Png) {
        cairo_scale(cr, kPngScale, kPngScale);
    }
    drawPage(cr, fonts, picture, report);
    cairo_destroy(cr);
    // A PDF or SVG is written as its surface is finished; an image surface is written out.
    bool written = *format == ImageFormat::Png
                       ? cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS
                       : (cairo_surface_finish(surface),
                          cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
    return written ? std::string() : "cannot write the report '" + path + "'";
}

} // namespace lorvaxen
