// The parsers of option values that CLI11 has no check for: lengths in any unit, plain numbers
// with a decimal comma or point, and finite ranges.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace lorvaxen::tool {

// A finite number from `least` to `most` (CLI11's own checks take "nan" and "inf" as numbers),
// refused with `unit` named in the message.
CLI::Validator finiteRange(double least, double most, const std::string& unit);
// A length in any unit of parseLengthMm, replaced by its millimetres; a finite plain number.
CLI::Validator lengthInMm();
CLI::Validator plainNumber();

} // namespace lorvaxen::tool
