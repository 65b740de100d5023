# The browser build with Debian's emscripten:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-emscripten.cmake
set(LOTTO_EMSCRIPTEN_ROOT /usr/share/emscripten CACHE PATH "Where Emscripten is installed")
include(${LOTTO_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# The program's errors are C++ exceptions; without this flag, which CMake also
# passes to the link, Emscripten turns every throw into an abort.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")

# The link step optimises the generated JavaScript with Node.js, which finds
# Debian's acorn (node-acorn) only through NODE_PATH.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# A phone on a slow network waits for every byte of the program before the
# first draw: a release is optimised for size, across all its files at once
# (a quarter less compressed WebAssembly than -O3 alone, at no cost a player
# can feel: a draw stays well under a millisecond).
# (Cache entries: CMake's own defaults for the compiler would follow -Oz with -O3.)
set(CMAKE_CXX_FLAGS_RELEASE "-Oz -DNDEBUG -flto" CACHE STRING "Flags of the browser's release build")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-Oz -flto" CACHE STRING "Link flags of the browser's release build")
