// What the symbology encoders share: the table row, the character-set check, the row lookup and
// the modulo-10 check digit.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace lorvaxen {

// One encodable character of a symbology. `pattern` is its element widths, one digit per element,
// bar first: '0' is one module and digit k >= 1 is (k + 1) * ratio / 2 modules.
struct SymbolTableRow
{
    char symbol;
    int32_t checkValue;
    const char* pattern;
};

using SymbolTable = std::span<const SymbolTableRow>;

// 0 when every character of `text` is the symbol of one of `rows`, else -1.
int32_t CheckCharset(std::string_view text, SymbolTable rows);

// Index of the first row whose symbol is `symbol`, or -1 when there is none.
int32_t FindSymbolRow(SymbolTable rows, char symbol);

// The modulo-10 check digit of EAN and Interleaved 2 of 5, weight 3 on the rightmost digit:
// 0 to 9, or -1 when a character is not a decimal digit.
int32_t Mod10CheckDigit(std::string_view digits);

// For checking tables at compile time: every pattern holds `width` digits in `allowed`.
constexpr bool patternsAre(SymbolTable rows, std::size_t width, std::string_view allowed)
{
    return std::ranges::all_of(rows, [width, allowed](const SymbolTableRow& row) {
        const std::string_view pattern{row.pattern};
        return pattern.size() == width &&
               pattern.find_first_not_of(allowed) == std::string_view::npos;
    });
}

} // namespace lorvaxen
