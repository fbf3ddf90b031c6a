# Cross-compiles the Windows build with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix, mingw-w64-tools):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix-thread variants, because std::thread and std::mutex need them;
# the win32-thread ones lack both. Everything from the compiler's runtime
# (libgcc, libstdc++, winpthread) is linked in statically, so the .exe
# imports only Windows' own DLLs and can be copied anywhere alone.
#
# No CMAKE_CROSSCOMPILING_EMULATOR on purpose: nothing may start Wine at
# configure, build or test-discovery time. Wine opens the serial ports it
# finds, and it only ever runs inside tests/e2e/with-virtual-port --wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_CXX_STANDARD 20 CACHE STRING "")
set(CMAKE_CXX_STANDARD_REQUIRED ON CACHE BOOL "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Headers and libraries come from the MinGW sysroot only, never from the
# build machine's /usr; programs (moc, code generators) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
