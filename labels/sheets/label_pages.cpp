#include "label_pages.h"

#include <cairo-pdf.h>

#include "cairo_drawing.h"
#include "mono_image.h"

namespace lorvaxen {
namespace {

// A label as wide as its cell fits it, though inches or points come to millimetres only nearly.
constexpr double kSlackMm = 1e-3;

std::string sizeMm(double widthMm, double heightMm)
{
    return formatDecimal(widthMm, 2) + " x " + formatDecimal(heightMm, 2) + " mm";
}

} // namespace

LabelPages::LabelPages(std::FILE* file, std::optional<SheetPlacement> sheet)
    : sheet_(sheet), file_(file)
{
    // A roll's page takes each label's size before the label is drawn on it.
    const double widthPt = sheet_ ? sheet_->layout.pageWidthMm * kPointsPerMm : 72;
    const double heightPt = sheet_ ? sheet_->layout.pageHeightMm * kPointsPerMm : 72;
    surface_ = cairo_pdf_surface_create_for_stream(writeToFile, file_, widthPt, heightPt);
    cr_ = cairo_create(surface_);
    if (sheet_) {
        nextCell_ = sheet_->firstCell - 1;
    }
}

LabelPages::~LabelPages()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

PagePlace LabelPages::add(const Label& label)
{
    const auto [widthPt, heightPt] = labelSizePt(label);
    double x = 0;
    double y = 0;
    if (sheet_) {
        const SheetLayout& layout = sheet_->layout;
        const double widthMm = widthPt / kPointsPerMm;
        const double heightMm = heightPt / kPointsPerMm;
        if (widthMm > layout.cellWidthMm + kSlackMm || heightMm > layout.cellHeightMm + kSlackMm) {
            return {.problem = "the label is " + sizeMm(widthMm, heightMm) +
                               " and the sheet's labels " +
                               sizeMm(layout.cellWidthMm, layout.cellHeightMm) +
                               ": it needs labels of at least " + sizeMm(widthMm, heightMm) +
                               ", or a smaller barcode (a barcode is never scaled to fit)"};
        }
        if (nextCell_ == layout.cells()) {
            cairo_show_page(cr_);
            ++page_;
            nextCell_ = 0;
        }
        // Centred in its cell, so that a label smaller than the cell keeps even margins.
        const int column = nextCell_ % layout.columns;
        const int row = nextCell_ / layout.columns;
        x = (layout.leftMm + column * layout.pitchXMm + sheet_->offsetXMm +
             (layout.cellWidthMm - widthMm) / 2) *
            kPointsPerMm;
        y = (layout.topMm + row * layout.pitchYMm + sheet_->offsetYMm +
             (layout.cellHeightMm - heightMm) / 2) *
            kPointsPerMm;
    } else {
        if (labels_ > 0) {
            cairo_show_page(cr_);
            ++page_;
        }
        cairo_pdf_surface_set_size(surface_, widthPt, heightPt);
    }
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    drawLabel(cr_, label);
    cairo_restore(cr_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        return {.problem = std::string("the PDF could not be written: ") +
                           cairo_status_to_string(cairo_surface_status(surface_))};
    }
    ++labels_;
    ++nextCell_;
    return {.page = page_, .cell = sheet_ ? nextCell_ : 1, .problem = {}};
}

bool LabelPages::finish()
{
    if (finished_) {
        return false;
    }
    finished_ = true;
    cairo_surface_finish(surface_);
    return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS && std::fflush(file_) == 0 &&
           std::ferror(file_) == 0;
}

} // namespace lorvaxen
