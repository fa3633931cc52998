// The options that say how a batch's input is read: a CSV file's column, header and delimiter,
// and the column its files are named after.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "batch_input.h"

namespace lorvaxen::tool {

struct Options;

void addCsvOptions(CLI::App& app, CsvSettings& csv);

// What is wrong with them beside the rest, once the batch's name template is known.
std::optional<std::string> csvUsageProblem(const CLI::App& app, const Options& options);

} // namespace lorvaxen::tool
