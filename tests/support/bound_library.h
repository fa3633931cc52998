// The library as a Windows program binds it: Lorvaxen.dll loaded by its file name through the
// system's search, each function found by its decorated stdcall name at its first call.
#pragma once

#include <windows.h>

namespace lorvaxen::test {

// The loaded DLL, or null when it could not be loaded.
HMODULE boundLibrary();

// The DLL's export of that exact name, or null.
FARPROC boundExport(const char* exportedName);

} // namespace lorvaxen::test
