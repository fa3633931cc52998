// A true Codabar as printers and readers of library and laboratory labels know it, encoded by the
// library's NW7 encoder: any start and stop A to D, and the modulo 16 check character that
// readers verify. The library's own NW7 rules (the stop a copy of the start, its own check
// character) stay as they are for `-s nw7`.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen {

// True for the tool's Codabar, another face of the library's NW7.
bool isCodabar(const SymbologyFacts& symbology);

// What the library is to be given for a Codabar text, and what it makes of it.
struct CodabarText
{
    // The start, the data and the check character if asked for: the library adds a copy of the
    // start as the stop.
    std::string libraryText;
    // The stop whose bars take the place of that copy, in the library's lower case; none when the
    // stop is the start.
    std::optional<char> stop;
    std::string framed;  // as readers return it: "A1239B"
    std::string problem; // a start or stop letter inside the data, and where
};
CodabarText prepareCodabar(std::string_view text, bool check);

} // namespace lorvaxen
