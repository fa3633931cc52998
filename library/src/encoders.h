// The pure half of each symbology: a validated text in, its framed text and element pattern out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "call_frame.h"

namespace lorvaxen::detail {

// Upper-case text of Code 39 symbols; asterisks are dropped from the data.
Encoded encodeCode39(std::string_view text, int32_t checkFlag);

// The modulo-43 check character of a data text without asterisks.
char mod43CheckCharacter(std::string_view data);

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

// Lower-case text of NW7 symbols. The start is the text's first letter a to d, or 'a'; the stop
// is a copy of the start. checkFlag 1 puts the check character before the stop.
Encoded encodeNw7(std::string_view text, int32_t checkFlag);

// The NW7 check character of a text from its start to its stop character, both included: the
// character whose value is the sum of the values modulo 16.
char mod16CheckCharacter(std::string_view startStopText);

// Each symbology within the common frame, for the calls of both faces of the library.
extern const SymbologyCode<JanSymbol> kJan;
extern const SymbologyCode<Encoded> kCode39;
extern const SymbologyCode<Encoded> kI2of5;
extern const SymbologyCode<Encoded> kNw7;

} // namespace lorvaxen::detail
