// The one picture of a label that every image writer encodes: the bars with their light
// margins, and the human-readable text under them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "barcode.h"
#include "font.h"

namespace lorvaxen::tool {

// One character of the text, with its pen origin in pixels.
struct Glyph
{
    char c;
    double penX;
    double baselineY;
    double scale = 1.0; // of the label's size: smaller for a UPC-A's outer digits
};

struct Label
{
    MonoImage image; // bars, lengthened guard bars, margins, and white room for the text
    std::vector<Glyph> glyphs;
    double emPx = 0;
    const Font* font = nullptr;
};

// Whether the text goes under the bars, and the height of its digits when not the default.
struct TextSettings
{
    bool shown = true;
    std::optional<double> digitHeightMm;
};

// The bars alone, as the library drew them and the quiet zones framed them.
Label barsOnly(MonoImage bars);

// Puts the shown text under the bars: an EAN-13 layout for JAN, a UPC-A one for UPC-A, the text
// centred under the bars for the others. `digitHeightMm` is the height of the digits, or the
// symbology's default when empty. The picture grows to hold the text, so the text never overlaps
// the bars. Answers a problem, such as a missing font, or an empty text; `warnings` collects what
// the user should know of.
std::string addText(Label& label, const Barcode& barcode, const SymbologyInfo& symbology,
                    std::optional<double> digitHeightMm, std::vector<std::string>* warnings);

// The picture as pixels, text drawn in, for the raster formats.
MonoImage rasterize(const Label& label);

} // namespace lorvaxen::tool
