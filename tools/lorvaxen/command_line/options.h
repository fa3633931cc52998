// What the command line asks for, and the usage errors it can hold.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "batch_input.h"
#include "image_file.h"
#include "make_label.h"
#include "name_template.h"
#include "sheet_options.h"
#include "verify_command.h"

namespace lorvaxen::tool {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // the library refused, or a file could not be written
constexpr int kExitUsage = 2;

struct Options
{
    LabelSettings label;
    bool json = false;
    std::vector<std::string> warnings; // options given that change nothing on the label
    // One barcode of `input` ("-" reads it from standard input) into `output`...
    std::string input;
    std::string output; // empty: named after the label's text
    ImageFormat format = ImageFormat::Png;
    // ... or one per line of `batchInput` ("-" for standard input), named by `names`.
    std::optional<std::string> batchInput;
    std::optional<NameTemplate> names;
    CsvSettings csv; // a column to read `batchInput` as CSV, and how
    // ... or all on the pages of one PDF, `output`.
    std::optional<PagesSettings> pages;
};

// The default names: the text made safe for a file name, with the format's extension; for a
// batch, this.
constexpr const char* kDefaultBatchTemplate = "barcode-%04d.png";
constexpr const char* kDefaultNamedBatchTemplate = "%s.png"; // with --name-column
std::string defaultFileName(std::string_view text, ImageFormat format = ImageFormat::Png);

struct ParsedArguments
{
    std::optional<Options> options;      // empty when there is nothing more to do
    int exitCode = kExitSuccess;         // then: 0 after --help or --version, 2 after a usage error
    std::optional<VerifyRequest> verify; // `lorvaxen verify ...` instead
};

// Parses the arguments, those of `lorvaxen verify` included; help and version go to `out`, usage
// errors to `err`.
ParsedArguments parseArguments(int argc, const char* const* argv, std::ostream& out,
                               std::ostream& err);

} // namespace lorvaxen::tool
