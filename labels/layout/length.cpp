#include "length.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace lorvaxen {
namespace {

// A unit is `mm` millimetres in `per` of them: 13 mil is 13 x 25.4 / 1000 mm, as written.
struct Unit
{
    std::string_view name;
    double mm;
    double per;
};

constexpr std::array kUnits{Unit{"mil", 25.4, 1000}, Unit{"mm", 1, 1}, Unit{"in", 25.4, 1},
                            Unit{"pt", 25.4, 72}};

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

bool endsWithUnit(std::string_view text, std::string_view unit)
{
    return text.size() > unit.size() &&
           std::equal(
               unit.begin(), unit.end(), text.end() - static_cast<long>(unit.size()),
               [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

} // namespace

const std::string_view kLengthUnits = "mm (the default), in, mil or pt";

std::optional<double> parseNumber(std::string_view text)
{
    std::string number(trimmed(text));
    if (std::ranges::count(number, ',') == 1 && number.find('.') == std::string::npos) {
        number[number.find(',')] = '.';
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseLengthMm(std::string_view text)
{
    text = trimmed(text);
    Unit unit = kUnits[1];
    for (const Unit& candidate : kUnits) {
        if (endsWithUnit(text, candidate.name)) {
            text.remove_suffix(candidate.name.size());
            unit = candidate;
            break;
        }
    }
    const auto value = parseNumber(text);
    if (!value) {
        return std::nullopt;
    }
    const double mm = *value * unit.mm / unit.per;
    return std::isfinite(mm) ? std::optional(mm) : std::nullopt;
}

} // namespace lorvaxen
