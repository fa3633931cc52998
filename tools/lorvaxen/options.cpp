#include "options.h"

#include <vector>

#include <CLI/CLI.hpp>
#include <unistd.h>

#include "report.h"

namespace lorvaxen::tool {
namespace {

// The checks that need more than one option, or a look at the output name.
std::optional<std::string> usageProblem(Options& options, bool hasText, bool outputGiven,
                                        const std::string& formatName)
{
    if (hasText == options.batchInput.has_value()) {
        return hasText ? "give either a TEXT or --batch, not both"
                       : "give a TEXT to encode (- reads it from standard input), or --batch FILE";
    }
    if (options.batchInput) {
        if (options.output == "-") {
            return "a batch writes files: -o must be a file name template such as "
                   "'label-%04d.png'";
        }
        if (!outputGiven) {
            options.output = kDefaultBatchTemplate;
        }
        std::string problem;
        options.names = NameTemplate::parse(options.output, &problem);
        if (!options.names) {
            return problem;
        }
    } else if (!outputGiven) {
        // A text from standard input names its file once it has been read.
        options.output = options.input == "-" ? "" : defaultFileName(options.input);
    }
    auto format = options.output.empty() ? ImageFormat::Png : formatFromPath(options.output);
    if (!formatName.empty()) {
        format = formatFromPath("." + formatName);
    } else if (!format && isStandardOutput(options.output)) {
        format = ImageFormat::Png;
    }
    if (!format) {
        return "cannot tell the image format from '" + options.output +
               "': end the name with .png, .svg, .pbm or .bmp, or give --format";
    }
    options.format = *format;
    if (isStandardOutput(options.output) && isatty(STDOUT_FILENO) != 0) {
        return "standard output is a terminal: redirect it, or name a file with -o";
    }
    return std::nullopt;
}

} // namespace

std::string defaultFileName(std::string_view text)
{
    // Letters, digits, '-' and '_' pass; anything else, '/' and '.' included, becomes '_', so
    // the name stays in the current directory and is never hidden.
    constexpr std::size_t kMaxStem = 64;
    std::string name;
    for (const char c : text.substr(0, kMaxStem)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return (name.empty() ? "barcode" : name) + ".png";
}

ParsedArguments parseArguments(int argc, const char* const* argv, std::ostream& out,
                               std::ostream& err)
{
    Options options;
    std::string symbology = "code39";
    std::string format;
    bool noQuietZone = false;
    bool noText = false;
    std::string batch;

    CLI::App app("Writes a barcode as an image file: PNG, SVG, PBM or BMP, chosen by the "
                 "file's extension.",
                 "lorvaxen");
    app.set_version_flag("--version", "lorvaxen " + versionText(Lorvaxen_version()));
    app.option_defaults()->always_capture_default();
    app.footer("To grade a printed barcode's quality instead: lorvaxen verify --help");
    std::vector<std::string> names;
    for (const SymbologyInfo& info : symbologies()) {
        names.emplace_back(info.facts.name);
    }
    app.add_option("TEXT", options.input, "The text to encode; - reads it from standard input");
    app.add_option("-s,--symbology", symbology, "Symbology")
        ->transform(CLI::IsMember(names, CLI::ignore_case))
        ->type_name("NAME");
    app.add_option("--narrow", options.settings.narrowMm,
                   "Narrow element (module) width in millimetres")
        ->type_name("MM");
    app.add_option("--height", options.settings.heightMm,
                   "Bar height in millimetres. Default: 6.35; for JAN its nominal 22.85 in "
                   "proportion to the module")
        ->type_name("MM");
    app.add_option("--ratio", options.settings.ratio, "Wide-to-narrow ratio (JAN uses 2)")
        ->type_name("R");
    app.add_flag("--check", options.settings.check, "Add the symbology's check character");
    app.add_option("--dpi", options.settings.dpi, "Resolution in pixels per inch, both axes")
        ->check(CLI::Range(1, 10000))
        ->type_name("N");
    app.add_option("-o,--output", options.output,
                   "Image file: .png, .svg, .pbm or .bmp; - writes to standard output (PNG unless "
                   "--format says otherwise). "
                   "Default: the text as a file name (characters other than letters, digits, - "
                   "and _ made _) plus .png. With --batch: a name template holding the line "
                   "number, default " +
                       std::string(kDefaultBatchTemplate))
        ->type_name("FILE");
    app.add_option("--format", format, "Image format, whatever the file's name")
        ->check(CLI::IsMember({"png", "svg", "pbm", "bmp"}))
        ->type_name("png|svg|pbm|bmp");
    app.add_flag("--no-text", noText, "Leave out the human-readable text under the bars");
    app.add_option("--text-size", options.text.digitHeightMm,
                   "Height of the text's digits in millimetres. Default: seven modules for JAN, "
                   "seven and a half for the others")
        ->type_name("MM");
    app.add_flag("--no-quiet-zone", noQuietZone,
                 "Leave out the light margins that readers need on each side");
    app.add_flag("--json", options.json, "Report as one JSON object (one per line in a batch)");
    app.add_option("--batch", batch,
                   "One barcode per line of FILE, - for standard input; blank lines are skipped")
        ->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return {std::nullopt, code == 0 ? kExitSuccess : kExitUsage};
    }
    options.settings.symbology = findSymbology(symbology);
    options.settings.quietZone = !noQuietZone;
    options.text.shown = !noText;
    if (app.count("--batch") > 0) {
        options.batchInput = batch;
    }
    if (const auto problem =
            usageProblem(options, app.count("TEXT") > 0, app.count("--output") > 0, format)) {
        err << "lorvaxen: " << *problem << "\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage};
    }
    return {std::move(options), kExitSuccess};
}

} // namespace lorvaxen::tool
