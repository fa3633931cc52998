#include "verify_page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include "mono_image.h"
#include "verify_drawing.h"

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
// The symbol's picture is drawn from at most this many pixels across.
constexpr double kMostImagePixels = 1200;

enum class PageFormat { Pdf, Png, Svg };

std::optional<PageFormat> pageFormat(const std::string& path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot + 1);
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "pdf") {
        return PageFormat::Pdf;
    }
    if (extension == "png") {
        return PageFormat::Png;
    }
    if (extension == "svg") {
        return PageFormat::Svg;
    }
    return std::nullopt;
}

// The image as the scans saw it: its rows are the scan's rows, also when it lay turned (then the
// image's columns, read as the verifier reads them: mirrored about the diagonal).
struct Working
{
    const ReflectanceImage& picture;
    bool turned;
    int32_t width() const { return turned ? picture.height() : picture.width(); }
    int32_t height() const { return turned ? picture.width() : picture.height(); }
    double at(int32_t x, int32_t y) const { return turned ? picture.at(y, x) : picture.at(x, y); }
};

// The part of the working image to show: the symbol, its quiet zones and a little above and below.
struct Crop
{
    int32_t x0;
    int32_t y0;
    int32_t x1; // one past
    int32_t y1;
};

double scanRowAt(const Verification& v, const ScanResult& scan, double x, int32_t width)
{
    return scan.row + v.slope * (x + 0.5 - width / 2.0);
}

Crop cropOf(const Verification& v, const Working& image)
{
    Crop crop{0, 0, image.width(), image.height()};
    if (v.scans.empty()) {
        return crop;
    }
    crop.x0 = image.width();
    crop.x1 = 0;
    for (const ScanResult& scan : v.scans) {
        crop.x0 = std::min(crop.x0, static_cast<int32_t>(scan.profileFrom));
        crop.x1 = std::max(crop.x1, static_cast<int32_t>(scan.profileFrom + scan.profile.size()));
    }
    crop.x0 = std::min(crop.x0, image.width() - 1);
    crop.x1 = std::clamp(crop.x1, crop.x0 + 1, image.width());
    const int32_t height = v.bottom - v.top + 1;
    // The text under the bars, or over them in a turned image.
    const double above = v.turned ? 0.45 : 0.2;
    double top = v.top - above * height;
    double bottom = v.bottom + 0.45 * height;
    for (const double x : {double(crop.x0), double(crop.x1)}) {
        top = std::min(top, scanRowAt(v, v.scans.front(), x, image.width()) - 0.2 * height);
        bottom = std::max(bottom, scanRowAt(v, v.scans.back(), x, image.width()) + 0.2 * height);
    }
    crop.y0 = std::clamp(static_cast<int32_t>(std::floor(top)), 0, image.height() - 1);
    crop.y1 = std::clamp(static_cast<int32_t>(std::ceil(bottom)), crop.y0 + 1, image.height());
    return crop;
}

