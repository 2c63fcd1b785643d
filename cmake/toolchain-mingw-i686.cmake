# Windows build with MinGW-w64 (i686, posix threads).
set(KORVANT_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# Floating-point arithmetic in SSE2 registers, as on 64-bit: the x87 unit's
# extended precision would round money differently. SSE code may keep data on
# the stack that needs 16-byte alignment, and 32-bit Windows callers guarantee
# only 4 bytes: every function realigns its stack where it needs to.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
