# Cross-compiles 32-bit Windows programs with Debian's mingw-w64 i686
# toolchain: the shipped program and its tests.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
