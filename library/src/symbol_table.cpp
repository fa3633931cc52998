#include "symbol_table.h"

namespace lorvaxen::detail {

int32_t mod10CheckDigit(std::string_view digits)
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

} // namespace lorvaxen::detail
