#include "values.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace lorvaxen {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr std::array<std::pair<std::string_view, double>, 4> kUnits{{
    {"mm", 1.0},
    {"in", kMmPerInch},
    {"mil", kMmPerInch / 1000},
    {"pt", kMmPerInch / 72},
}};

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<double> lengthMm(std::string_view text)
{
    text = trimmed(text);
    std::size_t unitAt = text.size();
    while (unitAt > 0 && std::isalpha(static_cast<unsigned char>(text[unitAt - 1])) != 0) {
        --unitAt;
    }
    std::string unit(text.substr(unitAt));
    for (char& c : unit) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    double scale = unit.empty() ? 1.0 : 0.0;
    for (const auto& [name, mm] : kUnits) {
        if (unit == name) {
            scale = mm;
        }
    }
    std::string number(trimmed(text.substr(0, unitAt)));
    if (scale == 0 || number.empty()) {
        return std::nullopt;
    }
    if (const auto comma = number.find(','); comma != std::string::npos &&
                                             number.find(',', comma + 1) == std::string::npos &&
                                             number.find('.') == std::string::npos) {
        number[comma] = '.';
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value * scale;
}

std::optional<std::optional<Colour>> colourNamed(std::string_view text)
{
    std::string name(trimmed(text));
    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "none") {
        return std::optional<Colour>();
    }
    if (name == "black" || name == "white") {
        const uint8_t level = name == "black" ? 0 : 255;
        return Colour{level, level, level};
    }
    if (!name.empty() && name[0] == '#') {
        name.erase(0, 1);
    }
    if ((name.size() != 6 && name.size() != 3) ||
        name.find_first_not_of("0123456789abcdef") != std::string::npos) {
        return std::nullopt;
    }
    if (name.size() == 3) {
        name = {name[0], name[0], name[1], name[1], name[2], name[2]};
    }
    const auto channel = [&](std::size_t at) {
        return static_cast<uint8_t>(std::stoi(name.substr(at, 2), nullptr, 16));
    };
    return Colour{channel(0), channel(2), channel(4)};
}

} // namespace lorvaxen
