#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace korvant {
namespace {

bool isSeparator(PathChar c) {
#ifdef _WIN32
    return c == L'\\' || c == L'/';
#else
    return c == '/';
#endif
}

PathText temporaryBeside(const PathText& path) {
    return path + pathFromUtf8(".tmp");
}

#ifdef _WIN32
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Only a file on a disk: not a pipe, a console or another device.
bool onDisk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return GetFileType(handle) == FILE_TYPE_DISK;
}

std::string systemError(DWORD error) {
    return "system error " + std::to_string(error);
}
#else
// A descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting whether the close (the last chance of a write error) succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool isRegular(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Opened without blocking: opening a FIFO for reading waits for a writer, and
// for writing waits for a reader (or fails, with O_NONBLOCK, which is what we want).
int openWithoutBlocking(const PathText& path, int flags, mode_t mode = 0) {
    return ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}
#endif

} // namespace

#ifdef _WIN32
bool isDirectory(const PathText& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool createDirectory(const PathText& path) {
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

FileKind fileKind(const PathText& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing
                                                                              : FileKind::Other;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0
               ? FileKind::Other
               : FileKind::Regular;
}

FileRead readRegularFile(const PathText& path) {
    FileRead read;
    switch (fileKind(path)) {
    case FileKind::Missing:
        return read;
    case FileKind::Other:
        read.outcome = FileRead::Outcome::Unreadable;
        read.problem = "it is not a regular file";
        return read;
    case FileKind::Regular:
        break;
    }
    read.outcome = FileRead::Outcome::Unreadable;
    const FileHandle file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        read.problem = "it cannot be opened (" + systemError(GetLastError()) + ")";
        return read;
    }
    if (!onDisk(file.get())) {
        read.problem = "it is not a regular file";
        return read;
    }
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        read.bytes.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        read.bytes.clear();
        read.problem = "it cannot be read";
        return read;
    }
    read.outcome = FileRead::Outcome::Read;
    return read;
}

namespace {
// Writes `bytes` to `temporary` and renames it over `path`; the temporary file
// is removed again when that fails.
bool writeThenRename(const PathText& temporary, const PathText& path, std::string_view bytes) {
    {
        FileHandle file(_wfopen(temporary.c_str(), L"wb"));
        if (!file || !onDisk(file.get())) {
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
        if (std::fclose(file.release()) != 0 || !written) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
} // namespace
#else
bool isDirectory(const PathText& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createDirectory(const PathText& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

FileKind fileKind(const PathText& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Other;
    }
    return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
}

FileRead readRegularFile(const PathText& path) {
    FileRead read;
    Descriptor file(openWithoutBlocking(path, O_RDONLY));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return read;
        }
        read.outcome = FileRead::Outcome::Unreadable;
        read.problem = std::string("it cannot be opened (") + std::strerror(errno) + ")";
        return read;
    }
    read.outcome = FileRead::Outcome::Unreadable;
    if (!isRegular(file.get())) {
        read.problem = "it is not a regular file";
        return read;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            read.bytes.clear();
            read.problem = std::string("it cannot be read (") + std::strerror(errno) + ")";
            return read;
        }
        if (count == 0) {
            break;
        }
        read.bytes.append(buffer, static_cast<size_t>(count));
    }
    read.outcome = FileRead::Outcome::Read;
    return read;
}

namespace {
// Writes `bytes` to `temporary` and renames it over `path`; the temporary file
// is removed again when that fails.
bool writeThenRename(const PathText& temporary, const PathText& path, std::string_view bytes) {
    Descriptor file(openWithoutBlocking(temporary, O_WRONLY | O_CREAT | O_TRUNC, 0666));
    if (file.get() < 0) {
        return false;
    }
    const bool written =
        isRegular(file.get()) && writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
} // namespace
#endif

bool replaceRegularFile(const PathText& path, std::string_view bytes) {
    if (fileKind(path) == FileKind::Other) {
        return false;
    }
    return writeThenRename(temporaryBeside(path), path, bytes);
}

PathText folderOf(const PathText& path) {
    for (size_t end = path.size(); end > 0; --end) {
        if (isSeparator(path[end - 1])) {
            // The root folder keeps its separator: "/" rather than nothing.
            return path.substr(0, end == 1 ? 1 : end - 1);
        }
    }
    return {};
}

} // namespace korvant
