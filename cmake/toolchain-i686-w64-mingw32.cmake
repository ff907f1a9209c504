# Cross-compiling the program for 32-bit Windows with Debian's mingw-w64 toolchain. The
# POSIX thread model is the one whose libstdc++ has std::thread and std::mutex, which the
# audio library's threads use; winpthreads is then linked statically with everything else.
set(CMAKE_SYSTEM_NAME Windows)
# toolchain-x86_64-w64-mingw32.cmake sets these first for the 64-bit variant.
if(NOT QUARVEL_MINGW_TRIPLE)
  set(QUARVEL_MINGW_TRIPLE i686-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86)
  # The 32-bit compiler computes float arithmetic on the x87 stack in extended precision by
  # default; the clock, camera and scene arithmetic must round to single precision at every
  # step, as SSE scalar instructions do. Windows may enter callbacks with a 4-byte aligned
  # stack, so functions that keep SSE data on the stack realign it.
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
endif()
find_program(CMAKE_C_COMPILER NAMES ${QUARVEL_MINGW_TRIPLE}-gcc-posix ${QUARVEL_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QUARVEL_MINGW_TRIPLE}-g++-posix ${QUARVEL_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QUARVEL_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config would answer for the build machine's libraries.
set(PKG_CONFIG_EXECUTABLE /bin/false CACHE FILEPATH "no pkg-config for the target")

# One file to copy: the compiler's own runtime (libgcc, libstdc++, winpthreads) and zlib are
# linked in, so the program needs only DLLs that Windows itself has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The static runtime brings its own debugging sections; a release build ships without them.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# zlib from libz-mingw-w64-dev: its archive, not the import library of its DLL.
set(ZLIB_USE_STATIC_LIBS ON)
