// The pure half of each symbology: a validated text in, its framed text and element pattern out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "call_frame.h"

namespace lorvaxen {

// Upper-case text of Code 39 symbols; asterisks are dropped from the data.
Encoded encodeCode39(std::string_view text, int32_t checkFlag);

// The modulo-43 check character of a data text without asterisks.
char Mod43CheckCharacter(std::string_view data);

// A JAN symbol always has 13 digits and 59 elements, so it lives in fixed buffers.
constexpr std::size_t kJanDigits = 13;
constexpr std::size_t kJanElements = 59;
struct JanSymbol
{
    int32_t refusal = 0; // a number that passed the length and digit checks is always encoded
    std::array<char, kJanDigits + 1> framedText{};       // NUL-terminated
    std::array<char, kJanElements + 1> elementPattern{}; // NUL-terminated
};

// 12 or 13 digits. The check digit is appended to 12; of 13 the last is used as given. `checkFlag`
// is not read.
JanSymbol encodeJan(std::string_view digits, int32_t checkFlag) noexcept;

// Digits of Interleaved 2 of 5; checkFlag 1 appends the modulo-10 check digit, any other value
// asks for none.
Encoded encodeI2of5(std::string_view digits, int32_t checkFlag);

} // namespace lorvaxen
