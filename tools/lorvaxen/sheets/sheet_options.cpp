#include "sheet_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "length.h"
#include "options.h"

namespace lorvaxen::tool {
namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

// "70x37mm": two lengths, the unit after the second serving the first too when it has none.
std::optional<std::pair<double, double>> lengthPair(std::string_view text)
{
    const std::vector<std::string_view> parts = split(text, 'x');
    if (parts.size() != 2 || parts[0].empty() || parts[1].empty()) {
        return std::nullopt;
    }
    std::string first(parts[0]);
    const std::string second(parts[1]);
    const std::size_t unitAt = second.find_last_not_of("abcdefghijklmnopqrstuvwxyz ") + 1;
    if (std::isdigit(static_cast<unsigned char>(first.back())) != 0) {
        first += second.substr(unitAt);
    }
    const auto width = parseLengthMm(first);
    const auto height = parseLengthMm(second);
    if (!width || !height) {
        return std::nullopt;
    }
    return std::pair{*width, *height};
}

std::optional<std::pair<int, int>> grid(std::string_view text)
{
    const std::vector<std::string_view> parts = split(text, 'x');
    int columns = 0;
    int rows = 0;
    if (parts.size() != 2 ||
        std::from_chars(parts[0].data(), parts[0].data() + parts[0].size(), columns).ptr !=
            parts[0].data() + parts[0].size() ||
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), rows).ptr !=
            parts[1].data() + parts[1].size() ||
        columns < 1 || rows < 1 || columns > 100 || rows > 100) {
        return std::nullopt;
    }
    return std::pair{columns, rows};
}

std::string sheetForms()
{
    std::string names;
    for (const SheetLayout& layout : namedSheetLayouts()) {
        names += (names.empty() ? "" : ", ") + std::string(layout.name);
    }
    return names + ", or PAPER:COLUMNSxROWS:WIDTHxHEIGHT[:pitch=XxY][:margin=LEFTxTOP] such as "
                   "a4:3x8:70x37mm (PAPER a4 or letter)";
}

std::optional<SheetLayout> fullLayout(std::string_view text, std::string* problem)
{
    const std::vector<std::string_view> parts = split(text, ':');
    const Paper* paper = findPaper(parts[0]);
    const auto columnsRows = parts.size() >= 3 ? grid(parts[1]) : std::nullopt;
    const auto cell = parts.size() >= 3 ? lengthPair(parts[2]) : std::nullopt;
    if (paper == nullptr || !columnsRows || !cell) {
        *problem = "--sheet takes " + sheetForms() + ": not '" + std::string(text) + "'";
        return std::nullopt;
    }
    std::optional<std::pair<double, double>> pitch;
    std::optional<std::pair<double, double>> margins;
    for (std::size_t i = 3; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        const bool isPitch = part.starts_with("pitch=");
        const bool isMargin = part.starts_with("margin=");
        const auto pair = lengthPair(part.substr(part.find('=') + 1));
        if ((!isPitch && !isMargin) || !pair) {
            *problem = "--sheet: '" + std::string(part) +
                       "' is neither pitch=XxY (from one label's edge to the next's) nor "
                       "margin=LEFTxTOP (from the page's edges to the first label)";
            return std::nullopt;
        }
        (isPitch ? pitch : margins) = pair;
    }
    return gridLayout(*paper, columnsRows->first, columnsRows->second, cell->first, cell->second,
                      pitch, margins);
}

} // namespace

