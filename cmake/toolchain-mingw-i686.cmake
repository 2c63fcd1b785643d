# Windows build with MinGW-w64 (i686, posix threads).
set(KORVANT_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
