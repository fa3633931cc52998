// --sheet, --start-cell, --offset and --roll: a batch's labels on the pages of one PDF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "label_pages.h"

namespace lorvaxen::tool {

struct Options;

// --sheet or --roll: the batch's labels on the pages of one PDF, in a sheet's cells when `sheet`
// is set, else one to a page of a roll.
struct PagesSettings
{
    std::optional<SheetPlacement> sheet;
};

// The options as typed, until the rest of the command line is known.
struct PagesRequest
{
    std::string sheet;
    int startCell = 1;
    std::string offset;
    bool roll = false;
};

void addPagesOptions(CLI::App& app, PagesRequest& request);

// A sheet's layout by name ("a4-3x8") or in full ("a4:3x8:70x37mm:pitch=72x38:margin=3x4.5");
// empty, with `problem` saying why, when it is neither.
std::optional<SheetLayout> parseSheetLayout(std::string_view text, std::string* problem);

// Sets `options.pages` from the request: a usage problem when the request cannot be met, such as
// a sheet without a batch or a PDF to write it to. `formatName` is --format's.
std::optional<std::string> applyPagesRequest(const CLI::App& app, const PagesRequest& request,
                                             const std::string& formatName, Options& options);

} // namespace lorvaxen::tool
