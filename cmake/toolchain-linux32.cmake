# 32-bit Linux build of the add-in (AddInKorvant) and of the whole tree around it.
# Floating-point arithmetic in SSE2 registers, as on 64-bit: the x87 unit's
# extended precision would round money differently. Where the machine refuses
# 32-bit programs, cmake/Dependencies.cmake runs them under QEMU's user-mode
# emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
