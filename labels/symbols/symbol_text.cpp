#include "symbol_text.h"

#include <algorithm>
#include <cstdio>

#include <lorvaxen/symbols.h>

#include "codabar_text.h"

namespace lorvaxen {
namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isUpcA(const SymbologyFacts& symbology)
{
    return symbology.textLayout == TextLayout::UpcA;
}

bool isJan(const SymbologyFacts& symbology)
{
    return symbology.symbology == Symbology::Jan && !isUpcA(symbology);
}

// The length of the UTF-8 sequence that starts with `lead`, at least 1 so that a stray byte is a
// character of its own.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

// Whether `character`, of the length its lead byte promises, is one well-formed UTF-8 sequence:
// continuation bytes only after a lead, no overlong form, no surrogate, nothing past U+10FFFF.
bool wellFormed(std::string_view character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    const std::size_t length = character.size();
    if (length == 1) {
        return byte(0) < 0x80;
    }
    if (length != sequenceLength(byte(0)) || byte(0) < 0xC2 || byte(0) > 0xF4) {
        return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0U) != 0x80) {
            return false;
        }
    }
    // The second byte's range where the lead alone does not rule out a bad value.
    const unsigned second = byte(1);
    switch (byte(0)) {
    case 0xE0:
        return second >= 0xA0; // overlong
    case 0xED:
        return second < 0xA0; // a surrogate
    case 0xF0:
        return second >= 0x90; // overlong
    case 0xF4:
        return second < 0x90; // past U+10FFFF
    default:
        return true;
    }
}

// The first byte of a sequence that is not UTF-8, by itself: "the byte 0xFF, which is not UTF-8".
std::string badByte(std::string_view character)
{
    char text[64];
    std::snprintf(text, sizeof text, "the byte 0x%02X, which is not UTF-8,",
                  static_cast<unsigned>(static_cast<unsigned char>(character[0])));
    return text;
}

uint32_t codePoint(std::string_view character)
{
    const auto lead = static_cast<unsigned char>(character[0]);
    uint32_t value = character.size() == 1 ? lead : lead & (0x7FU >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i) {
        value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3FU);
    }
    return value;
}

// "'-'", or for what does not print as itself, its code point: "'４' (U+FF14)", "U+0009".
std::string quoted(std::string_view character)
{
    const uint32_t value = codePoint(character);
    if (character.size() == 1 && value >= 0x20 && value < 0x7F) {
        return "'" + std::string(character) + "'";
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(value));
    return character.size() > 1 && value >= 0xA0 ? "'" + std::string(character) + "' (" + code + ")"
                                                 : std::string(code);
}

// A full-width digit, as Japanese input methods type them, looks like the digit it is not.
std::string hint(std::string_view character)
{
    const uint32_t value = codePoint(character);
    if (character.size() == 3 && value >= 0xFF10 && value <= 0xFF19) {
        return ", a full-width digit: type " +
               std::string(1, static_cast<char>('0' + value - 0xFF10));
    }
    return "";
}

} // namespace

