// What the tool tells its user of an outcome: plain text for people, JSON for programs.
#pragma once

#include <optional>
#include <string>

#include "json_text.h"
#include "outcome.h"

namespace lorvaxen::tool {

// framed text, size in pixels and millimetres, and the file, on three lines.
std::string successText(const Outcome& outcome);
// Where the label went: "label.png", "standard output", "sheet.pdf, page 2, cell 1".
std::string destinationText(const Outcome& outcome);
// One line: "-22: a character is not a Code 39 symbol", or what kept the file from being written.
std::string failureText(const Outcome& outcome);
// The same as one JSON object; `line` is the batch line, when there is one.
std::string outcomeJson(const Outcome& outcome, std::optional<int> line);

} // namespace lorvaxen::tool
