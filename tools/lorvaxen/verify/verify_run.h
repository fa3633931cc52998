// lorvaxen verify IMAGE: grades the print quality of a barcode in an image file.
#pragma once

#include <ostream>

#include "verify_command.h"

namespace lorvaxen::tool {

// Grades the image; returns the exit status: 0 graded, 1 the image could not be read or holds no
// barcode, or the report, the plot or the page could not be written, 3 graded below --min-grade.
int runVerifyRequest(const VerifyRequest& request, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