// The crop in grey, each pixel of the picture the mean of the block of the image it covers.
cairo_surface_t* greyPicture(const Working& image, const Crop& crop, double* step)
{
    const double width = crop.x1 - crop.x0;
    const double height = crop.y1 - crop.y0;
    *step = std::max({1.0, width / kMostImagePixels, height / kMostImagePixels});
    const int columns = std::max(1, static_cast<int>(width / *step));
    const int rows = std::max(1, static_cast<int>(height / *step));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, rows);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < rows && data != nullptr; ++row) {
        const auto fromY = crop.y0 + static_cast<int32_t>(row * *step);
        const auto toY = std::max(fromY + 1, crop.y0 + static_cast<int32_t>((row + 1) * *step));
        auto* pixels =
            reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int column = 0; column < columns; ++column) {
            const auto fromX = crop.x0 + static_cast<int32_t>(column * *step);
            const auto toX =
                std::max(fromX + 1, crop.x0 + static_cast<int32_t>((column + 1) * *step));
            double sum = 0;
            for (int32_t y = fromY; y < std::min(toY, crop.y1); ++y) {
                for (int32_t x = fromX; x < std::min(toX, crop.x1); ++x) {
                    sum += image.at(x, y);
                }
            }
            const double mean =
                sum / ((std::min(toY, crop.y1) - fromY) * (std::min(toX, crop.x1) - fromX));
            const auto level = static_cast<uint32_t>(std::clamp(mean * 2.55, 0.0, 255.0));
            // A turned image is shown turned back, not mirrored, so that its text reads as
            // printed (though perhaps upside down).
            pixels[image.turned ? columns - 1 - column : column] = level << 16 | level << 8 | level;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// The symbol, fitted into `box`, with its scan lines coloured by their grades.
void drawSymbol(cairo_t* cr, const ReportFonts& fonts, const ReflectanceImage& picture,
                const Verification& v, const Box& box)
{
    const Working image{picture, v.turned};
    const Crop crop = cropOf(v, image);
    double step = 1;
    cairo_surface_t* grey = greyPicture(image, crop, &step);
    const double width = crop.x1 - crop.x0;
    const double height = crop.y1 - crop.y0;
    constexpr double kCaption = 14;
    const double scale = std::min((box.width - 16) / width, (box.height - 16 - kCaption) / height);
    const double left = box.x + 16 + (box.width - 16 - width * scale) / 2;
    const double top = box.y + 16;
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, scale * step, scale * step);
    cairo_set_source_surface(cr, grey, 0, 0);
    // A small image's pixels are shown as squares rather than smoothed away.
    cairo_pattern_set_filter(cairo_get_source(cr),
                             scale * step > 2 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(grey);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.5);
    cairo_rectangle(cr, left, top, width * scale, height * scale);
    cairo_stroke(cr);
    double labelled = -1e9;
    for (std::size_t i = 0; i < v.scans.size(); ++i) {
        const ScanResult& scan = v.scans[i];
        const auto x0 = static_cast<double>(scan.profileFrom);
        const double x1 = x0 + static_cast<double>(scan.profile.size());
        const auto at = [&](double x) {
            return top + (scanRowAt(v, scan, x, image.width()) + 0.5 - crop.y0) * scale;
        };
        // Across the picture, turned back as it is shown.
        const auto across = [&](double x) {
            return left + (v.turned ? crop.x1 - x : x - crop.x0) * scale;
        };
        setGradeColour(cr, scan.grade.grade);
        cairo_set_line_width(cr, i == v.worstScan ? 1.8 : 1.0);
        cairo_move_to(cr, across(x0), at(x0));
        cairo_line_to(cr, across(x1), at(x1));
        cairo_stroke(cr);
        // Numbers too close to the last one drawn are left out, but for the last and the worst.
        const double y = at(v.turned ? x1 : x0);
        if (y - labelled >= 7 || i == v.worstScan || i + 1 == v.scans.size()) {
            drawText(cr, fonts.bold, 6, left - 3, y + 2, std::to_string(i + 1), Align::Right);
            labelled = y;
        }
    }
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    drawText(cr, fonts.regular, 7, box.x + 16, top + height * scale + 11,
             "Each scan line in the colour of its grade's letter; the worst (" +
                 std::to_string(v.worstScan + 1) + ") drawn thicker.");
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    drawText(cr, fonts.bold, 10, box.x, box.y + 8,
             v.turned ? "The symbol (turned) and its ten scan lines"
                      : "The symbol and its ten scan lines");
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

bool isReportName(const std::string& path)
{
    return pageFormat(path).has_value();
}

std::string writeReportPage(const ReflectanceImage& picture, const VerifyReport& report,
                            const std::string& path)
{
    const std::optional<PageFormat> format = pageFormat(path);
    std::string problem;
    const ReportFonts fonts = reportFonts(&problem);
    if (!format || fonts.regular == nullptr) {
        return format ? problem : "the report's name must end in .pdf, .png or .svg: " + path;
    }
    cairo_surface_t* surface =
        *format == PageFormat::Pdf ? cairo_pdf_surface_create(path.c_str(), kPageWidth, kPageHeight)
        : *format == PageFormat::Svg
            ? cairo_svg_surface_create(path.c_str(), kPageWidth, kPageHeight)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                         static_cast<int>(kPageWidth * kPngScale),
                                         static_cast<int>(kPageHeight * kPngScale));
    cairo_t* cr = cairo_create(surface);
    if (*format == PageFormat::Png) {
        cairo_scale(cr, kPngScale, kPngScale);
    }
    drawPage(cr, fonts, picture, report);
    cairo_destroy(cr);
    // A PDF or SVG is written as its surface is finished; an image surface is written out.
    bool written = *format == PageFormat::Png
                       ? cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS
                       : (cairo_surface_finish(surface),
                          cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
    return written ? std::string() : "cannot write the report '" + path + "'";
}

} // namespace lorvaxen
