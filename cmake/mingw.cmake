# Cross-compiling for Windows with MinGW-w64; included by the toolchain file
# of each architecture and compiler variant, which sets TOOLCHAIN_PREFIX,
# CMAKE_SYSTEM_PROCESSOR and MINGW_THREADS (posix, the default, whose
# runtime GoogleTest needs; or win32) first. The project itself links every
# binary with the toolchain's runtime statically.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT MINGW_THREADS)
    set(MINGW_THREADS posix)
endif()

set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-${MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_DLLTOOL      ${TOOLCHAIN_PREFIX}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
