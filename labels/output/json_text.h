// Text for programs: JSON string literals, and the library's version as people read it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvaxen {

// A JSON string literal. Valid UTF-8 passes through; a byte that is not part of a valid UTF-8
// sequence becomes U+FFFD, so the output is always valid JSON.
std::string jsonString(std::string_view text);
// A JSON array of such string literals: ["a","b"], or [] when there are none.
std::string jsonStringList(const std::vector<std::string>& texts);

// The library's whole-number version as people read it: 90 is "0.9", 105 "1.05".
std::string versionText(int32_t version);

} // namespace lorvaxen
