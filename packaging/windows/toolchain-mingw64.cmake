# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers.
# The posix flavour of the compilers is the one whose C++ library has
# std::thread and std::mutex (through winpthreads).
#
# PIXWRIGHT_WINDOWS_PREFIX (environment) names the folder the cross-built
# dependencies were installed into (scripts/windows.sh sets it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PIXWRIGHT_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PIXWRIGHT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIXWRIGHT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PIXWRIGHT_MINGW}-windres)
set(CMAKE_AR ${PIXWRIGHT_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PIXWRIGHT_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${PIXWRIGHT_MINGW})
if(DEFINED ENV{PIXWRIGHT_WINDOWS_PREFIX})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{PIXWRIGHT_WINDOWS_PREFIX})
endif()
# PIXWRIGHT_WINDOWS_QT (environment): where the cross-built Qt is, for the
# window.
if(DEFINED ENV{PIXWRIGHT_WINDOWS_QT})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{PIXWRIGHT_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs (and gtest's listing of their cases) run under Wine.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
