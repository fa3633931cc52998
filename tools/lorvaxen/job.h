// One barcode from text to file, the unit of work of a single run and of each batch line.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "barcode.h"
#include "image_file.h"
#include "options.h"

namespace lorvaxen::tool {

struct Outcome
{
    std::string text;
    const SymbologyInfo* symbology = nullptr;
    std::string path; // "-" for standard output
    ImageFormat format = ImageFormat::Png;
    Barcode barcode;     // the library's code; on success the framed text and the image
    std::string problem; // what went wrong outside the library, such as an unwritable file

    bool refused() const { return barcode.code != LORVAXEN_OK; }
    bool succeeded() const { return !refused() && problem.empty(); }
};

// Makes the barcode and, if the library gave one, writes it. Never throws for bad input: the
// outcome says what happened.
Outcome produce(std::string_view text, const BarcodeSettings& settings, const std::string& path,
                ImageFormat format);

// The single-barcode run: produce, report, and answer the exit status.
int runSingle(const Options& options, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
