#include "colours.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace lorvaxen {

std::optional<std::optional<Colour>> colourNamed(std::string_view text)
{
    std::string name(text);
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
