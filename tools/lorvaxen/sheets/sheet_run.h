// A batch whose labels go on the pages of one PDF: a sheet's cells, or a roll's pages.
#pragma once

#include <ostream>

#include "options.h"

namespace lorvaxen::tool {

// Runs the batch onto the pages of `options.output`, which appears, complete, only when at least
// one label was placed. Reports each line as a batch does, then the file's pages and a reminder
// to print them at their actual size. Answers 0 only when every line was placed and the file
// written.
int runPages(const Options& options, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
