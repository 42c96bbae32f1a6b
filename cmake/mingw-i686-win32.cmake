# Cross-compiling for 32-bit Windows with MinGW-w64's win32-thread-model
# compilers (no thread runtime; GoogleTest does not build with them).
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
