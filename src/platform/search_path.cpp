#include "platform/search_path.h"

#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace korvant::platform {

namespace {

#ifdef _WIN32
constexpr PathChar kListSeparator = L';';
#else
constexpr PathChar kListSeparator = ':';
#endif
constexpr PathChar kFolderSeparators[] = {'\\', '/', 0};

PathText folderOf(const PathText& libraryPath) {
    const auto cut = libraryPath.find_last_of(kFolderSeparators);
    return cut == PathText::npos ? libraryPath : libraryPath.substr(0, cut);
}

PathText firstEntry(const PathText& searchPath) {
    return searchPath.substr(0, searchPath.find(kListSeparator));
}

#ifdef _WIN32
std::optional<PathText> readSearchPath() {
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    PathText value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"PATH", value.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    value.resize(length);
    return value;
}

void writeSearchPath(const PathText& value) {
    SetEnvironmentVariableW(L"PATH", value.c_str());
}
#else
std::optional<PathText> readSearchPath() {
    const char* value = std::getenv("PATH");
    if (value == nullptr) {
        return std::nullopt;
    }
    return PathText(value);
}

void writeSearchPath(const PathText& value) {
    setenv("PATH", value.c_str(), 1);
}
#endif

} // namespace

void prependToSearchPath(const PathText& libraryPath) {
    const auto searchPath = readSearchPath();
    if (!searchPath || searchPath->empty()) {
        return;
    }
    const PathText folder = folderOf(libraryPath);
    // An empty entry would put the current directory on the search path.
    if (folder.empty() || firstEntry(*searchPath) == folder) {
        return;
    }
    writeSearchPath(folder + kListSeparator + *searchPath);
}

} // namespace korvant::platform
