// The reference decode of NW7 (Codabar): characters of seven elements between start and stop
// characters a to d, and its two rules for the check character.
#include "decoders.h"
#include "two_width.h"

#include <utility>

#include <numeric>

namespace lorvaxen::verifier::detail {
namespace {

// NW7 (Codabar: JIS X 0506, ANSI/AIM BC3-1995), in the order of the values 0 to 19 that its check
// character sums. Written apart from the library's table on purpose, never taken from it: a wrong
// row there then fails this decode.
constexpr std::array<TwoWidthRow, 20> kNw7{{
    {'0', "0000011"}, {'1', "0000110"}, {'2', "0001001"}, {'3', "1100000"}, {'4', "0010010"},
    {'5', "1000010"}, {'6', "0100001"}, {'7', "0100100"}, {'8', "0110000"}, {'9', "1001000"},
    {'-', "0001100"}, {'$', "0011000"}, {':', "1000101"}, {'/', "1010001"}, {'.', "1010100"},
    {'+', "0010101"}, {'a', "0011010"}, {'b', "0101001"}, {'c', "0001011"}, {'d', "0001110"},
}};
constexpr std::size_t kNw7FirstStartStop = 16;

} // namespace

Decoded decodeNw7(std::span<const double> widths)
{
    TwoWidthTally tally(Symbology::Nw7);
    // A start and a stop character at the least.
    const auto read = readDiscrete(tally, kNw7, widths, 2);
    if (!read) {
        return std::move(tally.decoded);
    }
    const std::vector<std::size_t>& values = *read;
    const auto isStartStop = [](std::size_t value) { return value >= kNw7FirstStartStop; };
    if (!isStartStop(values.front()) || !isStartStop(values.back()) ||
        std::any_of(values.begin() + 1, values.end() - 1, isStartStop)) {
        return failure(Symbology::Nw7, "start or stop character a to d missing or misplaced");
    }
    // Two rules for the character before the stop: this library's legacy one makes it the sum of
    // the values of all the other characters modulo 16; the usual one makes the whole sum a
    // multiple of 16. They agree when that remainder is 0 or 8.
    std::string& check = tally.decoded.check;
    check = "no check character";
    if (values.size() >= 4) {
        const std::size_t candidate = values[values.size() - 2];
        const std::size_t others =
            std::accumulate(values.begin(), values.end(), std::size_t{0}) - candidate;
        const bool legacy = others % 16 == candidate;
        const bool usual = (others + candidate) % 16 == 0;
        if (legacy && usual) {
            check = "check character holds by the legacy and the usual rule (remainder 0 or 8)";
        } else if (legacy) {
            check = "legacy NW7 check character holds (sum modulo 16)";
        } else if (usual) {
            check = "usual Codabar check character holds (complement of the sum modulo 16)";
        }
    }
    return tally.finish();
}

} // namespace lorvaxen::verifier::detail
