// A label from a text: the symbol with every rule of its symbology, then its light margins, text,
// bearer bars, turn, colours and bar width reduction, ready for any writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "barcode.h"
#include "label.h"

namespace lorvaxen {

// Everything a label is made with, besides its symbol's own settings.
struct LabelSettings
{
    BarcodeSettings barcode;
    Paint paint;
    int rotation = 0; // clockwise degrees: 0, 90, 180 or 270
    Bearer bearer = Bearer::None;
    double barReductionMm = 0;
    // Drawn for a vector format: each bar is then made narrower by exactly the reduction, not by
    // whole dots.
    bool vector = false;
};

// No bar is printed this much narrower: a larger --bar-reduction is a slip, and would not fit the
// dot counts the raster formats work in.
constexpr double kMostBarReductionMm = 10;

// What a symbology's labels take when not told otherwise: ITF-14 its nominal module and a bearer
// frame, the others 0.33 mm and no bearer bars.
double defaultNarrowMm(const SymbologyFacts& facts);
Bearer defaultBearer(const SymbologyFacts& facts);
// "none", "bars" or "frame"; empty for any other name.
std::optional<Bearer> bearerNamed(std::string_view name);

// A label's size as written, turned as it is: pixels, and the millimetres a pixel stands for.
struct LabelSize
{
    int32_t widthPx = 0;
    int32_t heightPx = 0;
    // As drawn: the pixels' size, but for an exact module the bars at their height exactly.
    double widthMm = 0;
    double heightMm = 0;
    double pixelMm = 0;
    int dpi = 0; // the printer's; 0 for a module drawn exactly in millimetres
};

// A text the symbology does not take, as a value: the library's result code, the character at
// fault and its place where one is, and the message the command line prints.
struct Refusal
{
    int32_t code = 0;
    std::size_t position = 0; // in characters (UTF-8 sequences) from 1; 0 when no one is at fault
    std::string character;    // that character, as UTF-8
    std::string message;      // "a character is not a Code 39 symbol: ',' at character 10"
};

// What came of one text: the library's answer, the picture and its size, and what the user
// should be told.
struct MadeLabel
{
    std::string text;
    const SymbologyInfo* symbology = nullptr;
    Barcode barcode; // the library's code; on success the framed text and the module
    Label label;     // the picture; empty when nothing was made
    LabelSize size;
    double reductionMm = 0; // how much narrower each bar is printed
    int32_t reductionDots = 0;
    double bearerMm = 0;               // the thickness of the bearer bars
    std::vector<std::string> warnings; // a size outside the standard, a text made smaller
    std::string problem; // what went wrong outside the library, such as a wrong check digit

    bool refused() const { return barcode.code != LORVAXEN_OK; }
    bool succeeded() const { return !refused() && problem.empty(); }
    // The library's refusal of the text; empty when it was taken.
    std::optional<Refusal> refusal() const;
};

// Makes the label. Never throws for bad input: a refusal, a problem and warnings say what
// happened. `settings.barcode.symbology` must be set.
MadeLabel makeLabel(std::string_view text, const LabelSettings& settings);

} // namespace lorvaxen
