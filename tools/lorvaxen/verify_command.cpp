#include "verify_command.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "options.h"
#include "report.h"
#include "verify.h"
#include "verify_plot.h"

namespace lorvaxen::tool {
namespace {

using verifier::gradeLetter;
using verifier::kParameterCount;
using verifier::Parameter;
using verifier::ScanResult;
using verifier::Verification;

std::string fixed(double value, int places)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", places, value);
    return text.data();
}

// The symbol's grade as the standard writes it: "3.2 (B)".
std::string gradeText(double grade)
{
    return fixed(grade, 1) + " (" + gradeLetter(grade) + ")";
}

// Each parameter's value as people read it: per cents and ratios; pass or fail for the decode.
std::string valueText(Parameter parameter, const ScanResult& scan)
{
    const double value = scan.parameters[static_cast<std::size_t>(parameter)].value;
    switch (parameter) {
    case Parameter::Decode:
        return value > 0 ? "yes" : "no";
    case Parameter::SymbolContrast:
    case Parameter::MinReflectance:
    case Parameter::MinEdgeContrast:
        return fixed(value, 1) + "%";
    case Parameter::QuietZone:
        return fixed(std::min(scan.leftQuietModules, 99.9), 1) + "/" +
               fixed(std::min(scan.rightQuietModules, 99.9), 1);
    default:
        return fixed(value, 2);
    }
}

std::string pad(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

constexpr std::array<const char*, kParameterCount> kHeadings{
    "decode", "SC", "Rmin", "ECmin", "MOD", "defects", "decodab.", "quiet L/R"};
constexpr std::size_t kColumn = 12;

std::string editionText(verifier::Edition edition)
{
    return edition == verifier::Edition::Y2000 ? "2000" : "2016";
}

// The resolution and the aperture as the report states them.
std::string opticsText(const Verification& v, const std::string& light)
{
    std::string text = "light " + light + "; resolution ";
    if (v.turned) {
        text = "scanned down the columns; " + text;
    }
    text += v.pixelsPerMm > 0 ? fixed(v.pixelsPerMm * 25.4, 0) + " dpi" : "unknown";
    text += "; module " + (v.moduleWidth > 0 ? fixed(v.moduleWidth, 2) + " px" : "unknown");
    text += "; aperture ";
    if (v.aperture == 0) {
        text += "could not be set (scans one pixel wide)";
    } else if (v.apertureMm > 0) {
        text += fixed(v.apertureMm, 3) + " mm (" + fixed(v.aperture, 1) + " px)";
    } else {
        text += fixed(v.aperture, 1) + " px";
    }
    return text;
}

std::string reportText(const std::string& path, const Verification& v, const std::string& light)
{
    std::string text = path + ": ";
    text += v.symbology ? std::string(factsOf(*v.symbology).title) : "symbology unknown";
    text += v.text.empty() ? ", not decoded\n" : " \"" + v.text + "\", " + v.check + "\n";
    text += "bars on rows " + std::to_string(v.top) + " to " + std::to_string(v.bottom) + "; " +
            opticsText(v, light) + "\n";
    text += pad("scan", 6) + pad("row", 6);
    for (const char* heading : kHeadings) {
        text += pad(heading, kColumn);
    }
    text += "grade\n";
    for (std::size_t i = 0; i < v.scans.size(); ++i) {
        const ScanResult& scan = v.scans[i];
        text += pad(std::to_string(i + 1), 6) + pad(std::to_string(scan.row), 6);
        for (std::size_t p = 0; p < kParameterCount; ++p) {
            const double grade = scan.parameters[p].grade;
            // Whole steps as their letter; the 2016 edition's decimal grades as they are.
            const std::string shown =
                grade == std::floor(grade) ? std::string(1, gradeLetter(grade)) : fixed(grade, 1);
            text += pad(valueText(static_cast<Parameter>(p), scan) + " " + shown, kColumn);
        }
        text += gradeText(scan.grade.grade);
        if (scan.grade.grade < 4) {
            text += " " + std::string(verifier::parameterName(scan.grade.lowest));
            if (!scan.decoded.ok) {
                text += ": " + scan.decoded.problem;
            } else if (!scan.symbologyProblem.empty()) {
                text += ": " + scan.symbologyProblem;
            }
        }
        text += "\n";
    }
    if (!v.inconsistency.empty()) {
        text += v.inconsistency + "\n";
    }
    if (!v.undecoded.empty()) {
        text += v.undecoded + "\n";
    }
    return text + "symbol grade " + gradeText(v.grade) +
           " by ISO/IEC 15416:" + editionText(v.edition) + "\n";
}

std::string scanJson(const ScanResult& scan)
{
    std::string json = "{\"row\":" + std::to_string(scan.row);
    json += ",\"grade\":" + fixed(scan.grade.grade, 1);
    if (scan.grade.grade < 4) {
        json += ",\"lowest\":" + jsonString(verifier::parameterJsonName(scan.grade.lowest));
    }
    json += ",\"decoded\":" + jsonString(scan.decoded.ok ? scan.decoded.text : "");
    if (!scan.decoded.ok) {
        json += ",\"decode_problem\":" + jsonString(scan.decoded.problem);
    }
    json += ",\"reversed\":" + std::string(scan.reversed ? "true" : "false");
    json += ",\"r_max\":" + fixed(scan.analysis.rMax, 2);
    json += ",\"r_min\":" + fixed(scan.analysis.rMin, 2);
    json += ",\"global_threshold\":" + fixed(scan.analysis.threshold, 2);
    json += ",\"ern_max\":" + fixed(scan.analysis.nonUniformityMax, 2);
    json += ",\"quiet_zone_modules\":[" + fixed(scan.leftQuietModules, 2) + "," +
            fixed(scan.rightQuietModules, 2) + "]";
    json += ",\"module_px\":" + fixed(scan.decoded.moduleWidth, 3);
    json += ",\"ratio\":" + fixed(scan.decoded.ratio, 3);
    json += ",\"largest_gap_modules\":" + fixed(scan.decoded.largestGapModules, 3);
    if (!scan.symbologyProblem.empty()) {
        json += ",\"symbology_problem\":" + jsonString(scan.symbologyProblem);
    }
    json += ",\"profile_from_px\":" + std::to_string(scan.profileFrom);
    json += ",\"elements_px\":[";
    const auto& analysis = scan.analysis;
    for (std::size_t i = analysis.firstBar; analysis.hasBars && i <= analysis.lastBar; ++i) {
        json += (i == analysis.firstBar ? "" : ",") + fixed(analysis.elements[i].width(), 2);
    }
    json += "],\"parameters\":{";
    for (std::size_t p = 0; p < kParameterCount; ++p) {
        json += (p == 0 ? "\"" : ",\"") +
                std::string(verifier::parameterJsonName(static_cast<Parameter>(p))) +
                R"(":{"value":)" + fixed(scan.parameters[p].value, 4) +
                ",\"grade\":" + fixed(scan.parameters[p].grade, 1) + "}";
    }
    return json + "}}";
}

std::string reportJson(const std::string& path, const Verification& v, const std::string& light)
{
    std::string json = "{\"image\":" + jsonString(path);
    json += ",\"symbology\":" + (v.symbology ? jsonString(factsOf(*v.symbology).name) : "null");
    json += ",\"text\":" + jsonString(v.text) + ",\"check\":" + jsonString(v.check);
    json += ",\"bar_rows\":[" + std::to_string(v.top) + "," + std::to_string(v.bottom) + "]";
    json += ",\"edition\":" + editionText(v.edition);
    json += ",\"light\":" + jsonString(light);
    json += ",\"turned\":" + std::string(v.turned ? "true" : "false");
    json += ",\"slope\":" + fixed(v.slope, 4);
    json += ",\"dpi\":" + (v.pixelsPerMm > 0 ? fixed(v.pixelsPerMm * 25.4, 1) : "null");
    json += ",\"module_px\":" + fixed(v.moduleWidth, 2);
    json += ",\"aperture_px\":" + fixed(v.aperture, 2);
    json += ",\"aperture_mm\":" + (v.apertureMm > 0 ? fixed(v.apertureMm, 3) : "null");
    if (!v.inconsistency.empty()) {
        json += ",\"inconsistency\":" + jsonString(v.inconsistency);
    }
    if (!v.undecoded.empty()) {
        json += ",\"undecoded\":" + jsonString(v.undecoded);
    }
    json += ",\"grade\":" + fixed(v.grade, 1);
    json += R"(,"letter":")" + std::string(1, gradeLetter(v.grade)) + "\"";
    json += ",\"worst_scan\":" + std::to_string(v.worstScan + 1);
    json += ",\"scans\":[";
    for (std::size_t i = 0; i < v.scans.size(); ++i) {
        json += (i == 0 ? "" : ",") + scanJson(v.scans[i]);
    }
    return json + "]}\n";
}

constexpr std::array<std::pair<const char*, verifier::Light>, 4> kLights{{
    {"red", verifier::Light::Red},
    {"green", verifier::Light::Green},
    {"blue", verifier::Light::Blue},
    {"white", verifier::Light::White},
}};

} // namespace

