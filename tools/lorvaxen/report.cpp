#include "report.h"

#include <cstdio>

#include "job.h"

namespace lorvaxen::tool {
namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte there starts none
// (stray continuation bytes, overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    uint32_t value = 0;
    uint32_t smallest = 0;
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0) {
        length = 2, value = lead & 0x1FU, smallest = 0x80;
    } else if ((lead & 0xF0U) == 0xE0) {
        length = 3, value = lead & 0x0FU, smallest = 0x800;
    } else if ((lead & 0xF8U) == 0xF0) {
        length = 4, value = lead & 0x07U, smallest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3FU);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < smallest || value > 0x10FFFF || surrogate ? 0 : length;
}

std::string mm(int32_t pixels, int dpi, int places)
{
    return formatDecimal(pixelsToMm(pixels, dpi), places);
}

std::string modulePercent(const ModuleChoice& module)
{
    return formatDecimal(module.achievedMm / module.requestedMm * 100, 1);
}

std::string destination(const Outcome& outcome)
{
    return isStandardOutput(outcome.path) ? "standard output" : outcome.path;
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8Length(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out + '"';
}

std::string versionText(int32_t version)
{
    const int32_t hundredths = version % 100;
    char text[32];
    if (hundredths % 10 == 0) {
        std::snprintf(text, sizeof text, "%d.%d", version / 100, hundredths / 10);
    } else {
        std::snprintf(text, sizeof text, "%d.%02d", version / 100, hundredths);
    }
    return text;
}

std::string successText(const Outcome& outcome)
{
    const MonoImage& image = outcome.barcode.image;
    std::string text = "framed text: " + outcome.barcode.framedText + "\n";
    text += "size: " + std::to_string(image.width) + " x " + std::to_string(image.height) +
            " pixels, " + mm(image.width, image.dpi, 2) + " x " + mm(image.height, image.dpi, 2) +
            " mm at " + std::to_string(image.dpi) + " dpi";
    if (outcome.barcode.leftQuietPx > 0) {
        text += ", quiet zones of " + std::to_string(outcome.barcode.leftQuietPx) + " and " +
                std::to_string(outcome.barcode.rightQuietPx) + " pixels included";
    }
    const ModuleChoice& module = outcome.barcode.module;
    text += "\nmodule: " + formatDecimal(module.achievedMm, 4) + " mm (" +
            std::to_string(module.dots) + (module.dots == 1 ? " dot), " : " dots), ") +
            modulePercent(module) + "% of the " + formatDecimal(module.requestedMm, 4) +
            " mm asked for";
    return text + "\nwritten to: " + destination(outcome) + "\n";
}

std::string failureText(const Outcome& outcome)
{
    if (outcome.refused()) {
        return std::to_string(outcome.barcode.code) + ": " +
               std::string(describeResult(outcome.barcode.code)) +
               (outcome.barcode.refused.empty() ? "" : ": " + outcome.barcode.refused);
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
    if (outcome.refused()) {
        json += ",\"code\":" + std::to_string(outcome.barcode.code);
    }
    if (outcome.refused()) {
        json += ",\"error\":" + jsonString(describeResult(outcome.barcode.code));
        if (!outcome.barcode.refused.empty()) {
            json += ",\"refused\":" + jsonString(outcome.barcode.refused);
        }
        return json + "}";
    }
    if (!outcome.succeeded()) {
        return json + ",\"error\":" + jsonString(outcome.problem) + "}";
    }
    const MonoImage& image = outcome.barcode.image;
    json += ",\"framed\":" + jsonString(outcome.barcode.framedText);
    json += ",\"file\":" + jsonString(outcome.path);
    json += ",\"format\":" + jsonString(formatName(outcome.format));
    json += ",\"dpi\":" + std::to_string(image.dpi);
    json += ",\"width_px\":" + std::to_string(image.width);
    json += ",\"height_px\":" + std::to_string(image.height);
    json += ",\"width_mm\":" + mm(image.width, image.dpi, 4);
    json += ",\"height_mm\":" + mm(image.height, image.dpi, 4);
    json += ",\"module_mm\":" + formatDecimal(outcome.barcode.module.achievedMm, 6);
    json += ",\"module_dots\":" + std::to_string(outcome.barcode.module.dots);
    json += ",\"module_percent\":" + modulePercent(outcome.barcode.module);
    json += ",\"quiet_zone_px\":[" + std::to_string(outcome.barcode.leftQuietPx) + "," +
            std::to_string(outcome.barcode.rightQuietPx) + "]";
    return json + "}";
}

} // namespace lorvaxen::tool
