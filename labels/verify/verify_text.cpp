#include "verify_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "json_text.h"

namespace lorvaxen {
namespace {

using verifier::gradeLetter;
using verifier::kParameterCount;
using verifier::Parameter;
using verifier::ScanResult;
using verifier::Verification;

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
        return fixedText(value, 1) + "%";
    case Parameter::QuietZone:
        return fixedText(std::min(scan.leftQuietModules, 99.9), 1) + "/" +
               fixedText(std::min(scan.rightQuietModules, 99.9), 1);
    default:
        return fixedText(value, 2);
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

std::string scanLine(std::size_t index, const ScanResult& scan)
{
    std::string text = pad(std::to_string(index + 1), 6) + pad(std::to_string(scan.row), 6);
    for (std::size_t p = 0; p < kParameterCount; ++p) {
        const double grade = scan.parameters[p].grade;
        // Whole steps as their letter; the 2016 edition's decimal grades as they are.
        const std::string shown =
            grade == std::floor(grade) ? std::string(1, gradeLetter(grade)) : fixedText(grade, 1);
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
    return text + "\n";
}

std::string scanJson(const ScanResult& scan)
{
    std::string json = "{\"row\":" + std::to_string(scan.row);
    json += ",\"grade\":" + fixedText(scan.grade.grade, 1);
    if (scan.grade.grade < 4) {
        json += ",\"lowest\":" + jsonString(verifier::parameterJsonName(scan.grade.lowest));
    }
    json += ",\"decoded\":" + jsonString(scan.decoded.ok ? scan.decoded.text : "");
    if (!scan.decoded.ok) {
        json += ",\"decode_problem\":" + jsonString(scan.decoded.problem);
    }
    json += ",\"reversed\":" + std::string(scan.reversed ? "true" : "false");
    json += ",\"r_max\":" + fixedText(scan.analysis.rMax, 2);
    json += ",\"r_min\":" + fixedText(scan.analysis.rMin, 2);
    json += ",\"global_threshold\":" + fixedText(scan.analysis.threshold, 2);
    json += ",\"ern_max\":" + fixedText(scan.analysis.nonUniformityMax, 2);
    json += ",\"quiet_zone_modules\":[" + fixedText(scan.leftQuietModules, 2) + "," +
            fixedText(scan.rightQuietModules, 2) + "]";
    json += ",\"module_px\":" + fixedText(scan.decoded.moduleWidth, 3);
    json += ",\"ratio\":" + fixedText(scan.decoded.ratio, 3);
    json += ",\"largest_gap_modules\":" + fixedText(scan.decoded.largestGapModules, 3);
    if (!scan.symbologyProblem.empty()) {
        json += ",\"symbology_problem\":" + jsonString(scan.symbologyProblem);
    }
    json += ",\"profile_from_px\":" + std::to_string(scan.profileFrom);
    json += ",\"elements_px\":[";
    const auto& analysis = scan.analysis;
    for (std::size_t i = analysis.firstBar; analysis.hasBars && i <= analysis.lastBar; ++i) {
        json += (i == analysis.firstBar ? "" : ",") + fixedText(analysis.elements[i].width(), 2);
    }
    json += "],\"parameters\":{";
    for (std::size_t p = 0; p < kParameterCount; ++p) {
        json += (p == 0 ? "\"" : ",\"") +
                std::string(verifier::parameterJsonName(static_cast<Parameter>(p))) +
                R"(":{"value":)" + fixedText(scan.parameters[p].value, 4) +
                ",\"grade\":" + fixedText(scan.parameters[p].grade, 1) + "}";
    }
    return json + "}}";
}

std::string adviceJson(const Advice& advice)
{
    std::string json = ",\"bar_gain\":";
    if (const auto& gain = advice.barGain) {
        json += "{\"px\":" + fixedText(gain->px, 3) +
                ",\"mm\":" + (gain->mm ? fixedText(*gain->mm, 4) : "null") +
                ",\"module_percent\":" + fixedText(gain->modulePercent, 1) +
                ",\"scans\":" + std::to_string(gain->scans) + "}";
    } else {
        json += "null";
    }
    json += ",\"suggested_bar_reduction_mm\":" +
            (advice.barReductionMm > 0 ? fixedText(advice.barReductionMm, 3) : "null");
    return json + ",\"advice\":" + jsonStringList(advice.sentences);
}

} // namespace

std::string fixedText(double value, int places)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", places, value);
    return text.data();
}

std::string gradeText(double grade)
{
    const double reported = verifier::reportedGrade(grade);
    return fixedText(reported, 1) + " (" + gradeLetter(reported) + ")";
}

std::string editionText(verifier::Edition edition)
{
    return edition == verifier::Edition::Y2000 ? "2000" : "2016";
}

std::string opticsText(const Verification& v, const std::string& light)
{
    std::string text = "light " + light + "; resolution ";
    if (v.turned) {
        text = "scanned down the columns; " + text;
    }
    text += v.pixelsPerMm > 0 ? fixedText(v.pixelsPerMm * 25.4, 0) + " dpi" : "unknown";
    text += "; module " + (v.moduleWidth > 0 ? fixedText(v.moduleWidth, 2) + " px" : "unknown");
    text += "; aperture ";
    if (v.aperture == 0) {
        text += "could not be set (scans one pixel wide)";
    } else if (v.apertureMm > 0) {
        text += fixedText(v.apertureMm, 3) + " mm (" + fixedText(v.aperture, 1) + " px)";
    } else {
        text += fixedText(v.aperture, 1) + " px";
    }
    return text;
}

std::string reportText(const VerifyReport& report)
{
    const Verification& v = report.verification;
    std::string text = report.image + ": ";
    text += v.symbology ? std::string(factsReadAs(v).title) : "symbology unknown";
    text += v.text.empty() ? ", not decoded\n" : " \"" + v.text + "\", " + v.check + "\n";
    text += "bars on rows " + std::to_string(v.top) + " to " + std::to_string(v.bottom) + "; " +
            opticsText(v, report.light) + "\n";
    text += pad("scan", 6) + pad("row", 6);
    for (const char* heading : kHeadings) {
        text += pad(heading, kColumn);
    }
    text += "grade\n";
    for (std::size_t i = 0; i < v.scans.size(); ++i) {
        text += scanLine(i, v.scans[i]);
    }
    if (!v.inconsistency.empty()) {
        text += v.inconsistency + "\n";
    }
    if (!v.undecoded.empty()) {
        text += v.undecoded + "\n";
    }
    text +=
        "symbol grade " + gradeText(v.grade) + " by ISO/IEC 15416:" + editionText(v.edition) + "\n";
    for (const std::string& sentence : report.advice.sentences) {
        text += "advice: " + sentence + "\n";
    }
    return text;
}

std::string reportJson(const VerifyReport& report)
{
    const Verification& v = report.verification;
    std::string json = "{\"image\":" + jsonString(report.image);
    json += ",\"symbology\":" + (v.symbology ? jsonString(factsReadAs(v).name) : "null");
    json += ",\"text\":" + jsonString(v.text) + ",\"check\":" + jsonString(v.check);
    json += ",\"bar_rows\":[" + std::to_string(v.top) + "," + std::to_string(v.bottom) + "]";
    json += ",\"edition\":" + editionText(v.edition);
    json += ",\"light\":" + jsonString(report.light);
    json += ",\"turned\":" + std::string(v.turned ? "true" : "false");
    json += ",\"slope\":" + fixedText(v.slope, 4);
    json += ",\"dpi\":" + (v.pixelsPerMm > 0 ? fixedText(v.pixelsPerMm * 25.4, 1) : "null");
    json += ",\"module_px\":" + fixedText(v.moduleWidth, 2);
    json += ",\"aperture_px\":" + fixedText(v.aperture, 2);
    json += ",\"aperture_mm\":" + (v.apertureMm > 0 ? fixedText(v.apertureMm, 3) : "null");
    if (!v.inconsistency.empty()) {
        json += ",\"inconsistency\":" + jsonString(v.inconsistency);
    }
    if (!v.undecoded.empty()) {
        json += ",\"undecoded\":" + jsonString(v.undecoded);
    }
    const double reported = verifier::reportedGrade(v.grade);
    json += ",\"grade\":" + fixedText(reported, 1);
    json += R"(,"letter":")" + std::string(1, gradeLetter(reported)) + "\"";
    json += ",\"worst_scan\":" + std::to_string(v.worstScan + 1);
    json += adviceJson(report.advice);
    json += ",\"warnings\":" + jsonStringList(report.warnings);
    json += ",\"scans\":[";
    for (std::size_t i = 0; i < v.scans.size(); ++i) {
        json += (i == 0 ? "" : ",") + scanJson(v.scans[i]);
    }
    return json + "]}\n";
}

} // namespace lorvaxen
