// Many barcodes in one run: one per line of a file or of standard input.
#pragma once

#include <ostream>

#include "options.h"

namespace lorvaxen::tool {

// Makes a barcode of each non-blank line, named by the template with the line number, and goes
// on past a bad line. Reports each line on `out` (failures also on `err`), shows a progress bar
// on standard error when it is a terminal, and ends with a summary. Answers 0 only when every
// line was written.
int runBatch(const Options& options, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
