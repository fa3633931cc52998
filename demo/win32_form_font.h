// The font of the form's captions: the Japanese user-interface font, or the system's own where it
// is missing.
#pragma once

#include <windows.h>

namespace mendova {

// The form's font, of that height; never null (the stock GUI font at worst).
HFONT makeFormFont(int height);

} // namespace mendova
