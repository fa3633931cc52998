// A symbol from a text, with every rule of its symbology: a framed text and a 1-bit image out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <Lorvaxen.h>
#include <lorvaxen/symbology_facts.h>

#include "mono_image.h"
#include "wide_elements.h"

namespace lorvaxen {

// A symbology as labels are made of it: its standard's facts, and the library's code for a
// character it does not take.
struct SymbologyInfo
{
    const SymbologyFacts& facts;
    int32_t charsetCode;
};

// The symbologies of the library, in the order `--help` lists them.
std::span<const SymbologyInfo> symbologies();
// By option name or alias, in any case.
const SymbologyInfo* findSymbology(std::string_view name);

// Whether the text goes under the bars, and the height of its digits when not the default.
struct TextSettings
{
    bool shown = true;
    std::optional<double> digitHeightMm;
};

struct BarcodeSettings
{
    const SymbologyInfo* symbology = nullptr;
    double narrowMm = 0.33;
    std::optional<double> heightMm; // the symbology's default when empty
    double ratio = 2.5;
    bool check = false;
    bool asGiven = false; // a JAN's or UPC-A's wrong check digit printed as it is, not refused
    int dpi = 600;
    // The module exactly as asked, in a drawing whose pixels are a whole fraction of it, for the
    // vector formats when no printer's resolution is given.
    bool exactModule = false;
    bool quietZone = true;
    // The text under the bars, which a default height keeps to at most half of the bars'.
    TextSettings text;
};

// The resolution an exact module is drawn at before its pixels are scaled to it.
constexpr int kExactModuleDpi = 1200;
// The modules an exact drawing adds to each light margin the symbology asks for.
constexpr int kExactQuietExtraModules = 1;

// The module the tool asks the library for: the whole number of dots nearest the requested
// width, never below one, so a symbol keeps its size whatever the resolution.
struct ModuleChoice
{
    double requestedMm = 0;
    int32_t dots = 0;      // 0 when the request is not a usable width; it then goes as it is
    double achievedMm = 0; // the dots as millimetres
    double libraryMm = 0;  // what the library is given, so that its truncation yields `dots`
    int dpi = 0;           // the printer's dots; 0 for a module drawn exactly
};

ModuleChoice chooseModule(int dpi, double requestedMm);

// A warning when the achieved module is outside what the symbology's standard allows.
std::optional<std::string> moduleWarning(const SymbologyInfo& info, const ModuleChoice& module);

// What one request gave: the library's result code and, on success, the framed text and the
// image (with its quiet zones when asked for them).
struct Barcode
{
    int32_t code = LORVAXEN_OK;
    std::string refused;          // with a character code: which character, and where, in words
    std::size_t refusedAt = 0;    // that character's place, from 1
    std::string refusedCharacter; // and the character
    std::string problem;          // a refusal of the tool's own, such as a wrong check digit
    std::string framedText;
    std::string shownText; // the text under the bars
    MonoImage image;
    int32_t leftQuietPx = 0;
    int32_t rightQuietPx = 0;
    ModuleChoice module;
    RatioChoice ratio;
    int32_t modulePx = 0;
    // The height of the bars in pixels: the rows the library drew, or for an exact module the
    // fraction of a pixel more or less that makes the height exact.
    double barsHeightPx = 0;
    double pixelMm = 0; // the size of the image's pixels in millimetres
    bool exact = false; // pixelMm makes the module exact rather than following a printer's dots
    // A given height whose bars are less than twice as tall as the text.
    std::optional<std::string> heightWarning;
};

Barcode makeBarcode(std::string_view text, const BarcodeSettings& settings);

// One module in pixels, as the renderer derives it: dpi times millimetres, then divided by 25.4,
// truncated toward zero, at least 1.
int32_t modulePixels(int dpi, double narrowMm);

// A result code in plain words, for every code the library can return.
std::string_view describeResult(int32_t code);
// The same, naming the symbology as people know it (a UPC-A, not a JAN), with what to do where
// the code alone tells it.
std::string describeResult(const SymbologyFacts& symbology, int32_t code);

} // namespace lorvaxen
