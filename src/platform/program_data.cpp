#include "platform/program_data.h"

#ifdef _WIN32
#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shobjidl.h>
#else
#include <cstdlib>
#endif

namespace korvant {

#ifdef _WIN32

namespace {

// Names another root instead of the known folder, for test runs and for
// integrators who keep a second installation; unset in normal use.
constexpr const wchar_t* kOverrideVariable = L"KORVANT_PROGRAMDATA";

PathText overrideFolder() {
    const DWORD size = GetEnvironmentVariableW(kOverrideVariable, nullptr, 0);
    if (size <= 1) {
        return {};
    }
    PathText value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(kOverrideVariable, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

// The known-folder manager is asked directly rather than through a shell helper
// so that a failure anywhere simply yields no folder. COM is not initialised
// here: the add-in runs on the host's thread, which has done that already (a
// thread without COM gets no folder, and the paths become relative).
PathText knownProgramDataFolder() {
    PathText folder;
    IKnownFolderManager* manager = nullptr;
    if (FAILED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IKnownFolderManager, reinterpret_cast<void**>(&manager))) ||
        manager == nullptr) {
        return folder;
    }
    IKnownFolder* knownFolder = nullptr;
    if (SUCCEEDED(manager->GetFolder(FOLDERID_ProgramData, &knownFolder)) && knownFolder) {
        PWSTR path = nullptr;
        if (SUCCEEDED(knownFolder->GetPath(0, &path)) && path) {
            folder = path;
        }
        CoTaskMemFree(path);
        knownFolder->Release();
    }
    manager->Release();
    return folder;
}

} // namespace

PathText programDataFolder() {
    PathText folder = overrideFolder();
    return folder.empty() ? knownProgramDataFolder() : folder;
}

#else

// POSIX has no such folder; PROGRAMDATA lets an installation (or a test) choose
// one, and /var/lib is where variable state of system software lives.
PathText programDataFolder() {
    const char* configured = std::getenv("PROGRAMDATA");
    if (configured != nullptr && *configured != '\0') {
        return PathText(configured);
    }
    return PathText("/var/lib");
}

#endif

} // namespace korvant
