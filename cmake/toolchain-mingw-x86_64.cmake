# Windows build with MinGW-w64 (x86_64, posix threads). Its test programs run
# under wine64 (cmake/Dependencies.cmake sets that up).
set(KORVANT_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
