# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers, the
# posix-thread variant (std::thread and std::mutex need it). Tests run under
# Wine; ctest starts each one through the emulator.
#
#   cmake --preset windows        (uses this file)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZARN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARN_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${ZARN_MINGW_TRIPLE}-objdump)

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZARN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
