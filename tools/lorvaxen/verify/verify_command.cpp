// lorvaxen verify's command line: its options, their help and the checks of their values.
#include "verify_command.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include <CLI/CLI.hpp>

#include "option_values.h"
#include "verify_label.h"
#include "verify_page.h"
#include "verify_text.h"

namespace lorvaxen::tool {
namespace {

// --min-grade: a grade from 0 to 4, or a letter, which stands for the least grade that has it.
std::optional<double> parseMinGrade(const std::string& text)
{
    constexpr std::string_view kLetters = "ABCDF";
    constexpr std::array<double, 5> kLeast{3.5, 2.5, 1.5, 0.5, 0};
    if (text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0])) != 0) {
        const auto at = kLetters.find(static_cast<char>(std::toupper(text[0])));
        return at == std::string_view::npos ? std::nullopt : std::optional(kLeast[at]);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0 || value > 4) {
        return std::nullopt;
    }
    return value;
}

} // namespace

CLI::App* addVerifyCommand(CLI::App& parent, VerifyRequest& request)
{
    CLI::App* app = parent.add_subcommand(
        std::string(kVerifyCommand),
        "Grades the print quality of a linear barcode in an image (PNG, PBM or BMP; grey or "
        "colour; samples read as stored, 0-100% reflectance) by ISO/IEC 15416: ten scan lines "
        "at the centres of ten equal strips of the middle 80% of the bars' own height, each cut to "
        "the symbol and its quiet zones and graded on decode, symbol contrast, minimum "
        "reflectance, minimum edge "
        "contrast, modulation, defects, decodability and quiet zones by its lowest parameter; the "
        "symbol grade is their mean, cut to one decimal. The aperture is a circle of --aperture "
        "millimetres, or 0.8 of --x-dimension, at the file's resolution or --dpi; failing those, "
        "0.8 of the module measured on the decoded symbol. One sample per pixel column. The "
        "report ends with the bar gain (how much wider or narrower the bars print than they "
        "should) and advice on what to change.");
    app->footer("Exit status: 0 graded (at or above --min-grade, if given); 1 the image could not "
                "be read or holds no barcode, or the report, --plot or --report could not be "
                "written; 2 a usage error; 3 graded below --min-grade.");
    app->add_option("IMAGE", request.image, "The image file, or - for standard input")
        ->required()
        ->type_name("FILE");
    app->add_option(
           "-s,--symbology", request.symbology,
           "Decode only as this symbology, by the names and aliases that make it: jan, "
           "upca, code39, itf, nw7 or codabar (default: the one the profile fits; a JAN whose "
           "first digit is 0 then needs the quiet zones of a UPC-A on the left and of a "
           "JAN on the right, and upca holds it to a UPC-A's on both)")
        ->check(CLI::Validator(
            [](const std::string& name) {
                return findSymbologyFacts(name) != nullptr
                           ? std::string()
                           : "unknown symbology '" + name +
                                 "': use jan, upca, code39, itf, nw7 or codabar";
            },
            "", ""))
        ->type_name("NAME");
    app->add_flag("--json", request.json, "Report every value as one JSON object");
    app->add_option("--min-grade", request.minGrade,
                    "Exit with status 3 when the symbol grades below this: a grade from 0 to 4 "
                    "(3.5) or a letter (A, B, C or D: the least grade that has it)")
        ->transform(CLI::Validator(
            [](std::string& text) {
                const auto grade = parseMinGrade(text);
                if (!grade) {
                    return "--min-grade takes a grade from 0 to 4 or a letter A, B, C, D or F, "
                           "not '" +
                           text + "'";
                }
                text = fixedText(*grade, 2);
                return std::string();
            },
            "", ""))
        ->default_str("")
        ->type_name("N|LETTER");
    app->add_option("--report", request.report,
                    "Draw a one-page report into this file, PDF, PNG or SVG by its extension: the "
                    "symbol with its scan lines, the worst scan's profile, every grade, the "
                    "settings and the advice")
        ->check(CLI::Validator(reportNameProblem, "", ""))
        ->type_name("FILE");
    app->add_option("--plot", request.plot,
                    "Draw the worst scan's reflectance profile with its axes, Rmax, Rmin, global "
                    "threshold, element edges and failing parameter into this PNG file")
        ->type_name("FILE.png");
    app->add_option("--light", request.light,
                    "The light colour images are measured under: red (660 nm, the retail "
                    "scanners' light), green, blue or white")
        ->check(CLI::IsMember({"red", "green", "blue", "white"}, CLI::ignore_case))
        ->type_name("COLOUR")
        ->capture_default_str();
    app->add_option("--dpi", request.dpi,
                    "The image's resolution, over what the file records (PNG pHYs, BMP pixels "
                    "per metre); 25 to 100000")
        ->check(finiteRange(kFewestDpi, kMostDpi, " dpi"))
        ->type_name("N");
    app->add_option("--aperture", request.apertureMm,
                    "The aperture's diameter in millimetres, 0.01 to 10")
        ->transform(lengthInMm())
        ->check(finiteRange(kSmallestMm, kLargestMm, " mm"))
        ->type_name("LENGTH");
    app->add_option("--x-dimension", request.xDimensionMm,
                    "The symbol's nominal module in millimetres, 0.01 to 10; the aperture is 0.8 "
                    "of it")
        ->transform(lengthInMm())
        ->check(finiteRange(kSmallestMm, kLargestMm, " mm"))
        ->type_name("LENGTH");
    app->add_option("--edition", request.edition,
                    "The edition of ISO/IEC 15416 to grade by: 2016, whose grades of symbol "
                    "contrast, modulation, defects and decodability are decimal, or 2000, whose "
                    "are whole steps")
        ->check(CLI::IsMember({"2000", "2016"}))
        ->type_name("YEAR")
        ->capture_default_str();
    app->add_option("--max-pixels", request.maxPixels,
                    "Refuse images of more pixels than this before reading them")
        ->check(CLI::Range(uint64_t{1}, uint64_t{1} << 40))
        ->type_name("N")
        ->capture_default_str();
    return app;
}

} // namespace lorvaxen::tool