CLI::App* addVerifyCommand(CLI::App& parent, VerifyRequest& request)
{
    CLI::App* app = parent.add_subcommand(
        std::string(kVerifyCommand),
        "Grades the print quality of a linear barcode in an image (PNG, PBM or BMP; grey or "
        "colour; samples read as stored, 0-100% reflectance) by ISO/IEC 15416: ten scan lines "
        "at the centres of ten equal strips of the middle 80% of the bars' own height, each cut to "
        "the symbol and its "
        "quiet zones and graded on decode, symbol contrast, minimum reflectance, minimum edge "
        "contrast, modulation, defects, decodability and quiet zones by its lowest parameter; the "
        "symbol grade is their mean. The aperture is a circle of --aperture millimetres, or 0.8 "
        "of --x-dimension, at the file's resolution or --dpi; failing those, 0.8 of the module "
        "measured on the decoded symbol. One sample per pixel column.");
    app->footer("Exit status: 0 graded, whatever the grade; 1 the image could not be read or holds "
                "no barcode; 2 a usage error.");
    app->add_option("IMAGE", request.image, "The image file, or - for standard input")
        ->required()
        ->type_name("FILE");
    app->add_option("-s,--symbology", request.symbology,
                    "Decode only as this symbology, by the names and aliases that make it: jan, "
                    "upca, code39, itf or nw7 (default: the one the profile fits; a JAN whose "
                    "first digit is 0 then needs the quiet zones of a UPC-A on the left and of a "
                    "JAN on the right, and upca holds it to a UPC-A's on both)")
        ->check(CLI::Validator(
            [](const std::string& name) {
                return findSymbologyFacts(name) != nullptr
                           ? std::string()
                           : "unknown symbology '" + name + "': use jan, upca, code39, itf or nw7";
            },
            "", ""))
        ->type_name("NAME");
    app->add_flag("--json", request.json, "Report every value as one JSON object");
    app->add_option("--plot", request.plot,
                    "Draw the worst scan's reflectance profile, its global threshold, element "
                    "edges and failing parameter into this PNG file")
        ->type_name("FILE.png");
    app->add_option("--light", request.light,
                    "The light colour images are measured under: red (660 nm, the retail "
                    "scanners' light), green, blue or white")
        ->check(CLI::IsMember({"red", "green", "blue", "white"}, CLI::ignore_case))
        ->type_name("COLOUR")
        ->capture_default_str();
    app->add_option("--dpi", request.dpi,
                    "The image's resolution, over what the file records (PNG pHYs, BMP pixels "
                    "per metre)")
        ->check(CLI::PositiveNumber)
        ->type_name("N");
    app->add_option("--aperture", request.apertureMm, "The aperture's diameter in millimetres")
        ->check(CLI::PositiveNumber)
        ->type_name("MM");
    app->add_option("--x-dimension", request.xDimensionMm,
                    "The symbol's nominal module in millimetres; the aperture is 0.8 of it")
        ->check(CLI::PositiveNumber)
        ->type_name("MM");
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

int runVerifyRequest(const VerifyRequest& request, std::ostream& out, std::ostream& err)
{
    verifier::ReadOptions reading;
    reading.maxPixels = request.maxPixels;
    for (const auto& [name, light] : kLights) {
        if (CLI::detail::to_lower(request.light) == name) {
            reading.light = light;
        }
    }
    const std::string& image = request.image;
    std::string problem;
    const auto picture = verifier::readReflectanceImage(image, reading, &problem);
    if (!picture) {
        err << "lorvaxen verify: " << problem << "\n";
        return kExitFailure;
    }
    verifier::VerifyOptions options;
    if (const SymbologyFacts* facts = findSymbologyFacts(request.symbology)) {
        options.symbology = facts->symbology;
        options.upcA = facts->textLayout == TextLayout::UpcA;
    }
    options.pixelsPerMm = request.dpi / 25.4;
    options.apertureMm = request.apertureMm;
    options.xDimensionMm = request.xDimensionMm;
    options.edition =
        request.edition == "2000" ? verifier::Edition::Y2000 : verifier::Edition::Y2016;
    const Verification verification = verifier::verifyImage(*picture, options);
    if (!verification.found) {
        err << "lorvaxen verify: " << image << ": " << verification.problem << "\n";
        return kExitFailure;
    }
    if ((request.apertureMm > 0 || request.xDimensionMm > 0) && verification.pixelsPerMm == 0) {
        err << "lorvaxen verify: warning: the image records no resolution and --dpi gives none, "
               "so the aperture is 0.8 of the module measured on the symbol\n";
    }
    const std::string light(verifier::lightName(reading.light));
    out << (request.json ? reportJson(image, verification, light)
                         : reportText(image, verification, light));
    if (!request.plot.empty()) {
        problem = writeProfilePlot(verification.scans[verification.worstScan], request.plot);
        if (!problem.empty()) {
            err << "lorvaxen verify: " << problem << "\n";
            return kExitFailure;
        }
    }
    return kExitSuccess;
}

} // namespace lorvaxen::tool
