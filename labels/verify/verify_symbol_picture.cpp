// The symbol in verify's report: the scans' rows cropped to the symbol and its margins, drawn in
// grey (turned back when the image lay turned), with each scan line in its grade's colour.
#include "verify_symbol_picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lorvaxen {
namespace {

using verifier::ReflectanceImage;
using verifier::ScanResult;
using verifier::Verification;

// The symbol's picture is drawn from at most this many pixels across.
constexpr double kMostImagePixels = 1200;

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

} // namespace

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

} // namespace lorvaxen
