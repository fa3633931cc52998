// Labels on the pages of one PDF, taken one at a time as they are made, so that a batch of any
// length is never held in memory: laid out in the cells of a sheet, or one to a page of the
// label's own size for a printer of labels on a roll.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include <cairo.h>

#include "label.h"
#include "sheet_layout.h"

namespace lorvaxen {

// Where the labels go on a sheet.
struct SheetPlacement
{
    SheetLayout layout;
    int firstCell = 1; // of the first page, counted across and then down from 1
    // Everything moved this far right and down, to make up for a printer's own offset.
    double offsetXMm = 0;
    double offsetYMm = 0;
};

// Where a label went, or why it did not.
struct PagePlace
{
    int page = 0; // from 1
    int cell = 0; // from 1, across and then down; 1 on a roll
    std::string problem;
};

class LabelPages
{
  public:
    // A sheet's pages when `sheet` is given, else a roll's; written to `file`, open for writing
    // until finish().
    LabelPages(std::FILE* file, std::optional<SheetPlacement> sheet);
    LabelPages(const LabelPages&) = delete;
    LabelPages& operator=(const LabelPages&) = delete;
    ~LabelPages();

    // Draws the label in the next free cell, centred in it, or on a page of its own: as exactly
    // as a PDF of the label alone. A label larger than a sheet's cell is refused, naming the
    // cell it needs, and leaves the cell free; a barcode is never scaled.
    PagePlace add(const Label& label);

    int labels() const { return labels_; }
    int pages() const { return labels_ == 0 ? 0 : page_; }

    // Ends the last page and the file: false when the file could not take it.
    bool finish();

  private:
    std::optional<SheetPlacement> sheet_;
    std::FILE* file_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    int page_ = 1;
    int nextCell_ = 0; // from 0 on the current page
    int labels_ = 0;
    bool finished_ = false;
};

} // namespace lorvaxen
