#include "sheet_layout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

#include "mono_image.h"

namespace lorvaxen {
namespace {

constexpr double kMmPerInch = 25.4;

constexpr std::array kPapers{
    Paper{.name = "a4", .widthMm = 210, .heightMm = 297},
    Paper{.name = "letter", .widthMm = 8.5 * kMmPerInch, .heightMm = 11 * kMmPerInch},
};

// The sheets most sold for address and product labels, with the pitch and margins their makers
// publish: 70 x 37 mm cells that touch, 0.5 mm from the top; 63.5 x 38.1 mm (2.5 x 1.5 in)
// with a gap of 0.1 in between columns; 2.625 x 1 in with a gap of 1/8 in, half an inch from
// the top.
constexpr std::array kNamedLayouts{
    SheetLayout{.name = "a4-3x8",
                .paper = "a4",
                .pageWidthMm = 210,
                .pageHeightMm = 297,
                .columns = 3,
                .rows = 8,
                .cellWidthMm = 70,
                .cellHeightMm = 37,
                .pitchXMm = 70,
                .pitchYMm = 37,
                .leftMm = 0,
                .topMm = 0.5},
    SheetLayout{.name = "a4-3x7",
                .paper = "a4",
                .pageWidthMm = 210,
                .pageHeightMm = 297,
                .columns = 3,
                .rows = 7,
                .cellWidthMm = 63.5,
                .cellHeightMm = 38.1,
                .pitchXMm = 66.04,
                .pitchYMm = 38.1,
                .leftMm = 7.21,
                .topMm = 15.15},
    SheetLayout{.name = "letter-3x10",
                .paper = "letter",
                .pageWidthMm = 8.5 * kMmPerInch,
                .pageHeightMm = 11 * kMmPerInch,
                .columns = 3,
                .rows = 10,
                .cellWidthMm = 2.625 * kMmPerInch,
                .cellHeightMm = 1 * kMmPerInch,
                .pitchXMm = 2.75 * kMmPerInch,
                .pitchYMm = 1 * kMmPerInch,
                .leftMm = 0.1875 * kMmPerInch,
                .topMm = 0.5 * kMmPerInch},
};

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Lengths compared to a thousandth of a millimetre: a layout given in inches or points comes to
// its millimetres only that nearly.
constexpr double kSlackMm = 1e-3;

std::string mm(double value)
{
    return formatDecimal(value, 2) + " mm";
}

} // namespace

std::span<const Paper> papers()
{
    return kPapers;
}

const Paper* findPaper(std::string_view name)
{
    const auto* found = std::ranges::find_if(
        kPapers, [&](const Paper& paper) { return sameName(paper.name, name); });
    return found == kPapers.end() ? nullptr : found;
}

std::span<const SheetLayout> namedSheetLayouts()
{
    return kNamedLayouts;
}

const SheetLayout* findSheetLayout(std::string_view name)
{
    const auto* found = std::ranges::find_if(
        kNamedLayouts, [&](const SheetLayout& layout) { return sameName(layout.name, name); });
    return found == kNamedLayouts.end() ? nullptr : found;
}

SheetLayout gridLayout(const Paper& paper, int columns, int rows, double cellWidthMm,
                       double cellHeightMm, std::optional<std::pair<double, double>> pitchMm,
                       std::optional<std::pair<double, double>> marginsMm)
{
    SheetLayout layout{.name = {},
                       .paper = paper.name,
                       .pageWidthMm = paper.widthMm,
                       .pageHeightMm = paper.heightMm,
                       .columns = columns,
                       .rows = rows,
                       .cellWidthMm = cellWidthMm,
                       .cellHeightMm = cellHeightMm,
                       .pitchXMm = 0,
                       .pitchYMm = 0,
                       .leftMm = 0,
                       .topMm = 0};
    const auto [pitchX, pitchY] = pitchMm.value_or(std::pair{cellWidthMm, cellHeightMm});
    layout.pitchXMm = pitchX;
    layout.pitchYMm = pitchY;
    const double gridWidth = (columns - 1) * pitchX + cellWidthMm;
    const double gridHeight = (rows - 1) * pitchY + cellHeightMm;
    const auto [left, top] = marginsMm.value_or(
        std::pair{(paper.widthMm - gridWidth) / 2, (paper.heightMm - gridHeight) / 2});
    layout.leftMm = left;
    layout.topMm = top;
    return layout;
}

std::string sheetLayoutProblem(const SheetLayout& layout)
{
    if (layout.columns < 1 || layout.rows < 1) {
        return "a sheet has at least one column and one row";
    }
    if (layout.cellWidthMm <= 0 || layout.cellHeightMm <= 0) {
        return "a sheet's labels have a width and a height";
    }
    if (layout.pitchXMm < layout.cellWidthMm - kSlackMm ||
        layout.pitchYMm < layout.cellHeightMm - kSlackMm) {
        return "a pitch of " + mm(layout.pitchXMm) + " x " + mm(layout.pitchYMm) +
               " would overlap labels of " + mm(layout.cellWidthMm) + " x " +
               mm(layout.cellHeightMm) + ": the pitch is a label and the gap after it";
    }
    const double right =
        layout.leftMm + (layout.columns - 1) * layout.pitchXMm + layout.cellWidthMm;
    const double bottom = layout.topMm + (layout.rows - 1) * layout.pitchYMm + layout.cellHeightMm;
    if (layout.leftMm < -kSlackMm || layout.topMm < -kSlackMm ||
        right > layout.pageWidthMm + kSlackMm || bottom > layout.pageHeightMm + kSlackMm) {
        return "the labels reach " + mm(layout.leftMm) + " to " + mm(right) + " across and " +
               mm(layout.topMm) + " to " + mm(bottom) + " down a page of " +
               mm(layout.pageWidthMm) + " x " + mm(layout.pageHeightMm) + ": they must fit on it";
    }
    return "";
}

std::string describeSheet(const SheetLayout& layout)
{
    // Letter sheets are cut in inches, and known by them.
    const bool inches = layout.paper == "letter";
    const auto length = [&](double mm) {
        return inches ? formatDecimal(mm / kMmPerInch, 4) : formatDecimal(mm, 2);
    };
    return std::string(inches                 ? "Letter"
                       : layout.paper == "a4" ? "A4"
                                              : layout.paper) +
           ", " + std::to_string(layout.columns) + " x " + std::to_string(layout.rows) +
           " labels of " + length(layout.cellWidthMm) + " x " + length(layout.cellHeightMm) +
           (inches ? " in" : " mm");
}

} // namespace lorvaxen
