// What the tool checks in a text before the library sees it, and what it shows of the framed
// text: the refused character and where it is, a JAN's, UPC-A's or ITF-14's check digit, NW7's
// replaced stop, the digits under a UPC-A symbol and the name of the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen {

// The first character that the symbology does not take: its place, counted in characters (UTF-8
// sequences) from 1, the character, and both in words: "'-' at character 5". Empty when every
// character is taken.
struct RefusedCharacter
{
    std::size_t position = 0;
    std::string character;
    std::string words;
};
std::optional<RefusedCharacter> refusedCharacter(const SymbologyFacts& symbology,
                                                 std::string_view text);

// ITF-14: the fourteen digits of a trade item's number in Interleaved 2 of 5.
bool isItf14(const SymbologyFacts& symbology);

// What the library is given for the symbology's text, and a refusal the library would not make:
// a length it cannot have, or a check digit that does not hold. A UPC-A becomes an EAN-13 with a
// leading 0, and an ITF-14 of 13 digits gets its check digit. `asGiven` lets a wrong check digit
// through as it is.
struct PreparedText
{
    std::string text;
    std::string problem;
};
PreparedText prepareText(const SymbologyFacts& symbology, std::string_view text, bool asGiven);

// A warning that --check adds nothing to a symbology that carries its check digit already.
std::optional<std::string> ignoredCheckWarning(const SymbologyFacts& symbology, bool check);

// Options that were given but change nothing on this symbology's label.
struct GivenOptions
{
    bool ratio = false;
    bool asGiven = false;
    bool textSize = false;
    bool textShown = true;
};
// A warning for each of them, saying why it has no effect.
std::vector<std::string> ignoredOptionWarnings(const SymbologyFacts& symbology,
                                               const GivenOptions& given);

// A warning when the library replaces the stop character that the text ends with.
std::optional<std::string> replacedStopWarning(const SymbologyFacts& symbology,
                                               std::string_view text);

// The framed text as people read it: the UPC-A's twelve digits, NW7's start and stop in upper
// case as readers return them.
std::string shownText(const SymbologyFacts& symbology, std::string_view framed);

// The data a file is named after: the shown text without Code 39's asterisks.
std::string nameStem(const SymbologyFacts& symbology, std::string_view shown);

} // namespace lorvaxen
