// Lengths and colours as people type them: "0.33", "0,33", "0.33mm", "13mil", "0.013in", "2 pt";
// "#1a2b3c", "#abc", "black".
#pragma once

#include <optional>
#include <string_view>

#include "mono_image.h"

namespace lorvaxen {

// The length in millimetres: a finite number with a decimal point or a single decimal comma,
// then, after optional spaces, a unit in any case: mm (the default), in, mil (a thousandth of an
// inch) or pt (a 72nd of an inch). Empty when it is none of those.
std::optional<double> lengthMm(std::string_view text);

// "#1a2b3c", "1a2b3c", "#abc", black or white, in any case; "none" is no colour (a transparent
// background). Empty when it is none of those.
std::optional<std::optional<Colour>> colourNamed(std::string_view text);

} // namespace lorvaxen
