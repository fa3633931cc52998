// Binding a shared library's function at its first call, by file name and exported name.
//
// A LateBound<Function> holds the library file and the entry point of one function. Nothing is
// loaded in advance: the first call loads the file through the system's library search
// (LoadLibrary on Windows, dlopen elsewhere), looks the entry point up by its exact exported name
// and keeps the address, so later calls go straight to it. A library once loaded stays loaded
// until the program ends. A file or entry point that cannot be found raises BindingError at the
// call, and the next call tries again.
//
// Bound functions are called with the calling convention of their declared type (the Windows
// standard one for the library's and the graphics interface's). Binding is not guarded against
// concurrent first calls: call from one thread, as the form does.
#pragma once

#include <stdexcept>
#include <string>

#include <windows.h>

namespace mendova {

class BindingError : public std::runtime_error
{
  public:
    enum class Missing { File, EntryPoint };

    BindingError(Missing missing, std::string file, std::string entryPoint,
                 const std::string& systemMessage);

    Missing missing() const { return missing_; }
    const std::string& file() const { return file_; }
    const std::string& entryPoint() const { return entryPoint_; }

  private:
    Missing missing_;
    std::string file_;
    std::string entryPoint_;
};

// The address of an entry point, to be converted to the function's own pointer type.
using EntryPoint = void (*)();

// Loads `file` (or finds it already loaded) and looks up `entryPoint`; throws BindingError.
EntryPoint bindEntryPoint(const char* file, const char* entryPoint);

// Function is the function's type as its header declares it, calling convention included.
template <class Function> class LateBound
{
  public:
    using Pointer = Function*;

    constexpr LateBound(const char* file, const char* entryPoint)
        : file_(file), entryPoint_(entryPoint)
    {
    }
    LateBound(const LateBound&) = delete;
    LateBound& operator=(const LateBound&) = delete;
    ~LateBound() = default;

    template <class... Args> decltype(auto) operator()(Args... args)
    {
        if (address_ == nullptr) {
            // NOLINTNEXTLINE(*-reinterpret-cast): the entry point has this function's signature
            address_ = reinterpret_cast<Pointer>(bindEntryPoint(file_, entryPoint_));
        }
        return address_(args...);
    }

    const char* file() const { return file_; }
    const char* entryPoint() const { return entryPoint_; }

  private:
    const char* file_;
    const char* entryPoint_;
    Pointer address_ = nullptr;
};

} // namespace mendova
