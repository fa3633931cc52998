#include "symbol_table.h"

#include <algorithm>

namespace lorvaxen {

int32_t CheckCharset(std::string_view text, SymbolTable rows)
{
    const bool allKnown = std::all_of(text.begin(), text.end(),
                                      [rows](char c) { return FindSymbolRow(rows, c) >= 0; });
    return allKnown ? 0 : -1;
}

int32_t FindSymbolRow(SymbolTable rows, char symbol)
{
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [symbol](const auto& r) { return r.symbol == symbol; });
    return row == rows.end() ? -1 : static_cast<int32_t>(row - rows.begin());
}

int32_t Mod10CheckDigit(std::string_view digits)
{
    // Weights alternate 3, 1 from the right, so the leftmost weight depends on the parity of the
    // length; a leading zero therefore changes nothing.
    int32_t weight = digits.size() % 2 == 0 ? 1 : 3;
    int32_t sum = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        sum = (sum + (c - '0') * weight) % 10;
        weight = 4 - weight;
    }
    return sum == 0 ? 0 : 10 - sum;
}

} // namespace lorvaxen
