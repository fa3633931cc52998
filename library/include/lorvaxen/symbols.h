// The library's symbols for C++ callers: a text encoded into its framed text and element pattern,
// and a pattern painted into a monochrome bitmap, by the very code that the four C functions run.
// Nothing here throws; a refusal comes back as the C functions' result code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "symbology.h"

namespace lorvaxen {

// A text as a symbology frames and encodes it, or the code that refused it.
struct Encoding
{
    int32_t code = 0; // LORVAXEN_OK, or the C functions' refusal of a length or a character
    std::string framedText;
    std::string elementPattern; // a width digit per element, bar first
    // The ratio the pattern is painted at whatever the caller asks: JAN's widths are whole modules.
    std::optional<double> fixedRatio;
};

// Checks the length, folds the case (on a copy: `text` is never written) and checks the
// characters as the symbology's C function does, then frames and encodes. `checkFlag` 1 asks for
// the check character where the symbology has one of its own choosing. Memory that cannot be had
// answers LORVAXEN_NO_BITMAP.
Encoding encode(Symbology symbology, std::string_view text, int32_t checkFlag) noexcept;

// What painting a pattern came to: the result code, the sizes once known (0 before), and on
// success the new bitmap, which the caller then owns and releases with DeleteObject.
struct Rendering
{
    int32_t code = 0;
    int32_t widthPx = 0;
    int32_t heightPx = 0;
    HBITMAP bitmap = nullptr;
};

// Paints an encoding for the device `hdc`, whose resolution turns millimetres into pixels. The
// code is 0, -1 (no BitBlt, or no memory device context), -2 (refused dimensions) or -3 (no
// bitmap).
Rendering render(HDC hdc, const Encoding& encoding, double narrowMm, double heightMm,
                 double ratio) noexcept;

// How the library frames an NW7 text, given in lower case: its own first letter a to d starts the
// symbol, else an 'a' put in front; the stop is always a copy of the start, replacing a letter a
// to d that ends the text. A lone letter is a start and a stop with no data between.
struct Nw7Frame
{
    char start = 'a';
    std::string_view data;
    // The letter a to d that ended the text and stands no more, when it differs from the start.
    std::optional<char> replacedStop;
};
Nw7Frame frameNw7(std::string_view lowerText);

} // namespace lorvaxen
