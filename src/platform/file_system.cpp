#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

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

// The file a path names after its symbolic links are followed (the path itself
// when it is none), so that writing replaces the file and keeps the link. A
// link may name a file that does not exist yet; a loop of links is left as it
// is, for the write to fail on.
PathText linkTarget(const PathText& path) {
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            return current.native();
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error) {
            return current.native();
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return path;
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
// Why a file could not be replaced, and false.
bool failed(std::string* problem, std::string reason) {
    if (problem != nullptr) {
        *problem = std::move(reason);
    }
    return false;
}

bool readOnly(const PathText& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Writes `bytes` to `temporary` and renames it over `path`; the temporary file
// is removed again when that fails.
bool writeThenRename(const PathText& temporary, const PathText& path, std::string_view bytes,
                     std::string* problem, bool durable) {
    {
        FileHandle file(_wfopen(temporary.c_str(), L"wb"));
        if (!file || !onDisk(file.get())) {
            return failed(problem, "the file beside it cannot be created (" +
                                       systemError(GetLastError()) + ")");
        }
        const bool written =
            std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
            (!durable || (std::fflush(file.get()) == 0 && _commit(_fileno(file.get())) == 0));
        const int error = errno;
        if (std::fclose(file.release()) != 0 || !written) {
            DeleteFileW(temporary.c_str());
            return failed(problem,
                          std::string("it cannot be written (") + std::strerror(error) + ")");
        }
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
    if (MoveFileExW(temporary.c_str(), path.c_str(), flags) == 0) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return failed(problem, "it cannot be replaced (" + systemError(error) + ")");
    }
    return true;
}
} // namespace

bool removeFile(const PathText& path) {
    return DeleteFileW(path.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}
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
// Why a file could not be replaced, and false.
bool failed(std::string* problem, std::string reason) {
    if (problem != nullptr) {
        *problem = std::move(reason);
    }
    return false;
}

std::string because(const char* what, int error) {
    return std::string(what) + " (" + std::strerror(error) + ")";
}

// Read-only for everyone: no write permission bit set. (The permission check of
// access() would let the superuser write anything, and an administrator's
// read-only file means "leave it".)
bool readOnly(const PathText& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

// Writes `bytes` to `temporary` and renames it over `path`; the temporary file
// is removed again when that fails. The new file takes the old one's permissions.
bool writeThenRename(const PathText& temporary, const PathText& path, std::string_view bytes,
                     std::string* problem, bool durable) {
    Descriptor file(openWithoutBlocking(temporary, O_WRONLY | O_CREAT | O_TRUNC, 0666));
    if (file.get() < 0) {
        return failed(problem, because("the file beside it cannot be created", errno));
    }
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(file.get(), old.st_mode & 07777);
    }
    if (!isRegular(file.get())) {
        ::unlink(temporary.c_str());
        return failed(problem, "the file beside it is not a regular file");
    }
    // A full disk shows at the write, the sync or the close.
    if (!writeAll(file.get(), bytes) || (durable && ::fsync(file.get()) != 0) || !file.close()) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failed(problem, because("it cannot be written", error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failed(problem, because("it cannot be replaced", error));
    }
    return true;
}
} // namespace

bool removeFile(const PathText& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}
#endif

bool replaceRegularFile(const PathText& path, std::string_view bytes, std::string* problem,
                        bool durable) {
    const PathText target = linkTarget(path);
    if (fileKind(target) == FileKind::Other) {
        return failed(problem, "it is not a regular file");
    }
    if (readOnly(target)) {
        return failed(problem, "it is read-only");
    }
    return writeThenRename(temporaryBeside(target), target, bytes, problem, durable);
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
