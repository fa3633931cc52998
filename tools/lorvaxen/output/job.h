// One barcode from text to file, the unit of work of a single run and of each batch line.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "barcode.h"
#include "image_file.h"
#include "options.h"
#include "outcome.h"

namespace lorvaxen::tool {

// Makes the barcode and, if the library gave one, lays out its label and writes it to `path`, or
// when that is empty to a file named after the label's text in the current directory (a name the
// tool makes, whatever `naming` says). Never throws for bad input: the outcome says what
// happened. Returns with interruptions held: the caller releases them once the outcome is
// reported.
Outcome produce(std::string_view text, const Options& options, const std::string& path,
                Durability durability, Naming naming);

// The single-barcode run: produce, report, and answer the exit status.
int runSingle(const Options& options, std::istream& in, std::ostream& out, std::ostream& err);

// Ends a report: false, with a message on `err`, when it could not be written.
bool reportWritten(std::ostream& report, std::ostream& err);

} // namespace lorvaxen::tool
