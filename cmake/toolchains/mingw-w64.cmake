# What both MinGW-w64 toolchains share; the including file sets `triple` and the processor.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: its C++ library has the std::mutex that GoogleTest needs. What the
# DLL takes of its run-times (winpthread included) is linked into it.
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Headers and libraries come from the Windows sysroot only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
