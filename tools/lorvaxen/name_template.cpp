#include "name_template.h"

#include <cstdio>

namespace lorvaxen::tool {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the conversion that starts at text[at] == '%'; returns its length, or 0 if it is not
// one that the template accepts.
std::size_t conversionLength(std::string_view text, std::size_t at)
{
    std::size_t i = at + 1;
    while (i < text.size() && std::string_view("-+ 0").find(text[i]) != std::string_view::npos) {
        ++i;
    }
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        return i - start;
    };
    if (digits() > 3) {
        return 0;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (digits() > 3) {
            return 0;
        }
    }
    if (i < text.size() && (text[i] == 'd' || text[i] == 'i' || text[i] == 'u')) {
        return i + 1 - at;
    }
    return 0;
}

// The literal text with each "%%" made a single percent sign.
std::string literal(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%') {
            ++i; // the second of the pair
        }
    }
    return out;
}

} // namespace

std::optional<NameTemplate> NameTemplate::parse(std::string_view text, std::string* problem)
{
    std::optional<std::size_t> conversionAt;
    std::size_t conversionSize = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        const std::size_t length = conversionLength(text, i);
        if (length == 0) {
            *problem = "only %d, %i or %u with flags and a width (such as %04d) may stand in a "
                       "file name template, and %% for a percent sign";
            return std::nullopt;
        }
        if (conversionAt) {
            *problem = "the file name template has more than one number conversion";
            return std::nullopt;
        }
        conversionAt = i;
        conversionSize = length;
        i += length - 1;
    }
    if (!conversionAt) {
        *problem = "the file name template needs one number conversion, such as label-%04d.png";
        return std::nullopt;
    }
    NameTemplate result;
    result.prefix_ = literal(text.substr(0, *conversionAt));
    result.conversion_ = std::string(text.substr(*conversionAt, conversionSize));
    if (result.conversion_.back() == 'u') {
        result.conversion_.back() = 'd'; // the numbers are positive either way
    }
    result.suffix_ = literal(text.substr(*conversionAt + conversionSize));
    return result;
}

std::string NameTemplate::name(int number) const
{
    // At most 3 + 3 digits of width and precision: the result fits easily.
    char digits[1024];
    // NOLINTNEXTLINE(clang-diagnostic-format-nonliteral): checked character by character in parse
    std::snprintf(digits, sizeof digits, conversion_.c_str(), number);
    return prefix_ + digits + suffix_;
}

} // namespace lorvaxen::tool
