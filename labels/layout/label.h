// The one picture of a label that every image writer encodes: the bars with their light
// margins, and the human-readable text under them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "barcode.h"
#include "font.h"

namespace lorvaxen {

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
    MonoImage image; // bars, lengthened guard bars, bearer bars, margins, room for the text
    std::vector<Glyph> glyphs;
    double emPx = 0;
    const Font* font = nullptr;
    double pixelMm = 0;     // the size of one pixel in millimetres
    int32_t framePx = 0;    // the bearer frame's width on each side of the bars and margins
    double reductionPx = 0; // for the vector formats: how much narrower each bar is drawn
    // The rows of the bars, from `barsTopPx`, and the height they stand for in pixels: the same
    // but for an exact module, whose height the whole rows only come near. The vector formats
    // draw the bars at that height, and what lies below them moves with it.
    int32_t barsTopPx = 0;
    int32_t barsRows = 0;
    double barsHeightPx = 0;
    Paint paint;
    int rotation = 0; // clockwise, in degrees: 0, 90, 180 or 270
};

// A rectangle in the label's pixels.
struct Rect
{
    double x;
    double y;
    double width;
    double height;
};

// The black of the picture as rectangles for the vector formats: bars span the full height, so
// rows are taken in bands of identical rows, a barcode one band and each bar one rectangle, made
// `reductionPx` narrower, half from each edge, and placed down the page by drawnY.
std::vector<Rect> barRects(const Label& label);

// Where the vector formats draw a row edge `y` of the picture, in its pixels: the bars at their
// exact height, and the rows below them moved by the difference.
double drawnY(const Label& label, double y);
// The picture's height as the vector formats draw it.
double drawnHeightPx(const Label& label);

// A label's size turned by its rotation.
std::pair<double, double> turnedSize(const Label& label, double width, double height);

// ITF-14's bearer bars: a bar along the top and the bottom of the symbol and its light margins,
// or a frame all round them.
enum class Bearer { None, Bars, Frame };
std::string addBearers(Label& label, Bearer bearer, int32_t thicknessPx);

// The bars alone, as the library drew them and the quiet zones framed them, each pixel
// `pixelMm` millimetres wide, the bars `barsHeightPx` high (a fraction more or less than their
// rows for an exact module).
Label barsOnly(MonoImage bars, double pixelMm, double barsHeightPx);

// Puts the shown text under the bars: an EAN-13 layout for JAN, a UPC-A one for UPC-A, the text
// centred under the bars for the others. `digitHeightMm` is the height of the digits, or the
// symbology's default when empty. The picture grows to hold the text, so the text never overlaps
// the bars. Answers a problem, such as a missing font, or an empty text; `warnings` collects what
// the user should know of.
std::string addText(Label& label, const Barcode& barcode, const SymbologyInfo& symbology,
                    std::optional<double> digitHeightMm, std::vector<std::string>* warnings);

// The picture as pixels, text drawn in, for the raster formats.
MonoImage rasterize(const Label& label);

} // namespace lorvaxen
