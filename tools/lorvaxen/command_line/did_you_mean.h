// "Did you mean": an unknown option named with the nearest one the tool has.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

namespace lorvaxen::tool {

// An option the tool does not have, named before CLI11 could take its value for the text and
// blame the text; with the nearest option it has, when one is near. After "verify", the options
// are the subcommand's.
std::optional<std::string> unknownOption(const CLI::App& app, int argc, const char* const* argv);

} // namespace lorvaxen::tool
