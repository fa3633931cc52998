// Numbers as the user writes them: with the decimal mark of the user's locale.
#pragma once

#include <optional>
#include <string>

namespace mendova {

// The user's decimal mark; "." where the locale gives none.
std::string decimalMark();
// `value` as "%g" writes it, with the user's decimal mark for the point.
std::string formatLocalNumber(double value);
// A whole text read as a number with the user's decimal mark; empty for anything else, also a
// point where the mark is another.
std::optional<double> readLocalNumber(const std::string& text);

} // namespace mendova
