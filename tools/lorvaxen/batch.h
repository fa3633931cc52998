// Many barcodes in one run: one per line of a file or of standard input.
#pragma once

#include <ostream>

#include "options.h"

namespace lorvaxen::tool {

// Makes a barcode of each non-blank line, or of a column of each row of a CSV file, as it is read,
// named by the template with the line number, and goes on past a bad line (but stops at a line
// too long to be a text). Reports each line on `out` (failures also on `err`), shows a progress bar
// on standard error when it is a terminal, and ends with a summary. Answers 0 only when every
// line was written.
int runBatch(const Options& options, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
