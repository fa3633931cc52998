// Sheets of labels: a page cut into a grid of equal labels, as office printers take them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lorvaxen {

struct Paper
{
    std::string_view name; // "a4", "letter"
    double widthMm;
    double heightMm;
};

// A4 and Letter, upright.
std::span<const Paper> papers();
const Paper* findPaper(std::string_view name); // in any case

struct SheetLayout
{
    std::string_view name;  // a named layout's name; empty for one given in full
    std::string_view paper; // its paper's name
    double pageWidthMm = 0;
    double pageHeightMm = 0;
    int columns = 0;
    int rows = 0;
    double cellWidthMm = 0; // one label of the sheet
    double cellHeightMm = 0;
    // From one cell's left (top) edge to the next one's: the cell and the gap after it.
    double pitchXMm = 0;
    double pitchYMm = 0;
    // From the page's left (top) edge to the first cell's.
    double leftMm = 0;
    double topMm = 0;

    int cells() const { return columns * rows; }
};

// Common sheets, by the name their paper and grid give them: "a4-3x8", "a4-3x7", "letter-3x10".
std::span<const SheetLayout> namedSheetLayouts();
const SheetLayout* findSheetLayout(std::string_view name); // in any case

// A grid given by its cells: without a pitch the cells touch, and without margins the grid is
// centred on the page, as most sheets are cut.
SheetLayout gridLayout(const Paper& paper, int columns, int rows, double cellWidthMm,
                       double cellHeightMm, std::optional<std::pair<double, double>> pitchMm,
                       std::optional<std::pair<double, double>> marginsMm);

// What makes a layout one no sheet can have: cells that overlap or leave the page, or none.
// Empty when it is sound.
std::string sheetLayoutProblem(const SheetLayout& layout);

// "A4, 3 x 8 labels of 70 x 37 mm", "Letter, 3 x 10 labels of 2.625 x 1 in": for reports.
std::string describeSheet(const SheetLayout& layout);

} // namespace lorvaxen
