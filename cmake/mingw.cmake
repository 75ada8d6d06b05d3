# Cross-compiling for Windows with Debian's MinGW-w64 compilers. The presets choose the target
# with RUNLENS_MINGW_TRIPLE (x86_64-w64-mingw32 or i686-w64-mingw32). The -posix compilers are
# the ones GoogleTest builds with.
set(RUNLENS_MINGW_TRIPLE "x86_64-w64-mingw32" CACHE STRING "MinGW-w64 target triple")
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${RUNLENS_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER ${RUNLENS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RUNLENS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RUNLENS_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${RUNLENS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Only 64-bit Windows programs run here: the kernel has no 32-bit emulation.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
