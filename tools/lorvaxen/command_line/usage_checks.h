// The checks of a command line that need more than one option, or a look at the output's name:
// what CLI11 cannot check option by option.
#pragma once

#include <optional>
#include <string>

#include "options.h"

namespace lorvaxen::tool {

// Completes `options` from the output's name (the format, a batch's name template) and answers
// what makes the command line unusable, if anything. `formatName` is --format's, or empty.
std::optional<std::string> usageProblem(Options& options, bool hasText, bool outputGiven,
                                        const std::string& formatName);

} // namespace lorvaxen::tool
