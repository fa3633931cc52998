// The pure half of each symbology: a validated text in, its framed text and element pattern out.
#pragma once

#include <cstdint>
#include <string_view>

#include "call_frame.h"

namespace lorvaxen {

// Upper-case text of Code 39 symbols; asterisks are dropped from the data.
Encoded encodeCode39(std::string_view text, int32_t checkFlag);

// The modulo-43 check character of a data text without asterisks.
char Mod43CheckCharacter(std::string_view data);

} // namespace lorvaxen
