// The one-page report of `lorvaxen verify --report FILE`: PDF, PNG or SVG by the file's extension.
#pragma once

#include <string>

#include "reflectance_image.h"
#include "verify_text.h"

namespace lorvaxen {

// Empty when `path` ends in an extension the report can be drawn as (.pdf, .png or .svg, in any
// case); else the refusal that says so.
std::string reportNameProblem(const std::string& path);

// Draws the symbol with its ten scan lines coloured by their grades, the worst scan's profile,
// every parameter's grade on every scan, the symbol grade and its letter, the settings and the
// advice, on one page. `picture` is the image as read, the symbol found in it. Returns what went
// wrong, or an empty text.
std::string writeReportPage(const verifier::ReflectanceImage& picture, const VerifyReport& report,
                            const std::string& path);

} // namespace lorvaxen
