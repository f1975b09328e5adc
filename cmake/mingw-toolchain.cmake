# The body shared by the mingw-w64 toolchain files; they set _mingw (the
# target triplet) and CMAKE_SYSTEM_PROCESSOR first.
#
# The -posix compilers are used because GoogleTest, which the Wine-side tests
# link, needs std::mutex; the shipped program links everything statically and
# uses no threads, so it imports only system DLLs either way.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)
set(CMAKE_OBJDUMP ${_mingw}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs built here run on this Linux machine through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
