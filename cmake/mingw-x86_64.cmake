# Cross-compiles 64-bit Windows programs with Debian's mingw-w64 x86_64
# toolchain: the Wine-side test bed on machines that cannot run 32-bit x86
# code, where only a 64-bit Wine runs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
