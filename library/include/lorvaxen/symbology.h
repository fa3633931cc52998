// The four symbologies of the library, named alike by its C++ callers, its label rules and the
// verifier.
#pragma once

namespace lorvaxen {

enum class Symbology { Jan, Code39, I2of5, Nw7 };

} // namespace lorvaxen
