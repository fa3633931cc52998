// One table row of an encoder test, and the checks every symbology's encoder must pass for it.
#pragma once

#include <cstdint>
#include <string_view>

#include <gtest/gtest.h>

#include "call_frame.h"

namespace lorvaxen::detail::test {

struct EncodingCase
{
    std::string_view text; // as the call frame hands it over: case already folded
    int32_t checkFlag;
    std::string_view framed;
    std::string_view pattern; // empty: not checked for this case
    std::string_view source;  // where the case comes from, or what it shows
};

// The framed text and, where the case gives one, the element pattern.
inline void expectEncoding(const Encoded& encoded, const EncodingCase& c)
{
    EXPECT_EQ(encoded.refusal, 0) << c.source;
    EXPECT_EQ(encoded.framedText, c.framed) << c.source;
    if (!c.pattern.empty()) {
        EXPECT_EQ(encoded.elementPattern, c.pattern) << c.source;
    }
}

// A symbology whose characters carry their own inter-character gap: `digits` width digits for
// each framed character, the last one the stop character's narrow gap.
inline void expectGappedCharacters(const Encoded& encoded, std::size_t digits,
                                   std::string_view source)
{
    EXPECT_EQ(encoded.elementPattern.size(), digits * encoded.framedText.size()) << source;
    EXPECT_EQ(encoded.elementPattern.back(), '0') << source;
}

} // namespace lorvaxen::detail::test
