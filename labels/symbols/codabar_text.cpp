#include "codabar_text.h"

#include <cstdint>

namespace lorvaxen {
namespace {

constexpr std::string_view kStartStops = "ABCD";
// T, N, * and E are other names of the start and stop characters A, B, C and D.
constexpr std::string_view kStartStopAliases = "TN*E";
// The check values 0 to 15 in order; the start and stop characters A to D are worth 16 to 19.
constexpr std::string_view kDataValues = "0123456789-$:/.+";
constexpr int kCheckModulus = 16;
constexpr int kFirstStartStopValue = 16;
char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The start or stop character A to D that `c` names, in any case; 0 when it names none.
char startStopOf(char c)
{
    const char u = upper(c);
    if (kStartStops.find(u) != std::string_view::npos) {
        return u;
    }
    const std::size_t alias = kStartStopAliases.find(u);
    return alias == std::string_view::npos ? '\0' : kStartStops[alias];
}

int valueOf(char c)
{
    const std::size_t data = kDataValues.find(c);
    if (data != std::string_view::npos) {
        return static_cast<int>(data);
    }
    return kFirstStartStopValue + static_cast<int>(kStartStops.find(c));
}

// The character that brings the sum of every value, start and stop included, to a multiple of 16.
char checkCharacter(std::string_view framed)
{
    uint64_t sum = 0;
    for (const char c : framed) {
        sum += static_cast<uint64_t>(valueOf(c));
    }
    return kDataValues[(kCheckModulus - sum % kCheckModulus) % kCheckModulus];
}

} // namespace

bool isCodabar(const SymbologyFacts& symbology)
{
    return symbology.symbology == Symbology::Nw7 && symbology.name == "codabar";
}

CodabarText prepareCodabar(std::string_view text, bool check)
{
    CodabarText result;
    if (text.empty()) {
        return result; // the library refuses an empty text in its own words
    }
    std::string_view data = text;
    const char start = startStopOf(data.front());
    if (start != '\0') {
        data.remove_prefix(1);
    }
    char stop = data.empty() ? '\0' : startStopOf(data.back());
    if (stop != '\0') {
        data.remove_suffix(1);
    }
    // A start alone is its own stop too; a stop alone, its own start; neither, A...A.
    const char first = start != '\0' ? start : (stop != '\0' ? stop : 'A');
    stop = stop != '\0' ? stop : first;
    const std::size_t dataAt = start != '\0' ? 2 : 1;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (startStopOf(data[i]) != '\0') {
            result.problem = "the start/stop character '" + std::string(1, data[i]) +
                             "' at character " + std::to_string(dataAt + i) +
                             " stands inside the data: a Codabar symbol takes A, B, C and D (or "
                             "T, N, * and E) only as its first and last characters";
            return result;
        }
    }
    result.framed = std::string(1, first) + std::string(data) + std::string(1, stop);
    if (check) {
        result.framed.insert(result.framed.size() - 1, 1, checkCharacter(result.framed));
    }
    // The library stops a symbol with a copy of its start, whose bars a different stop replaces.
    result.libraryText = result.framed;
    result.libraryText.front() = lower(first);
    result.libraryText.pop_back();
    if (stop != first) {
        result.stop = lower(stop);
    }
    return result;
}

} // namespace lorvaxen
