# What both MinGW-w64 toolchains share; the including file sets
# KORVANT_MINGW_ARCH (x86_64 or i686) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KORVANT_MINGW_ARCH})
set(CMAKE_C_COMPILER ${KORVANT_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANT_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANT_MINGW_ARCH}-w64-mingw32-windres)
# Only the MinGW tree is searched for headers, libraries and packages: the
# build machine's own ones are Linux ones.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANT_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C++ runtime, libgcc and winpthread linked in, so every binary imports
# only system DLLs and runs wherever it is copied.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
