# 32-bit Linux build of the add-in (AddInKorvant) and of the whole tree around it.
# Floating-point arithmetic in SSE2 registers, as on 64-bit: the x87 unit's
# extended precision would round money differently. Where the machine refuses
# 32-bit programs, cmake/Dependencies.cmake runs them under QEMU's user-mode
# emulator.
# A 64-bit time_t (and file offsets, which glibc requires with it): receipts,
# shifts and the fiscal storage's validity run past 2038, and the 32-bit add-in
# must read and write those dates as the 64-bit one does. Nothing in the add-in's
# or the device library's interfaces carries a time_t, so the C library's
# 64-bit time functions change no boundary.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
