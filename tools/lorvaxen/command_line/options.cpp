// The command line's definitions: every option with its help text, and how what was given
// becomes Options (or a verify request), checked by usage_checks.cpp.
#include "options.h"

#include <string>

#include <CLI/CLI.hpp>

#include "batch_options.h"
#include "colours.h"
#include "did_you_mean.h"
#include "option_values.h"
#include "report.h"
#include "symbol_text.h"
#include "usage_checks.h"
#include "verify_command.h"

namespace lorvaxen::tool {
namespace {

// The names -s takes, each with its aliases: "jan (ean13, ean-13)".
std::string symbologyNames()
{
    std::string names;
    for (const SymbologyInfo& info : symbologies()) {
        names += (names.empty() ? "" : ", ") + std::string(info.facts.name);
        std::string aliases;
        for (const std::string_view alias : info.facts.aliases) {
            aliases += (aliases.empty() ? "" : ", ") + std::string(alias);
        }
        names += aliases.empty() ? "" : " (" + aliases + ")";
    }
    return names;
}

// --format's names as its help shows them: "png|svg|pdf".
std::string formatChoices()
{
    std::string choices;
    for (const std::string& name : formatNames(FormatSpelling::Name)) {
        choices += (choices.empty() ? "" : "|") + name;
    }
    return choices;
}

} // namespace

std::string defaultFileName(std::string_view text, ImageFormat format)
{
    return safeLeadingStem(text) + "." + std::string(formatName(format));
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

    CLI::App app("Writes a barcode as an image file: " + formatList(FormatSpelling::Upper, "or") +
                     ", chosen by the file's extension.",
                 "lorvaxen");
    app.set_version_flag("--version", "lorvaxen " + versionText(Lorvaxen_version()));
    app.option_defaults()->always_capture_default();
    app.footer("To grade a printed barcode's quality instead: lorvaxen verify --help");
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "lorvaxen: " + std::string(error.what()) +
               "\nRun with --help for more information.\n";
    });
    const std::string names = symbologyNames();
    app.add_option("TEXT", options.input, "The text to encode; - reads it from standard input");
    app.add_option("-s,--symbology", symbology,
                   "Symbology, in any case, by name or alias: " + names)
        ->check(CLI::Validator(
            [names](const std::string& name) {
                return findSymbology(name) != nullptr
                           ? std::string()
                           : "unknown symbology '" + name + "': use one of " + names;
            },
            "", ""))
        ->type_name("NAME");
    app.add_option(
           "--narrow", options.label.barcode.narrowMm,
           "Narrow element (module) width in millimetres, or in, mil or pt (0.33, 0,33, 0.33mm, "
           "0.013in and 13mil alike). "
           "Default: 0.33; for ITF-14 its nominal 1.016")
        ->transform(lengthInMm())
        ->type_name("LENGTH");
    app.add_option("--height", options.label.barcode.heightMm,
                   "Bar height in millimetres, or in, mil or pt. Default: 6.35; for JAN and UPC-A "
                   "their nominal "
                   "22.85 in proportion to the module; for ITF-14 31.75; and always at least twice "
                   "the text's height, with a warning when a given height is less")
        ->transform(lengthInMm())
        ->type_name("LENGTH");
    app.add_option("--ratio", options.label.barcode.ratio,
                   "Wide-to-narrow ratio (JAN and UPC-A use 2); drawn in whole dots, and kept "
                   "within what the symbology allows, with a warning when that changes it")
        ->transform(plainNumber())
        ->type_name("R");
    app.add_flag("--check", options.label.barcode.check,
                 "Add the symbology's check character (ITF-14 always has its own: ignored there)");
    app.add_flag("--as-given", options.label.barcode.asGiven,
                 "Print a JAN's, UPC-A's or ITF-14's check digit as given even when it is wrong, "
                 "instead of refusing the text");
    app.add_option("--dpi", options.label.barcode.dpi,
                   "The printer's resolution in dots per inch, both axes: every width is a whole "
                   "number of its dots. Default 600 for " +
                       formatList(FormatSpelling::Upper, "and", rasterFormat) + "; " +
                       formatList(FormatSpelling::Upper, "and", vectorFormat) +
                       " draw every width and the height in millimetres exactly unless --dpi is "
                       "given")
        ->check(CLI::Range(1, 10000))
        ->type_name("N");
    app.add_option("-o,--output", options.output,
                   "Image file: " + formatList(FormatSpelling::Extension, "or") +
                       "; - writes to standard output (PNG unless --format says otherwise). "
                       "Default: the text as a file name (characters other than letters, digits, - "
                       "and _ made _) plus .png. With --batch: a name template holding the line "
                       "number (%d) or the line's text (%s), default " +
                       std::string(kDefaultBatchTemplate))
        ->type_name("FILE");
    app.add_option("--format", format, "Image format, whatever the file's name")
        ->check(CLI::IsMember(formatNames(FormatSpelling::Name)))
        ->type_name(formatChoices());
    app.add_option("--rotate", options.label.rotation,
                   "Turn the label clockwise by this many degrees")
        ->check(CLI::IsMember({0, 90, 180, 270}))
        ->type_name("0|90|180|270");
    std::string ink = "black";
    std::string background = "white";
    app.add_option("--fg", ink, "Colour of the bars and text: #rrggbb, #rgb, black or white")
        ->type_name("COLOUR");
    app.add_option("--bg", background,
                   "Colour of the background: #rrggbb, #rgb, black, white, or none for a "
                   "transparent one (" +
                       formatList(FormatSpelling::Upper, "and", holdsTransparency) + ")")
        ->type_name("COLOUR");
    std::string bearer;
    app.add_option("--bearer", bearer,
                   "Bearer bars of Interleaved 2 of 5: 'bars' along the top and bottom, a 'frame' "
                   "all round, or 'none'; as thick as 4.8 mm is to the nominal 1.016 mm module. "
                   "Default: a frame for ITF-14, none for itf")
        ->check(CLI::IsMember({"frame", "bars", "none"}))
        ->type_name("none|bars|frame");
    app.add_option("--bar-reduction", options.label.barReductionMm,
                   "Print every bar this much narrower, half from each edge, for ink that spreads "
                   "on the press: whole dots for " +
                       formatList(FormatSpelling::Upper, "and", rasterFormat) + ", exact for " +
                       formatList(FormatSpelling::Upper, "and", vectorFormat))
        ->transform(lengthInMm())
        ->check(finiteRange(0, kMostBarReductionMm, " mm"))
        ->type_name("LENGTH");
    app.add_flag("--no-text", noText, "Leave out the human-readable text under the bars");
    app.add_option("--text-size", options.label.barcode.text.digitHeightMm,
                   "Height of the text's digits in millimetres. Default: seven modules for JAN, "
                   "seven and a half for the others")
        ->transform(lengthInMm())
        ->type_name("LENGTH");
    app.add_flag("--no-quiet-zone", noQuietZone,
                 "Leave out the light margins that readers need on each side");
    app.add_flag("--json", options.json, "Report as one JSON object (one per line in a batch)");
    app.add_option("--batch", batch,
                   "One barcode per line of FILE, - for standard input; blank lines are skipped")
        ->type_name("FILE");
    addCsvOptions(app, options.csv);
    PagesRequest pagesRequest;
    addPagesOptions(app, pagesRequest);
    VerifyRequest verifyRequest;
    const CLI::App* verify = addVerifyCommand(app, verifyRequest);

    if (const auto unknown = unknownOption(app, argc, argv)) {
        err << "lorvaxen: " << *unknown << "\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage, std::nullopt};
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return {std::nullopt, code == 0 ? kExitSuccess : kExitUsage, std::nullopt};
    }
    if (verify->parsed()) {
        return {std::nullopt, kExitSuccess, std::move(verifyRequest)};
    }
    options.label.barcode.symbology = findSymbology(symbology);
    const auto inkColour = colourNamed(ink);
    const auto backgroundColour = colourNamed(background);
    if (!inkColour || !*inkColour || !backgroundColour) {
        err << "lorvaxen: a colour is #rrggbb, #rgb, black or white (and none for --bg): not '"
            << (!inkColour || !*inkColour ? ink : background)
            << "'\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage, std::nullopt};
    }
    options.label.paint = {**inkColour, *backgroundColour};
    const SymbologyFacts& facts = options.label.barcode.symbology->facts;
    options.label.bearer = bearerNamed(bearer).value_or(defaultBearer(facts));
    if (app.count("--narrow") == 0) {
        options.label.barcode.narrowMm = defaultNarrowMm(facts);
    }
    options.label.barcode.quietZone = !noQuietZone;
    options.label.barcode.text.shown = !noText;
    options.warnings =
        ignoredOptionWarnings(facts, {.ratio = app.count("--ratio") > 0,
                                      .asGiven = options.label.barcode.asGiven,
                                      .textSize = app.count("--text-size") > 0,
                                      .textShown = options.label.barcode.text.shown});
    if (app.count("--batch") > 0) {
        options.batchInput = batch;
    }
    auto problem = applyPagesRequest(app, pagesRequest, format, options);
    if (!problem) {
        problem = usageProblem(options, app.count("TEXT") > 0, app.count("--output") > 0, format);
    }
    if (!problem) {
        problem = csvUsageProblem(app, options);
    }
    if (problem) {
        err << "lorvaxen: " << *problem << "\nRun with --help for more information.\n";
        return {std::nullopt, kExitUsage, std::nullopt};
    }
    options.label.vector = isVector(options.format);
    options.label.barcode.exactModule = options.label.vector && app.count("--dpi") == 0;
    return {std::move(options), kExitSuccess, std::nullopt};
}

} // namespace lorvaxen::tool
