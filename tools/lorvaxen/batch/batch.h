// Many barcodes in one run: one per line of a file or of standard input.
#pragma once

#include <ostream>

#include "options.h"
#include "outcome.h"

namespace lorvaxen::tool {

// Where a batch's labels go instead of a file each: the pages of one PDF (--sheet, --roll).
class LabelSink
{
  public:
    LabelSink() = default;
    LabelSink(const LabelSink&) = delete;
    LabelSink& operator=(const LabelSink&) = delete;
    virtual ~LabelSink() = default;
    // Makes the label of `text` and places it: the outcome says where, or why not.
    virtual Outcome place(std::string_view text) = 0;
};

// Makes a barcode of each non-blank line, or of a column of each row of a CSV file, as it is read,
// named by the template with the line number, and goes on past a bad line (but stops at a line
// too long to be a text). Reports each line on `out` (failures also on `err`), shows a progress bar
// on standard error when it is a terminal, and ends with a summary. Answers 0 only when every
// line was written. With a `sink`, each label goes to it instead of a file of its own.
int runBatch(const Options& options, std::ostream& out, std::ostream& err,
             LabelSink* sink = nullptr);

} // namespace lorvaxen::tool
