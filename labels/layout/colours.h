// Colours as people type them: "#1a2b3c", "#abc", "black".
#pragma once

#include <optional>
#include <string_view>

#include "mono_image.h"

namespace lorvaxen {

// "#1a2b3c", "1a2b3c", "#abc", black or white, in any case; "none" is no colour (a transparent
// background). Empty when it is none of those.
std::optional<std::optional<Colour>> colourNamed(std::string_view text);

} // namespace lorvaxen
