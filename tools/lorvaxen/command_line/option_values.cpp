// The parsers of option values: each refuses what it cannot read with a message naming what it
// takes, or replaces the text with the number it means, for CLI11 to read back exactly.
#include "option_values.h"

#include <charconv>
#include <cmath>

#include "length.h"
#include "mono_image.h"

namespace lorvaxen::tool {
namespace {

// A number in place of what was typed, written so that it reads back as the same double.
std::string exactText(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return {text, result.ptr};
}

} // namespace

CLI::Validator lengthInMm()
{
    return {[](std::string& text) {
                const auto mm = parseLengthMm(text);
                if (!mm) {
                    return "'" + text + "' is not a number of millimetres, nor one with its " +
                           "unit, " + std::string(kLengthUnits) + ": 0.33, 0.013in, 13mil";
                }
                text = exactText(*mm);
                return std::string();
            },
            "", ""};
}

CLI::Validator plainNumber()
{
    return {[](std::string& text) {
                const auto number = parseNumber(text);
                if (!number) {
                    return "'" + text + "' is not a number";
                }
                text = exactText(*number);
                return std::string();
            },
            "", ""};
}

CLI::Validator finiteRange(double least, double most, const std::string& unit)
{
    return {[least, most, unit](const std::string& text) {
                double value = 0;
                const auto [end, error] =
                    std::from_chars(text.data(), text.data() + text.size(), value);
                if (error != std::errc() || end != text.data() + text.size() ||
                    !std::isfinite(value) || value < least || value > most) {
                    return "'" + text + "' is not a number from " + formatDecimal(least, 3) +
                           " to " + formatDecimal(most, 3) + unit;
                }
                return std::string();
            },
            "", ""};
}

} // namespace lorvaxen::tool
