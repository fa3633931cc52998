// Text between the form's UTF-8 and the Windows wide characters or a code page's bytes.
#pragma once

#include <string>

#include <windows.h>

namespace mendova {

// `text` in `codePage` (UTF-8 unless told) as wide characters.
std::wstring wide(const std::string& text, UINT codePage = CP_UTF8);
// Wide characters as bytes of `codePage` (UTF-8 unless told).
std::string narrow(const std::wstring& text, UINT codePage = CP_UTF8);

} // namespace mendova
