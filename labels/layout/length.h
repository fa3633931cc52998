// A length as people type it, in the units of labels and printers.
#pragma once

#include <optional>
#include <string_view>

namespace lorvaxen {

// The units a length may be written in, for messages: "mm (the default), in, mil or pt".
extern const std::string_view kLengthUnits;

// "0.33", "0,33" (a decimal comma), "15mm", "15 mm", "0.013in", "13mil" or "0.94pt", in
// millimetres (a point is 1/72 inch, a mil 1/1000). Empty for anything else, and for a number
// that is not finite in millimetres.
std::optional<double> parseLengthMm(std::string_view text);

// A plain number with a decimal point or comma, finite: "2.5", "2,5".
std::optional<double> parseNumber(std::string_view text);

} // namespace lorvaxen
