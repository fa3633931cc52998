#include "json_text.h"

#include <cstdio>

namespace lorvaxen {
namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte there starts none
// (stray continuation bytes, overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    uint32_t value = 0;
    uint32_t smallest = 0;
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0) {
        length = 2, value = lead & 0x1FU, smallest = 0x80;
    } else if ((lead & 0xF0U) == 0xE0) {
        length = 3, value = lead & 0x0FU, smallest = 0x800;
    } else if ((lead & 0xF8U) == 0xF0) {
        length = 4, value = lead & 0x07U, smallest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3FU);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < smallest || value > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8Length(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out + '"';
}

std::string jsonStringList(const std::vector<std::string>& texts)
{
    std::string json = "[";
    for (const std::string& text : texts) {
        json += (json.size() > 1 ? "," : "") + jsonString(text);
    }
    return json + "]";
}

std::string versionText(int32_t version)
{
    const int32_t hundredths = version % 100;
    char text[32];
    if (hundredths % 10 == 0) {
        std::snprintf(text, sizeof text, "%d.%d", version / 100, hundredths / 10);
    } else {
        std::snprintf(text, sizeof text, "%d.%02d", version / 100, hundredths);
    }
    return text;
}

} // namespace lorvaxen
