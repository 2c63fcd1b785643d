#pragma once
// dlopen and its companions over LoadLibrary, for test programs that load a library by path on
// Windows too (tests/CMakeLists.txt puts this folder on their include path there).

#include <windows.h>

#include <cstdio>
#include <string>

#define RTLD_NOW 2
#define RTLD_LOCAL 0

namespace korvant_test_dl {
inline char lastError[64] = "";
}

inline void* dlopen(const char* path, int) {
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        std::snprintf(korvant_test_dl::lastError, sizeof korvant_test_dl::lastError,
                      "system error %lu", GetLastError());
    }
    return reinterpret_cast<void*>(module);
}

inline void* dlsym(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

inline int dlclose(void* library) {
    return FreeLibrary(static_cast<HMODULE>(library)) ? 0 : -1;
}

inline const char* dlerror() {
    return korvant_test_dl::lastError;
}
