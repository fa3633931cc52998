// What the symbology encoders share: the table row, the set of a table's symbols with its
// constant-time lookup, and the modulo-10 check digit.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace lorvaxen::detail {

// One encodable character of a symbology. `pattern` is its element widths, one digit per element,
// bar first: '0' is one module and digit k >= 1 is (k + 1) * ratio / 2 modules.
struct SymbolTableRow
{
    char symbol;
    int32_t checkValue;
    std::string_view pattern;
};

using SymbolTable = std::span<const SymbolTableRow>;

// The rows of a table with the row of every byte value indexed, so that finding a character takes
// one load. Built at compile time; where two rows share a symbol, the first counts.
class SymbolSet
{
  public:
    constexpr explicit SymbolSet(SymbolTable rows) : rows_(rows)
    {
        rowOfByte_.fill(kNoRow);
        for (std::size_t row = rows.size(); row > 0; --row) {
            rowOfByte_[static_cast<unsigned char>(rows[row - 1].symbol)] =
                static_cast<int16_t>(row - 1);
        }
    }

    // The row of `symbol`, or null when the table has none.
    constexpr const SymbolTableRow* find(char symbol) const
    {
        const int16_t row = rowOfByte_[static_cast<unsigned char>(symbol)];
        return row == kNoRow ? nullptr : &rows_[static_cast<std::size_t>(row)];
    }

    // True when every character of `text` is the symbol of a row.
    constexpr bool containsAll(std::string_view text) const
    {
        return std::ranges::all_of(text, [this](char c) { return find(c) != nullptr; });
    }

  private:
    static constexpr int16_t kNoRow = -1;
    SymbolTable rows_;
    std::array<int16_t, 256> rowOfByte_{};
};

// The modulo-10 check digit of EAN and Interleaved 2 of 5, weight 3 on the rightmost digit:
// 0 to 9, or -1 when a character is not a decimal digit.
int32_t mod10CheckDigit(std::string_view digits);

// For checking tables at compile time: every pattern holds `width` digits in `allowed`.
constexpr bool patternsAre(SymbolTable rows, std::size_t width, std::string_view allowed)
{
    return std::ranges::all_of(rows, [width, allowed](const SymbolTableRow& row) {
        return row.pattern.size() == width &&
               row.pattern.find_first_not_of(allowed) == std::string_view::npos;
    });
}

} // namespace lorvaxen::detail
