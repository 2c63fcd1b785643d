#include "platform/file_system.h"

#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace korvant {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32
FileHandle openFile(const PathText& path, const wchar_t* mode) {
    return FileHandle(_wfopen(path.c_str(), mode));
}
constexpr const wchar_t* kReadMode = L"rb";
constexpr const wchar_t* kWriteMode = L"wb";
#else
FileHandle openFile(const PathText& path, const char* mode) {
    return FileHandle(std::fopen(path.c_str(), mode));
}
constexpr const char* kReadMode = "rb";
constexpr const char* kWriteMode = "wb";
#endif

bool isSeparator(PathChar c) {
#ifdef _WIN32
    return c == L'\\' || c == L'/';
#else
    return c == '/';
#endif
}

} // namespace

#ifdef _WIN32
bool isDirectory(const PathText& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool createDirectory(const PathText& path) {
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}
#else
bool isDirectory(const PathText& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createDirectory(const PathText& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}
#endif

PathText folderOf(const PathText& path) {
    for (size_t end = path.size(); end > 0; --end) {
        if (isSeparator(path[end - 1])) {
            // The root folder keeps its separator: "/" rather than nothing.
            return path.substr(0, end == 1 ? 1 : end - 1);
        }
    }
    return {};
}

std::optional<std::string> readWholeFile(const PathText& path) {
    const FileHandle file = openFile(path, kReadMode);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return bytes;
}

bool writeWholeFile(const PathText& path, std::string_view bytes) {
    FileHandle file = openFile(path, kWriteMode);
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

} // namespace korvant
