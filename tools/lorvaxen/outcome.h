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
};

} // namespace lorvaxen::tool
