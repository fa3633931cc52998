// Inside the verifier: the reference decoder of each symbology, from measured element widths, and
// what they share in reporting a failure. Each decoder carries its own table of symbol characters,
// written out apart from the library's encoding tables on purpose: a fault in one of those is then
// caught by a decode that disagrees, not repeated by it.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "symbologies.h"

namespace lorvaxen::verifier::detail {

Decoded decodeJan(std::span<const double> widths);
Decoded decodeCode39(std::span<const double> widths);
Decoded decodeNw7(std::span<const double> widths);
Decoded decodeI2of5(std::span<const double> widths);

// A decode that failed, and why.
Decoded failure(Symbology symbology, std::string problem);
// Why character `character` (from 0) failed: it matches no row of the table.
std::string characterProblem(std::size_t character);

} // namespace lorvaxen::verifier::detail
