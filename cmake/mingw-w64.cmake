# Cross-compilation for Windows with Debian's mingw-w64 compilers. Included by
# the two toolchain files, which set LOTTO_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model gives the whole standard library (std::thread, std::mutex);
# its runtime is linked statically like everything else below.
set(CMAKE_C_COMPILER ${LOTTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOTTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LOTTO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LOTTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries its C and C++ runtime, so it runs with no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# A release executable ships without its symbol table, half the size.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Tests of the target run under Wine where it is installed (Debian keeps its
# loaders out of PATH, under /usr/lib/wine).
find_program(LOTTO_WINE NAMES ${LOTTO_WINE_LOADER} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(LOTTO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LOTTO_WINE})
endif()
