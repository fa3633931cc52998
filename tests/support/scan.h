// Reads a rendered symbol back with a real decoder, ZXing-cpp.
#pragma once

#include <optional>
#include <string>

#include "gdi_test.h"

namespace lorvaxen::test {

// Decodes `pixels` after framing them with `quietPx` white columns on each side. Empty when the
// decoder finds no symbol of `format` (a ZXing::BarcodeFormat name such as "Code39"), or, with
// `verifyCheckDigit`, when an Interleaved 2 of 5 symbol's last digit is not its modulo-10 check.
std::optional<std::string> decode(const Pixels& pixels, const std::string& format, int quietPx,
                                  bool verifyCheckDigit = false);

} // namespace lorvaxen::test
