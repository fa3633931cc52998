// What the tool tells its user: plain text for people, JSON for programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvaxen::tool {

struct Outcome;

// framed text, size in pixels and millimetres, and the file, on three lines.
std::string successText(const Outcome& outcome);
// One line: "-22: a character is not a Code 39 symbol", or what kept the file from being written.
std::string failureText(const Outcome& outcome);
// The same as one JSON object; `line` is the batch line, when there is one.
std::string outcomeJson(const Outcome& outcome, std::optional<int> line);

// A JSON string literal. Valid UTF-8 passes through; a byte that is not part of a valid UTF-8
// sequence becomes U+FFFD, so the output is always valid JSON.
std::string jsonString(std::string_view text);

// The library's whole-number version as people read it: 90 is "0.9", 105 "1.05".
std::string versionText(int32_t version);

} // namespace lorvaxen::tool
