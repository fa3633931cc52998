// What each symbology's standard says of a printed symbol, in one table read by the tool (names,
// default sizes, the text under the bars), the label layout and the verifier (light margins, the
// wide-to-narrow ratios and gaps between characters it accepts, the order it tries symbologies
// in). The encoding tables themselves stay with the library and the verifier's own reference
// decoders.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include <lorvaxen/symbology.h>

namespace lorvaxen {

// How the human-readable text sits under the bars.
enum class TextLayout {
    Ean,     // the EAN-13 layout: a digit left of the start guard, six under each half
    Centred, // the framed text centred under the bars
    UpcA     // the UPC-A layout: the first and last digits smaller, outside the guard bars, five
             // under each half, whose outer symbol characters reach down as the guards do
};

// One digit of the human-readable text of the EAN layouts: where its seven-module slot starts, in
// modules from the start guard's first bar (negative in the left light margin), and its size
// against the other digits'.
struct TextSlot
{
    double startModule;
    double scale;
};

// Modules [first, end) of the symbol, counted as the text slots are.
struct ModuleRange
{
    int first;
    int end;
};

// A least wide-to-narrow ratio above the symbology's own for modules under a size, where print
// growth eats the ratio; none where `belowModuleMm` is 0.
struct SmallModuleRatio
{
    double belowModuleMm = 0;
    double minRatio = 0;
};

// The widest gap between characters that a discrete symbology allows: `mostModules`, or for a
// module of `largeModuleMm` or more the wider of `largeMostModules` and `largeMostMm`; none where
// `mostModules` is 0.
struct CharacterGapRule
{
    double mostModules = 0;
    double largeModuleMm = 0;
    double largeMostModules = 0;
    double largeMostMm = 0;
};

// A symbology's row. The fields that may be "none" start as none (0 or empty), so that a row
// names only what its symbology has; the others every row must give.
struct SymbologyFacts
{
    Symbology symbology;
    std::string_view name;  // the tool's option name: "jan", "code39", "itf", "nw7"
    std::string_view title; // for people: "Interleaved 2 of 5"
    // Other names people use for it, lower case; matched without regard to case.
    std::span<const std::string_view> aliases = {};
    // The light margins a reader needs, in modules (left: before the start character).
    int leftQuietModules;
    int rightQuietModules;
    // The nominal module and the shares of it that the standard allows; 0 where it names none.
    double nominalModuleMm = 0;
    double minModuleShare = 0;
    double maxModuleShare = 0;
    // The wide-to-narrow ratios the standard allows; 0 for a symbology of module multiples.
    double minRatio = 0;
    double maxRatio = 0;
    // The stricter least ratio for small modules, where there is one.
    SmallModuleRatio smallModuleRatio = {};
    // The length of the framed text where it tells this face from the others of its symbology
    // (ITF-14's fourteen digits); 0 otherwise.
    std::size_t framedLength = 0;
    // The default bar height; scaled with the module where there is a nominal one.
    double defaultHeightMm;
    // The default height of the human-readable digits, in modules.
    double textHeightModules;
    TextLayout textLayout;
    // Every character the library takes in a text of this symbology, in upper case; letters are
    // matched in any case.
    std::string_view characters;
    // The thickness of ITF-14's bearer bars in modules; 0 for a symbology printed without them.
    double bearerModules = 0;
    // The EAN layouts' digits, one slot each, and the bars that reach down between them (the
    // guard bars, and a UPC-A's first and last symbol characters); empty for a centred text.
    std::span<const TextSlot> textSlots = {};
    std::span<const ModuleRange> longBars = {};
    // The gaps between characters, where the standard bounds them.
    CharacterGapRule characterGap = {};
};

// Every symbology, in the order the tool lists them. The first rows are in the order of the
// enumeration; a row after them is another face of one of those (UPC-A, a JAN with a leading 0;
// ITF-14, the fourteen digits of a trade item's number in Interleaved 2 of 5; Codabar, an NW7 with
// its own start, stop and check rules).
std::span<const SymbologyFacts> allSymbologyFacts();
const SymbologyFacts& factsOf(Symbology symbology);
// The least wide-to-narrow ratio the standard allows at a module of `moduleMm` (0 when unknown);
// `framedLength`, the framed text's length when known, tells an ITF-14 from other Interleaved 2
// of 5.
double minRatioAt(const SymbologyFacts& facts, double moduleMm, std::size_t framedLength = 0);
// The widest gap between characters allowed at a module of `moduleMm` (0 when unknown), in
// modules; nothing where the symbology bounds none.
std::optional<double> mostCharacterGapModules(const SymbologyFacts& facts, double moduleMm);
// The order in which the symbologies are tried on a symbol of unknown symbology.
std::span<const Symbology> recognitionOrder();
// By option name or alias, in any case.
const SymbologyFacts* findSymbologyFacts(std::string_view name);

// The modulo 10 check digit of a trade item's number, from the digits before it: EAN-13, UPC-A
// and ITF-14 alike.
char gtinCheckDigit(std::string_view digits);

} // namespace lorvaxen
