// The reference decode of each symbology from measured element widths, with its decodability: how
// much of the margin between a width and the decoder's threshold the worst measurement has left.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "symbology_facts.h"

namespace lorvaxen::verifier {

using lorvaxen::Symbology;

struct Decoded
{
    bool ok = false;
    std::string problem; // why the decode failed
    Symbology symbology = Symbology::Code39;
    std::string text;  // as framed: start, data, check and stop characters ("*ABC*", "a1236a")
    std::string check; // what the check character proves, in words
    double decodability = 0;
    // The character with the lowest decodability, as its first element and element count.
    std::size_t worstFirst = 0;
    std::size_t worstCount = 0;
    double moduleWidth = 0;     // the average narrow element (JAN: the module), in samples
    int leftQuietModules = 10;  // the light margins that the symbology asks for
    int rightQuietModules = 10; // (left: before the start character)
};

// Decodes the widths of a symbol's elements, bar first and last, as read from left to right.
Decoded decodeAs(Symbology symbology, std::span<const double> widths);

} // namespace lorvaxen::verifier