void addPagesOptions(CLI::App& app, PagesRequest& request)
{
    std::string named;
    for (const SheetLayout& layout : namedSheetLayouts()) {
        named += (named.empty() ? "" : ", ") + std::string(layout.name) + " (" +
                 describeSheet(layout) + ")";
    }
    app.add_option("--sheet", request.sheet,
                   "Lay the batch's labels out on the pages of one PDF (-o NAME.pdf), each "
                   "centred in a label of the sheet: " +
                       named +
                       ", or PAPER:COLUMNSxROWS:WIDTHxHEIGHT[:pitch=XxY][:margin=LEFTxTOP] "
                       "(PAPER a4 or letter; without a pitch the labels touch, without margins "
                       "they are centred on the page). Print it at 100%, not fitted to the page")
        ->type_name("LAYOUT");
    app.add_option("--start-cell", request.startCell,
                   "With --sheet: the first label of the first sheet to print on, counted across "
                   "and then down from 1, for a sheet that was partly used")
        ->check(CLI::Range(1, 10000))
        ->type_name("N");
    app.add_option("--offset", request.offset,
                   "With --sheet: move everything X right and Y down (negative: left and up), in "
                   "millimetres unless given a unit (in, mil, pt), to make up for a printer's own "
                   "offset")
        ->type_name("X,Y");
    app.add_flag("--roll", request.roll,
                 "One label a page in one PDF (-o NAME.pdf), each page the label's size, for a "
                 "printer of labels on a roll");
}

std::optional<SheetLayout> parseSheetLayout(std::string_view text, std::string* problem)
{
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (const SheetLayout* named = findSheetLayout(lower)) {
        return *named;
    }
    auto layout = fullLayout(lower, problem);
    if (layout) {
        *problem = sheetLayoutProblem(*layout);
        if (!problem->empty()) {
            *problem = "--sheet " + std::string(text) + ": " + *problem;
            return std::nullopt;
        }
    }
    return layout;
}

std::optional<std::string> applyPagesRequest(const CLI::App& app, const PagesRequest& request,
                                             const std::string& formatName, Options& options)
{
    const bool sheet = app.count("--sheet") > 0;
    for (const char* option : {"--start-cell", "--offset"}) {
        if (app.count(option) > 0 && !sheet) {
            return std::string(option) + " places labels on a sheet: give --sheet too";
        }
    }
    if (!sheet && !request.roll) {
        return std::nullopt;
    }
    const std::string name = sheet ? "--sheet" : "--roll";
    if (sheet && request.roll) {
        return "give --sheet or --roll, not both";
    }
    if (!options.batchInput) {
        return name + " places the labels of a batch: give --batch FILE (- for standard input)";
    }
    const auto format =
        formatName.empty() ? formatFromPath(options.output) : formatFromPath("." + formatName);
    if (app.count("--output") == 0 || isStandardOutput(options.output) ||
        format != ImageFormat::Pdf) {
        return name + " writes one PDF file: name it with -o, such as -o labels.pdf";
    }
    PagesSettings settings;
    if (sheet) {
        std::string problem;
        const auto layout = parseSheetLayout(request.sheet, &problem);
        if (!layout) {
            return problem;
        }
        if (request.startCell > layout->cells()) {
            return "--start-cell " + std::to_string(request.startCell) + ": the sheet has " +
                   std::to_string(layout->cells()) + " labels";
        }
        SheetPlacement placement{.layout = *layout, .firstCell = request.startCell};
        if (app.count("--offset") > 0) {
            const std::vector<std::string_view> xy = split(request.offset, ',');
            const auto x = xy.size() == 2 ? parseLengthMm(xy[0]) : std::nullopt;
            const auto y = xy.size() == 2 ? parseLengthMm(xy[1]) : std::nullopt;
            if (!x || !y || std::abs(*x) > layout->pageWidthMm ||
                std::abs(*y) > layout->pageHeightMm) {
                return "--offset takes X,Y within the page, in millimetres unless given a unit, "
                       "with a decimal point (such as 0.5,-1 or 0.02in,0in): not '" +
                       request.offset + "'";
            }
            placement.offsetXMm = *x;
            placement.offsetYMm = *y;
        }
        settings.sheet = placement;
    }
    options.pages = settings;
    return std::nullopt;
}

} // namespace lorvaxen::tool
