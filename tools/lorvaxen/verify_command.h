// lorvaxen verify IMAGE: grades the print quality of a barcode in an image file.
#pragma once

#include <ostream>

namespace lorvaxen::tool {

// The subcommand with its own arguments (argv[0] is "verify"); returns the exit status: 0 graded,
// 1 the image could not be read or holds no barcode, or the plot could not be written, 2 a usage
// error.
int runVerify(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
