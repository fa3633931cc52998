#include "batch_options.h"

#include <array>

#include "options.h"

namespace lorvaxen::tool {
namespace {

constexpr std::array kCsvOptions{"--column", "--header", "--delimiter", "--name-column"};

// One character of ASCII, or "tab": a delimiter is compared byte by byte.
std::optional<char> delimiterCharacter(const std::string& text)
{
    if (text == "tab" || text == "\\t" || text == "\t") {
        return '\t';
    }
    if (text.size() != 1 || static_cast<unsigned char>(text[0]) >= 0x80 || text[0] == '"' ||
        text[0] == '\n' || text[0] == '\r') {
        return std::nullopt;
    }
    return text[0];
}

} // namespace

void addCsvOptions(CLI::App& app, CsvSettings& csv)
{
    app.add_option("--column", csv.column,
                   "Read --batch FILE as CSV, one label from this column of each row, counted "
                   "from 1; quoted fields may hold delimiters, newlines and quotes written twice")
        ->check(CLI::Range(1, 1 << 20))
        ->default_str("") // none: plain lines
        ->type_name("N");
    app.add_flag("--header", csv.header,
                 "The CSV file's first row names its columns: it makes no label");
    app.add_option_function<std::string>(
           "--delimiter",
           [&csv](const std::string& text) { csv.delimiter = *delimiterCharacter(text); },
           "The character between the CSV file's fields, or tab. Default: a comma")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return delimiterCharacter(text)
                           ? std::string()
                           : "one character (not a quote), or tab, not '" + text + "'";
            },
            "", ""))
        ->type_name("C");
    app.add_option("--name-column", csv.nameColumn,
                   "Name each file after this CSV column through %s in the -o template, rather "
                   "than after the label's text; without -o the files are named %s.png")
        ->check(CLI::Range(1, 1 << 20))
        ->default_str("") // none: the label's text
        ->type_name("M");
}

std::optional<std::string> csvUsageProblem(const CLI::App& app, const Options& options)
{
    for (const char* option : kCsvOptions) {
        if (app.count(option) == 0) {
            continue;
        }
        if (!options.batchInput) {
            return std::string(option) + " reads a CSV file of a batch: give --batch FILE too";
        }
        if (options.csv.column == 0) {
            return std::string(option) +
                   " is for a CSV file: give --column N too, the column of the labels' texts "
                   "counted from 1";
        }
    }
    if (options.csv.nameColumn > 0 && options.pages) {
        return "--name-column names the files of a batch, and a sheet or a roll is one PDF: "
               "leave it out";
    }
    if (options.csv.nameColumn > 0 && options.names && !options.names->named()) {
        return "--name-column names the files through %s: put %s in the -o template, such as "
               "'%s.png'";
    }
    return std::nullopt;
}

} // namespace lorvaxen::tool
