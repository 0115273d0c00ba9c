# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, which C++17's std::thread and std::mutex need). Every program is
# linked statically with libstdc++, libgcc and winpthread, so that each .exe
# runs alone, on Windows and under wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSAVO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSAVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSAVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSAVO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSAVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib is linked statically too, never through a DLL's import library.
set(ZLIB_USE_STATIC_LIBS ON)

# Programs built here run on this machine under wine (the tests, and
# anything CMake itself wants to run).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
