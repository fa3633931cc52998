#include "name_template.h"

#include <algorithm>
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

std::string safeFileStem(std::string_view text)
{
    // Letters, digits, '-' and '_' pass; anything else, '/' and '.' included, becomes '_', so
    // the name stays in its directory and is never hidden.
    constexpr std::size_t kMaxStem = 64;
    std::string name;
    for (const char c : text.substr(0, kMaxStem)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return name.empty() ? "barcode" : name;
}

std::string safeLeadingStem(std::string_view text)
{
    std::string stem = safeFileStem(text);
    return stem.front() == '-' ? "_" + stem : stem;
}

std::optional<NameTemplate> NameTemplate::parse(std::string_view text, std::string* problem)
{
    NameTemplate result;
    std::size_t literalFrom = 0;
    bool number = false;
    bool line = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        const bool isText = i + 1 < text.size() && text[i + 1] == 's';
        const std::size_t length = isText ? 2 : conversionLength(text, i);
        if (length == 0) {
            *problem = "only %d, %i or %u with flags and a width (such as %04d) for the line "
                       "number, %s for the line's text, and %% for a percent sign may stand in a "
                       "file name template";
            return std::nullopt;
        }
        if ((isText && line) || (!isText && number)) {
            *problem = std::string("the file name template has more than one ") +
                       (isText ? "%s" : "number conversion");
            return std::nullopt;
        }
        (isText ? line : number) = true;
        result.pieces_.push_back(
            {Piece::Literal, literal(text.substr(literalFrom, i - literalFrom))});
        std::string conversion(text.substr(i, length));
        if (conversion.back() == 'u') {
            conversion.back() = 'd'; // the numbers are positive either way
        }
        result.pieces_.push_back({isText ? Piece::Text : Piece::Number, conversion});
        i += length - 1;
        literalFrom = i + 1;
    }
    if (!number && !line) {
        *problem = "the file name template needs the line number or its text, such as "
                   "label-%04d.png or %s.png";
        return std::nullopt;
    }
    result.pieces_.push_back({Piece::Literal, literal(text.substr(literalFrom))});
    return result;
}

std::string NameTemplate::name(int number, std::string_view text) const
{
    std::string name;
    for (const Piece& piece : pieces_) {
        if (piece.kind == Piece::Literal) {
            name += piece.text;
        } else if (piece.kind == Piece::Text) {
            const bool startsFileName = name.empty() || name.back() == '/';
            name += startsFileName ? safeLeadingStem(text) : safeFileStem(text);
        } else {
            // At most 3 + 3 digits of width and precision: the result fits easily.
            char digits[1024];
            // NOLINTNEXTLINE(clang-diagnostic-format-nonliteral): checked one by one in parse
            std::snprintf(digits, sizeof digits, piece.text.c_str(), number);
            name += digits;
        }
    }
    return name;
}

bool NameTemplate::numbered() const
{
    return std::ranges::any_of(pieces_,
                               [](const Piece& piece) { return piece.kind == Piece::Number; });
}

bool NameTemplate::named() const
{
    return std::ranges::any_of(pieces_,
                               [](const Piece& piece) { return piece.kind == Piece::Text; });
}

} // namespace lorvaxen::tool
