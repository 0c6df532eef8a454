# Cross toolchain: 64-bit Windows programs from Debian's mingw-w64 (x86_64, posix threads), for
# hosts that cannot run 32-bit code; the same sources as the 32-bit program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Run the test programs under Wine's 64-bit loader: /usr/bin/wine tries the 32-bit one first
# where wine32 is installed, and fails on a host that cannot run 32-bit code.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
