// PDF and EPS through cairo: the label's drawing at its size in millimetres, in points.
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <string_view>

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

#include "cairo_drawing.h"
#include "writers.h"

namespace lorvaxen {
namespace {

// An EPS's header as cairo writes it, with the bounding boxes of the label's whole size: cairo
// gives the ink's, in whole points, which leaves out the light margins of a label on a transparent
// background. %%BoundingBox is rounded outwards, %%HiResBoundingBox exact; what follows the page's
// setup goes through untouched.
class EpsHeader
{
  public:
    EpsHeader(std::FILE* file, double widthPt, double heightPt)
        : file_(file), widthPt_(widthPt), heightPt_(heightPt)
    {
    }

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length)
    {
        auto& header = *static_cast<EpsHeader*>(closure);
        const std::string_view bytes(reinterpret_cast<const char*>(data), length);
        return header.take(bytes) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
    }

    // Whatever is held of an unfinished line, written.
    bool finish() { return put(line_); }

  private:
    bool take(std::string_view bytes)
    {
        while (!done_ && !bytes.empty()) {
            const std::size_t end = bytes.find('\n');
            line_ += bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
            bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
            if (end == std::string_view::npos) {
                return true;
            }
            if (!put(rewritten(line_))) {
                return false;
            }
            done_ = line_.starts_with("%%EndPageSetup");
            line_.clear();
        }
        return put(bytes);
    }

    std::string rewritten(const std::string& line) const
    {
        char box[160];
        if (line.starts_with("%%BoundingBox:")) {
            std::snprintf(box, sizeof box,
                          "%%%%BoundingBox: 0 0 %.0f %.0f\n%%%%HiResBoundingBox: 0 0 %.6f %.6f\n",
                          std::ceil(widthPt_ - kSlack), std::ceil(heightPt_ - kSlack), widthPt_,
                          heightPt_);
            return box;
        }
        if (line.starts_with("%%PageBoundingBox:")) {
            std::snprintf(box, sizeof box, "%%%%PageBoundingBox: 0 0 %.0f %.0f\n",
                          std::ceil(widthPt_ - kSlack), std::ceil(heightPt_ - kSlack));
            return box;
        }
        return line;
    }

    bool put(std::string_view bytes) const
    {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }

    // A size of whole points that floating point puts a hair over stays whole.
    static constexpr double kSlack = 1e-6;
    std::FILE* file_;
    double widthPt_;
    double heightPt_;
    std::string line_;
    bool done_ = false;
};

void setColour(cairo_t* cr, const Colour& colour)
{
    cairo_set_source_rgb(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

// One glyph's outline as a path of the current drawing, at its pen origin and size.
void appendGlyph(cairo_t* cr, const Label& label, const Glyph& glyph)
{
    const double scale = label.emPx * glyph.scale / label.font->unitsPerEm();
    cairo_save(cr);
    cairo_translate(cr, glyph.penX, drawnY(label, glyph.baselineY));
    cairo_scale(cr, scale, -scale); // fonts have y upwards
    double x = 0;
    double y = 0;
    for (const OutlineCommand& command : label.font->outline(glyph.c)) {
        const auto& p = command.points;
        switch (command.op) {
        case 'M':
            cairo_move_to(cr, p[0], p[1]);
            break;
        case 'L':
            cairo_line_to(cr, p[0], p[1]);
            break;
        case 'Q': // a quadratic curve as the cubic that traces it
            cairo_curve_to(cr, x + 2.0 / 3 * (p[0] - x), y + 2.0 / 3 * (p[1] - y),
                           p[2] + 2.0 / 3 * (p[0] - p[2]), p[3] + 2.0 / 3 * (p[1] - p[3]), p[2],
                           p[3]);
            break;
        case 'C':
            cairo_curve_to(cr, p[0], p[1], p[2], p[3], p[4], p[5]);
            break;
        default:
            cairo_close_path(cr);
            break;
        }
        cairo_get_current_point(cr, &x, &y);
    }
    cairo_restore(cr);
}

bool writeCairo(const Label& label, std::FILE* file, bool eps)
{
    const auto [widthPt, heightPt] = labelSizePt(label);
    EpsHeader header(file, widthPt, heightPt);
    cairo_surface_t* surface =
        eps ? cairo_ps_surface_create_for_stream(EpsHeader::write, &header, widthPt, heightPt)
            : cairo_pdf_surface_create_for_stream(writeToFile, file, widthPt, heightPt);
    if (eps) {
        cairo_ps_surface_set_eps(surface, 1);
    }
    cairo_t* cr = cairo_create(surface);
    drawLabel(cr, label);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written =
        cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && (!eps || header.finish());
    cairo_surface_destroy(surface);
    return written && std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length)
{
    return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
}

std::pair<double, double> labelSizePt(const Label& label)
{
    const auto [width, height] = turnedSize(label, label.image.width, drawnHeightPx(label));
    return {width * label.pixelMm * kPointsPerMm, height * label.pixelMm * kPointsPerMm};
}

void drawLabel(cairo_t* cr, const Label& label)
{
    const double width = label.image.width;
    const double height = drawnHeightPx(label);
    const auto [turnedWidth, turnedHeight] = turnedSize(label, width, height);
    cairo_scale(cr, label.pixelMm * kPointsPerMm, label.pixelMm * kPointsPerMm);
    if (label.paint.background) {
        setColour(cr, *label.paint.background);
        cairo_rectangle(cr, 0, 0, turnedWidth, turnedHeight);
        cairo_fill(cr);
    }
    // The turn about the origin, moved back onto the page.
    if (label.rotation == 90) {
        cairo_translate(cr, height, 0);
    } else if (label.rotation == 180) {
        cairo_translate(cr, width, height);
    } else if (label.rotation == 270) {
        cairo_translate(cr, 0, width);
    }
    cairo_rotate(cr, label.rotation * std::numbers::pi / 180);
    setColour(cr, label.paint.ink);
    for (const Rect& rect : barRects(label)) {
        cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    }
    cairo_fill(cr);
    for (const Glyph& glyph : label.glyphs) {
        appendGlyph(cr, label, glyph);
    }
    cairo_fill(cr);
}

bool writePdf(const Label& label, std::FILE* file)
{
    return writeCairo(label, file, false);
}

bool writeEps(const Label& label, std::FILE* file)
{
    return writeCairo(label, file, true);
}

} // namespace lorvaxen
