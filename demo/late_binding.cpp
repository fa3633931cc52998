#include "late_binding.h"

#include <utility>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace mendova {

BindingError::BindingError(Missing missing, std::string file, std::string entryPoint,
                           const std::string& systemMessage)
    : std::runtime_error(systemMessage), missing_(missing), file_(std::move(file)),
      entryPoint_(std::move(entryPoint))
{
}

#ifdef _WIN32

EntryPoint bindEntryPoint(const char* file, const char* entryPoint)
{
    HMODULE library = LoadLibraryA(file);
    if (library == nullptr) {
        throw BindingError(BindingError::Missing::File, file, entryPoint,
                           "LoadLibrary error " + std::to_string(GetLastError()));
    }
    FARPROC address = GetProcAddress(library, entryPoint);
    if (address == nullptr) {
        throw BindingError(BindingError::Missing::EntryPoint, file, entryPoint,
                           "GetProcAddress error " + std::to_string(GetLastError()));
    }
    return reinterpret_cast<EntryPoint>(address); // NOLINT(*-reinterpret-cast)
}

#else

namespace {

std::string lastLoaderMessage()
{
    const char* message = dlerror();
    return message == nullptr ? std::string() : std::string(message);
}

} // namespace

EntryPoint bindEntryPoint(const char* file, const char* entryPoint)
{
    // Never closed: a bound function's library stays loaded for the rest of the program.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw BindingError(BindingError::Missing::File, file, entryPoint, lastLoaderMessage());
    }
    dlerror(); // so that a message read below belongs to this lookup
    void* address = dlsym(library, entryPoint);
    if (address == nullptr) {
        throw BindingError(BindingError::Missing::EntryPoint, file, entryPoint,
                           lastLoaderMessage());
    }
    // POSIX makes an object pointer from dlsym convertible to a function pointer.
    return reinterpret_cast<EntryPoint>(address); // NOLINT(*-reinterpret-cast)
}

#endif

} // namespace mendova