std::optional<RefusedCharacter> refusedCharacter(const SymbologyFacts& symbology,
                                                 std::string_view text)
{
    std::size_t position = 1;
    for (std::size_t at = 0; at < text.size(); ++position) {
        const std::size_t length =
            std::min(sequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
        const std::string_view character = text.substr(at, length);
        if (!wellFormed(character) && static_cast<unsigned char>(text[at]) >= 0x80) {
            // Not a character at all: the byte is named, not a code point made up from it.
            return RefusedCharacter{position, std::string(character.substr(0, 1)),
                                    badByte(character) + " at character " +
                                        std::to_string(position)};
        }
        if (length > 1 || symbology.characters.find(upper(text[at])) == std::string_view::npos) {
            return RefusedCharacter{position, std::string(character),
                                    quoted(character) + " at character " +
                                        std::to_string(position) + hint(character)};
        }
        at += length;
    }
    return std::nullopt;
}

bool isItf14(const SymbologyFacts& symbology)
{
    return symbology.name == "itf14";
}

namespace {

// The trade item numbers, whose last digit is their check digit: a JAN's 13 digits, a UPC-A's
// 12, an ITF-14's 14. 0 for the other symbologies.
std::size_t gtinLength(const SymbologyFacts& symbology)
{
    if (isUpcA(symbology)) {
        return 12;
    }
    if (isJan(symbology)) {
        return 13;
    }
    return isItf14(symbology) ? 14 : 0;
}

} // namespace

PreparedText prepareText(const SymbologyFacts& symbology, std::string_view text, bool asGiven)
{
    PreparedText prepared{std::string(text), ""};
    const std::size_t full = gtinLength(symbology);
    if ((isUpcA(symbology) || isItf14(symbology)) && text.size() != full - 1 &&
        text.size() != full) {
        prepared.problem = "a" + std::string(isUpcA(symbology) ? " " : "n ") +
                           std::string(symbology.title) + " needs " + std::to_string(full - 1) +
                           " digits, or " + std::to_string(full) +
                           " with its check digit; this text has " + std::to_string(text.size());
        return prepared;
    }
    if (full > 0 && text.size() == full && !asGiven) {
        const char expected = gtinCheckDigit(text.substr(0, full - 1));
        if (text.back() != expected) {
            prepared.problem = "the check digit of " + std::string(text) + " is " +
                               std::string(1, text.back()) + ", but the digits before it give " +
                               std::string(1, expected) + ": correct it, leave it off, or give " +
                               "--as-given to print it as it is";
            return prepared;
        }
    }
    if (isItf14(symbology) && text.size() == full - 1) {
        prepared.text += gtinCheckDigit(text); // the library would only pad it with a leading 0
    }
    if (isUpcA(symbology)) {
        prepared.text.insert(0, 1, '0'); // a UPC-A is the EAN-13 of number system 0
    }
    return prepared;
}

std::optional<std::string> ignoredCheckWarning(const SymbologyFacts& symbology, bool check)
{
    if (check && isItf14(symbology)) {
        return "--check is ignored: an ITF-14 always carries its own check digit, the last of "
               "its 14";
    }
    if (check && symbology.symbology == Symbology::Jan) {
        return "--check is ignored: a" + std::string(isUpcA(symbology) ? " UPC-A" : " JAN") +
               " always carries its own check digit, the last of its " +
               std::to_string(gtinLength(symbology));
    }
    return std::nullopt;
}

std::vector<std::string> ignoredOptionWarnings(const SymbologyFacts& symbology,
                                               const GivenOptions& given)
{
    const std::string title(symbology.title);
    std::vector<std::string> warnings;
    if (given.ratio && symbology.minRatio <= 0) {
        warnings.push_back(
            "--ratio is ignored: " + title +
            "'s bars and spaces are whole modules, 1 to 4 wide, not narrow and wide");
    }
    if (given.asGiven && gtinLength(symbology) == 0) {
        warnings.push_back("--as-given is ignored: " + title +
                           " has no check digit of its own to be wrong");
    }
    if (given.textSize && !given.textShown) {
        warnings.emplace_back("--text-size is ignored: --no-text leaves the text out");
    }
    return warnings;
}

std::optional<std::string> replacedStopWarning(const SymbologyFacts& symbology,
                                               std::string_view text)
{
    if (symbology.symbology != Symbology::Nw7 || isCodabar(symbology)) {
        return std::nullopt;
    }
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    const Nw7Frame frame = frameNw7(lower);
    if (!frame.replacedStop) {
        return std::nullopt;
    }
    return "the stop " + std::string(1, upper(*frame.replacedStop)) + " is replaced by " +
           std::string(1, upper(frame.start)) +
           ": an NW7 symbol here stops with the character it starts with";
}

std::string shownText(const SymbologyFacts& symbology, std::string_view framed)
{
    std::string shown(framed);
    if (isUpcA(symbology) && shown.size() == 13 && shown.front() == '0') {
        shown.erase(0, 1);
    } else if (symbology.symbology == Symbology::Nw7 && !shown.empty()) {
        shown.front() = upper(shown.front());
        shown.back() = upper(shown.back());
    }
    return shown;
}

std::string nameStem(const SymbologyFacts& symbology, std::string_view shown)
{
    std::string stem(shown);
    if (symbology.symbology == Symbology::Code39) {
        std::erase(stem, '*');
    }
    return stem;
}

} // namespace lorvaxen
