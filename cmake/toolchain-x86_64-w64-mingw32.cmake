# The 64-bit variant of the Windows build. The program ships as 32-bit; this one exists for
# the checks under Wine, whose 64-bit side is the one that runs here (tests/windows/wine-checks.sh).
set(QUARVEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686-w64-mingw32.cmake)
