// The typeface of the pictures `lorvaxen verify` draws: DejaVu Sans, from Debian's
// fonts-dejavu-core, loaded through FreeType for cairo.
#pragma once

#include <string>

#include <cairo.h>

namespace lorvaxen {

struct ReportFonts
{
    cairo_font_face_t* regular = nullptr;
    cairo_font_face_t* bold = nullptr;
};

// Loaded once for the process; empty faces, with what is missing in `problem`, when the font
// files cannot be read.
ReportFonts reportFonts(std::string* problem);

} // namespace lorvaxen
