// What came of one barcode: the library's answer, the label's size and the file, and what the
// user should be told.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barcode.h"
#include "image_file.h"

namespace lorvaxen::tool {

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

struct Outcome
{
    std::string text;
    const SymbologyInfo* symbology = nullptr;
    std::string path; // "-" for standard output; empty until known
    ImageFormat format = ImageFormat::Png;
    Barcode barcode; // the library's code; on success the framed text and the module
    LabelSize size;
    double reductionMm = 0; // how much narrower each bar is printed
    int32_t reductionDots = 0;
    double bearerMm = 0;               // the thickness of the bearer bars
    std::vector<std::string> warnings; // a size outside the standard, a text made smaller
    std::string problem; // what went wrong outside the library, such as an unwritable file

    bool refused() const { return barcode.code != LORVAXEN_OK; }
    bool succeeded() const { return !refused() && problem.empty(); }
};

} // namespace lorvaxen::tool
