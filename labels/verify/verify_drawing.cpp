#include "verify_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <sstream>

#include "mono_image.h"

namespace lorvaxen {
namespace {

using verifier::Parameter;
using verifier::ScanResult;

struct Rgb
{
    double red;
    double green;
    double blue;
};

constexpr Rgb kInk{0.1, 0.1, 0.1};
constexpr Rgb kGridLine{0.88, 0.88, 0.88};
constexpr Rgb kEdgeLine{0.72, 0.72, 0.72};
constexpr Rgb kThreshold{0.0, 0.35, 0.85};
constexpr Rgb kRMax{0.1, 0.55, 0.2};
constexpr Rgb kRMin{0.55, 0.2, 0.65};
constexpr Rgb kWorstEdge{0.95, 0.5, 0.0};
constexpr Rgb kDefect{0.85, 0.1, 0.1};
constexpr Rgb kFailing{1.0, 0.85, 0.85};

// A, B, C, D and F.
constexpr std::array<Rgb, 5> kGradeColours{{
    {0.13, 0.6, 0.27},
    {0.5, 0.7, 0.13},
    {0.93, 0.68, 0.05},
    {0.93, 0.45, 0.1},
    {0.82, 0.13, 0.13},
}};

void setColour(cairo_t* cr, const Rgb& colour)
{
    cairo_set_source_rgb(cr, colour.red, colour.green, colour.blue);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

// A round step for about `count` ticks over `span`: 1, 2 or 5 times a power of ten.
double tickStep(double span, int count)
{
    if (!(span > 0)) {
        return 1;
    }
    const double rough = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double mantissa = rough / power;
    return (mantissa <= 1 ? 1 : mantissa <= 2 ? 2 : mantissa <= 5 ? 5 : 10) * power;
}

// Where the plot lies in the panel, and how a sample and a reflectance map onto it.
struct Plot
{
    double left;
    double right;
    double top;
    double bottom;
    double samples;
    double x(double sample) const { return left + sample / samples * (right - left); }
    double y(double reflectance) const { return bottom - reflectance / 100 * (bottom - top); }
};

void drawAxes(cairo_t* cr, const ReportFonts& fonts, const Plot& plot, double pixelsPerMm)
{
    cairo_set_line_width(cr, 0.5);
    for (int percent = 0; percent <= 100; percent += 20) {
        setColour(cr, kGridLine);
        line(cr, plot.left, plot.y(percent), plot.right, plot.y(percent));
        setColour(cr, kInk);
        drawText(cr, fonts.regular, 7, plot.left - 4, plot.y(percent) + 2.5,
                 std::to_string(percent), Align::Right);
    }
    const double perUnit = pixelsPerMm > 0 ? pixelsPerMm : 1;
    const double step = tickStep(plot.samples / perUnit, 8);
    for (double at = 0; at * perUnit <= plot.samples; at += step) {
        const double x = plot.x(at * perUnit);
        setColour(cr, kInk);
        line(cr, x, plot.bottom, x, plot.bottom + 3);
        drawText(cr, fonts.regular, 7, x, plot.bottom + 11, formatDecimal(at, 3), Align::Centre);
    }
    cairo_set_line_width(cr, 0.8);
    setColour(cr, kInk);
    cairo_rectangle(cr, plot.left, plot.top, plot.right - plot.left, plot.bottom - plot.top);
    cairo_stroke(cr);
    drawText(cr, fonts.regular, 7.5, (plot.left + plot.right) / 2, plot.bottom + 22,
             pixelsPerMm > 0 ? "position along the scan (mm)" : "position along the scan (pixels)",
             Align::Centre);
    cairo_save(cr);
    cairo_translate(cr, plot.left - 22, (plot.top + plot.bottom) / 2);
    cairo_rotate(cr, -std::numbers::pi / 2);
    drawText(cr, fonts.regular, 7.5, 0, 0, "reflectance (%)", Align::Centre);
    cairo_restore(cr);
}

// The elements the lowest parameter fails on, shaded, as [first, last]; none when it passes.
void shadeFailing(cairo_t* cr, const ScanResult& scan, const Plot& plot)
{
    const auto& analysis = scan.analysis;
    const auto& elements = analysis.elements;
    const Parameter failing = scan.grade.lowest;
    if (scan.grade.grade >= 4 || elements.empty()) {
        return;
    }
    setColour(cr, kFailing);
    const auto shade = [&](std::size_t first, std::size_t last) {
        const double from = plot.x(elements[first].start);
        cairo_rectangle(cr, from, plot.top, plot.x(elements[last].end) - from,
                        plot.bottom - plot.top);
        cairo_fill(cr);
    };
    const bool bars = analysis.hasBars;
    if ((failing == Parameter::Decode || failing == Parameter::Decodability) && bars) {
        const auto& decoded = scan.decoded;
        const std::size_t first = analysis.firstBar + (decoded.ok ? decoded.worstFirst : 0);
        shade(first, std::min(elements.size() - 1,
                              decoded.ok ? first + decoded.worstCount - 1 : analysis.lastBar));
    } else if (failing == Parameter::QuietZone && bars) {
        if (analysis.firstBar > 0) {
            shade(0, analysis.firstBar - 1);
        }
        if (analysis.lastBar + 1 < elements.size()) {
            shade(analysis.lastBar + 1, elements.size() - 1);
        }
    }
}

// A level across the plot, named at its right end.
void drawLevel(cairo_t* cr, const ReportFonts& fonts, const Plot& plot, double level,
               const Rgb& colour, const std::string& name, bool dashed)
{
    setColour(cr, colour);
    cairo_set_line_width(cr, 0.9);
    const std::array<double, 2> dashes{4, 2.5};
    cairo_set_dash(cr, dashes.data(), dashed ? 2 : 0, 0);
    line(cr, plot.left, plot.y(level), plot.right, plot.y(level));
    cairo_set_dash(cr, nullptr, 0, 0);
    // On a white ground, so that the profile behind does not hide it.
    const std::string text = name + " " + formatDecimal(level, 1) + "%";
    cairo_set_font_face(cr, fonts.bold);
    cairo_set_font_size(cr, 7);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    const double y = std::max(plot.top + 9, std::min(plot.y(level) - 2.5, plot.bottom - 3));
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_rectangle(cr, plot.right - 5 - extents.x_advance, y - 7, extents.x_advance + 4, 9);
    cairo_fill(cr);
    setColour(cr, colour);
    drawText(cr, fonts.bold, 7, plot.right - 3, y, text, Align::Right);
}

// The edge of least contrast and the element with the largest defect.
void markWorst(cairo_t* cr, const ReportFonts& fonts, const ScanResult& scan, const Plot& plot)
{
    const auto& analysis = scan.analysis;
    const auto& elements = analysis.elements;
    const std::size_t at = analysis.edgeContrastMinAt;
    if (at > 0 && at < elements.size()) {
        const double x = plot.x(elements[at].start);
        setColour(cr, kWorstEdge);
        cairo_set_line_width(cr, 1.6);
        line(cr, x, plot.y(elements[at - 1].reflectance), x, plot.y(elements[at].reflectance));
        drawText(cr, fonts.bold, 7, x, plot.top - 2, "worst edge", Align::Centre);
    }
    const std::size_t defect = analysis.nonUniformityMaxAt;
    if (analysis.nonUniformityMax > 0 && defect < elements.size()) {
        const verifier::Element& element = elements[defect];
        // A bar's reflectance is its lowest, a space's its highest: the defect reaches from there.
        const double from = element.reflectance;
        const double to =
            element.dark ? from + analysis.nonUniformityMax : from - analysis.nonUniformityMax;
        const double x0 = plot.x(element.start);
        const double x1 = plot.x(element.end);
        cairo_set_source_rgba(cr, kDefect.red, kDefect.green, kDefect.blue, 0.25);
        cairo_rectangle(cr, x0, plot.y(std::max(from, to)), x1 - x0,
                        std::abs(plot.y(from) - plot.y(to)));
        cairo_fill(cr);
        setColour(cr, kDefect);
        drawText(cr, fonts.bold, 7, (x0 + x1) / 2, plot.y(std::max(from, to)) - 3, "largest defect",
                 Align::Centre);
    }
}

void drawLegend(cairo_t* cr, const ReportFonts& fonts, double x, double y)
{
    struct Entry
    {
        Rgb colour;
        const char* name;
    };
    for (const Entry& entry :
         {Entry{kInk, "profile"}, Entry{kThreshold, "global threshold"},
          Entry{kEdgeLine, "element edges"}, Entry{kWorstEdge, "worst edge"},
          Entry{kDefect, "largest defect"}, Entry{kFailing, "where the lowest parameter fails"}}) {
        setColour(cr, entry.colour);
        cairo_rectangle(cr, x, y - 5, 12, 5);
        cairo_fill(cr);
        setColour(cr, kInk);
        drawText(cr, fonts.regular, 7, x + 15, y, entry.name);
        cairo_text_extents_t extents{};
        cairo_text_extents(cr, entry.name, &extents);
        x += 15 + extents.x_advance + 10;
    }
}

} // namespace

void drawText(cairo_t* cr, cairo_font_face_t* face, double size, double x, double y,
              const std::string& text, Align align)
{
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    const double shift = align == Align::Left     ? 0
                         : align == Align::Centre ? extents.x_advance / 2
                                                  : extents.x_advance;
    cairo_move_to(cr, x - shift, y);
    cairo_show_text(cr, text.c_str());
}

std::vector<std::string> wrapText(cairo_t* cr, cairo_font_face_t* face, double size,
                                  const std::string& text, double width)
{
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string current;
    for (std::string word; words >> word;) {
        std::string longer = current;
        longer += (current.empty() ? "" : " ") + word;
        cairo_text_extents_t extents{};
        cairo_text_extents(cr, longer.c_str(), &extents);
        if (extents.x_advance > width && !current.empty()) {
            lines.push_back(current);
            current = word;
        } else {
            current = longer;
        }
    }
    if (!current.empty()) {
        lines.push_back(current);
    }
    return lines;
}

void setGradeColour(cairo_t* cr, double grade, bool light)
{
    const char letter = verifier::gradeLetter(grade);
    const std::size_t index = letter == 'F' ? 4 : static_cast<std::size_t>(letter - 'A');
    const Rgb& colour = kGradeColours[index];
    // A light cell is the colour mixed with four parts of white.
    const double keep = light ? 0.25 : 1;
    cairo_set_source_rgb(cr, 1 - keep * (1 - colour.red), 1 - keep * (1 - colour.green),
                         1 - keep * (1 - colour.blue));
}

void drawProfilePanel(cairo_t* cr, const ReportFonts& fonts, const ScanResult& scan,
                      double pixelsPerMm, const Box& box, const std::string& title)
{
    const auto& analysis = scan.analysis;
    const Plot plot{box.x + 38, box.x + box.width - 6, box.y + 38, box.y + box.height - 28,
                    static_cast<double>(std::max<std::size_t>(scan.profile.size(), 1))};
    setColour(cr, kInk);
    drawText(cr, fonts.bold, 10, box.x, box.y + 10, title);
    drawLegend(cr, fonts, box.x, box.y + 23);
    shadeFailing(cr, scan, plot);
    drawAxes(cr, fonts, plot, pixelsPerMm);
    setColour(cr, kEdgeLine);
    cairo_set_line_width(cr, 0.4);
    for (std::size_t i = 1; i < analysis.elements.size(); ++i) {
        const double x = plot.x(analysis.elements[i].start);
        line(cr, x, plot.top, x, plot.bottom);
    }
    drawLevel(cr, fonts, plot, analysis.rMax, kRMax, "Rmax", false);
    drawLevel(cr, fonts, plot, analysis.rMin, kRMin, "Rmin", false);
    drawLevel(cr, fonts, plot, analysis.threshold, kThreshold, "threshold", true);
    markWorst(cr, fonts, scan, plot);
    // The profile, each sample at its centre.
    setColour(cr, kInk);
    cairo_set_line_width(cr, 0.8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (std::size_t i = 0; i < scan.profile.size(); ++i) {
        const double x = plot.x(static_cast<double>(i) + 0.5);
        const double y = plot.y(scan.profile[i]);
        if (i == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_stroke(cr);
}

} // namespace lorvaxen
