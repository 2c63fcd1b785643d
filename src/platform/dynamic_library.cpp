#include "platform/dynamic_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvant::platform {

#ifdef _WIN32

namespace {
thread_local DWORD lastError = 0;
}

LibraryHandle openLibrary(const PathText& path) {
    // An empty name would not name a file; fail the way a missing file does.
    HMODULE module = path.empty() ? nullptr : LoadLibraryW(path.c_str());
    if (module == nullptr) {
        lastError = path.empty() ? ERROR_MOD_NOT_FOUND : GetLastError();
    }
    return reinterpret_cast<LibraryHandle>(module);
}

void* findSymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(LibraryHandle library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

std::string lastErrorText() {
    return std::to_string(lastError);
}

#else

namespace {
// dlerror() forgets its message once read, so the message is kept here.
thread_local std::string lastError;
} // namespace

LibraryHandle openLibrary(const PathText& path) {
    // dlopen("") would hand back the running program itself.
    if (path.empty()) {
        lastError = "empty library path";
        return nullptr;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* message = dlerror();
        lastError = message != nullptr ? message : "unknown loader error";
    }
    return library;
}

void* findSymbol(LibraryHandle library, const char* name) {
    return dlsym(library, name);
}

void closeLibrary(LibraryHandle library) {
    if (library != nullptr) {
        dlclose(library);
    }
}

std::string lastErrorText() {
    return lastError;
}

#endif

} // namespace korvant::platform
