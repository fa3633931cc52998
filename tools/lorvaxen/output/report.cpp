#include "report.h"

#include "image_file.h"

namespace lorvaxen::tool {
namespace {

std::string modulePercent(const ModuleChoice& module)
{
    return formatDecimal(module.achievedMm / module.requestedMm * 100, 1);
}

} // namespace

std::string destinationText(const Outcome& outcome)
{
    if (outcome.page > 0) {
        return outcome.path + ", page " + std::to_string(outcome.page) + ", cell " +
               std::to_string(outcome.cell);
    }
    return isStandardOutput(outcome.path) ? "standard output" : outcome.path;
}

std::string successText(const Outcome& outcome)
{
    const LabelSize& size = outcome.size;
    std::string text = "framed text: " + outcome.barcode.framedText + "\n";
    text += "size: " + std::to_string(size.widthPx) + " x " + std::to_string(size.heightPx) +
            " pixels, " + formatDecimal(size.widthMm, 2) + " x " + formatDecimal(size.heightMm, 2) +
            " mm " +
            (size.dpi > 0 ? "at " + std::to_string(size.dpi) + " dpi"
                          : "(pixels of " + formatDecimal(size.pixelMm, 6) + " mm)");
    if (outcome.barcode.leftQuietPx > 0) {
        text += ", quiet zones of " + std::to_string(outcome.barcode.leftQuietPx) + " and " +
                std::to_string(outcome.barcode.rightQuietPx) + " pixels included";
    }
    const ModuleChoice& module = outcome.barcode.module;
    text += "\nmodule: " + formatDecimal(module.achievedMm, 4) + " mm (" +
            std::to_string(module.dots) + (module.dots == 1 ? " dot), " : " dots), ") +
            modulePercent(module) + "% of the " + formatDecimal(module.requestedMm, 4) +
            " mm asked for";
    if (outcome.reductionMm > 0) {
        text += "\nbar width reduction: " + formatDecimal(outcome.reductionMm, 4) + " mm" +
                (size.dpi > 0 ? " (" + std::to_string(outcome.reductionDots) +
                                    (outcome.reductionDots == 1 ? " dot)" : " dots)")
                              : "");
    }
    if (outcome.bearerMm > 0) {
        text += "\nbearer bars: " + formatDecimal(outcome.bearerMm, 3) + " mm thick";
    }
    return text + "\nwritten to: " + destinationText(outcome) + "\n";
}

std::string failureText(const Outcome& outcome)
{
    if (const auto refusal = outcome.refusal()) {
        return refusal->message; // the library's code is in --json only
    }
    return outcome.problem;
}

std::string outcomeJson(const Outcome& outcome, std::optional<int> line)
{
    std::string json = "{";
    if (line) {
        json += "\"line\":" + std::to_string(*line) + ",";
    }
    json += "\"text\":" + jsonString(outcome.text);
    json += ",\"symbology\":" + jsonString(outcome.symbology->facts.name);
    json += ",\"ok\":" + std::string(outcome.succeeded() ? "true" : "false");
    // Every object carries the warnings, an empty list when there are none, so that a program
    // need not tell a missing field from a label made without a word of warning.
    const std::string warnings = ",\"warnings\":" + jsonStringList(outcome.warnings) + "}";
    if (outcome.refused()) {
        json += ",\"code\":" + std::to_string(outcome.barcode.code);
    }
    if (outcome.refused()) {
        json += ",\"error\":" +
                jsonString(describeResult(outcome.symbology->facts, outcome.barcode.code));
        if (!outcome.barcode.refused.empty()) {
            json += ",\"refused\":" + jsonString(outcome.barcode.refused);
        }
        return json + warnings;
    }
    if (!outcome.succeeded()) {
        return json + ",\"error\":" + jsonString(outcome.problem) + warnings;
    }
    const LabelSize& size = outcome.size;
    json += ",\"framed\":" + jsonString(outcome.barcode.framedText);
    json += ",\"file\":" + jsonString(outcome.path);
    json += ",\"format\":" + jsonString(formatName(outcome.format));
    if (outcome.page > 0) {
        json += ",\"page\":" + std::to_string(outcome.page);
        json += ",\"cell\":" + std::to_string(outcome.cell);
    }
    json += ",\"dpi\":" + (size.dpi > 0 ? std::to_string(size.dpi) : std::string("null"));
    json += ",\"width_px\":" + std::to_string(size.widthPx);
    json += ",\"height_px\":" + std::to_string(size.heightPx);
    json += ",\"width_mm\":" + formatDecimal(size.widthMm, 4);
    json += ",\"height_mm\":" + formatDecimal(size.heightMm, 4);
    json += ",\"module_mm\":" + formatDecimal(outcome.barcode.module.achievedMm, 6);
    json += ",\"module_dots\":" + std::to_string(outcome.barcode.module.dots);
    json += ",\"module_percent\":" + modulePercent(outcome.barcode.module);
    // The wide elements as drawn, for the symbologies of two widths.
    const RatioChoice& ratio = outcome.barcode.ratio;
    json += ",\"ratio\":" + (ratio.widePx > 0 ? formatDecimal(ratio.drawn(), 6) : "null");
    json += ",\"wide_dots\":" + (ratio.widePx > 0 ? std::to_string(ratio.widePx) : "null");
    json += ",\"quiet_zone_px\":[" + std::to_string(outcome.barcode.leftQuietPx) + "," +
            std::to_string(outcome.barcode.rightQuietPx) + "]";
    json += ",\"bar_reduction_mm\":" + formatDecimal(outcome.reductionMm, 6);
    json += ",\"bearer_mm\":" + formatDecimal(outcome.bearerMm, 6);
    return json + warnings;
}

} // namespace lorvaxen::tool
