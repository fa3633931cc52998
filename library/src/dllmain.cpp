// The DLL's entry point on Windows. The library keeps no per-thread state, so it declines the
// thread attach and detach notifications and does nothing else when it is loaded.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
