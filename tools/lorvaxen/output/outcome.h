// What came of one barcode: the label made, and the file it went to.
#pragma once

#include <string>

#include "formats.h"
#include "make_label.h"

namespace lorvaxen::tool {

// A label made and written: where to, in which format, and all the rest that came of it.
struct Outcome : MadeLabel
{
    std::string path; // "-" for standard output; empty until known
    ImageFormat format = ImageFormat::Png;
    int page = 0; // on the pages of a sheet or roll: where the label went, from 1
    int cell = 0;
};

} // namespace lorvaxen::tool
