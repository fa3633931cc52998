// The reference decode of each symbology from measured element widths, with its decodability: how
// much of the margin between a width and the decoder's threshold the worst measurement has left.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen::verifier {

using lorvaxen::Symbology;

struct Decoded
{
    // What a decode that has not found its symbology is taken for, light margins and all.
    static constexpr Symbology kDefaultSymbology = Symbology::Code39;

    bool ok = false;
    std::string problem; // why the decode failed
    Symbology symbology = kDefaultSymbology;
    std::string text;  // as framed: start, data, check and stop characters ("*ABC*", "a1236a")
    std::string check; // what the check character proves, in words
    double decodability = 0;
    // The character with the lowest decodability, as its first element and element count.
    std::size_t worstFirst = 0;
    std::size_t worstCount = 0;
    double moduleWidth = 0; // the average narrow element (JAN: the module), in samples
    // Of the two-width symbologies: the achieved wide-to-narrow ratio (the average wide element
    // over the average narrow one), and, for Code 39, the widest gap between characters.
    double ratio = 0;
    double largestGapModules = 0;
    // The light margins that the symbology asks for (left: before the start character).
    int leftQuietModules = factsOf(kDefaultSymbology).leftQuietModules;
    int rightQuietModules = factsOf(kDefaultSymbology).rightQuietModules;
};

// Decodes the widths of a symbol's elements, bar first and last, as read from left to right, and
// sets the light margins the symbol needs. A JAN whose leading digit is 0 has the bars of a UPC-A,
// so it needs only the narrower margin of each face: UPC-A's nine modules on the left, and
// EAN-13's seven on the right. With `upcA` a JAN must be a UPC-A: its leading digit 0, and nine
// modules of margin on each side; its text is then the UPC-A's twelve digits.
Decoded decodeAs(Symbology symbology, std::span<const double> widths, bool upcA = false);

// What the symbology's own standard asks of a decoded symbol beyond its decode: the
// wide-to-narrow ratio within its limits (minRatioAt) and, where it bounds them, its gaps between
// characters (mostCharacterGapModules: Code 39's). Empty when all hold, else which fails.
// `moduleMm` is the module in millimetres; 0 if unknown.
std::string symbologyRulesProblem(const Decoded& decoded, double moduleMm);

} // namespace lorvaxen::verifier
