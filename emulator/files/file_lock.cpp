#include "files/file_lock.h"

#include <algorithm>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <filesystem>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace korvant3emu {
namespace {

// The wait between tries grows from a fraction of a millisecond, so that a lock held briefly
// (one operation of the register) is taken soon after it is let go.
constexpr auto kFirstPause = std::chrono::microseconds(100);
constexpr auto kLongestPause = std::chrono::milliseconds(5);

} // namespace

FileLock::~FileLock() {
    close();
}

FileLock::FileLock(FileLock&& other) noexcept {
    *this = std::move(other);
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        close();
#ifdef _WIN32
        handle_ = std::exchange(other.handle_, nullptr);
#else
        descriptor_ = std::exchange(other.descriptor_, -1);
#endif
        locked_ = std::exchange(other.locked_, false);
    }
    return *this;
}

bool FileLock::lock(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::microseconds pause = kFirstPause;
    while (!tryLock()) {
        const auto now = std::chrono::steady_clock::now();
        if (!isOpen() || now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::microseconds>(
            pause, std::chrono::duration_cast<std::chrono::microseconds>(deadline - now)));
        pause = std::min<std::chrono::microseconds>(pause * 2, kLongestPause);
    }
    return true;
}

#ifdef _WIN32

namespace {

// The lock covers one byte far beyond any content, so that reading and writing the content
// never meet the lock's range.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

} // namespace

bool FileLock::open(const std::string& path, bool create) {
    close();
    const std::filesystem::path name(std::u8string(path.begin(), path.end()));
    HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = handle;
    return true;
}

bool FileLock::isOpen() const {
    return handle_ != nullptr;
}

void FileLock::close() {
    if (handle_ != nullptr) {
        unlock();
        CloseHandle(static_cast<HANDLE>(handle_));
        handle_ = nullptr;
    }
}

bool FileLock::tryLock() {
    if (locked_ || handle_ == nullptr) {
        return locked_;
    }
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    locked_ = LockFileEx(static_cast<HANDLE>(handle_),
                         LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
    return locked_;
}

void FileLock::unlock() {
    if (locked_) {
        OVERLAPPED where{};
        where.OffsetHigh = kLockOffsetHigh;
        UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &where);
        locked_ = false;
    }
}

std::optional<std::string> FileLock::read() {
    if (handle_ == nullptr) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    OVERLAPPED where{};
    for (;;) {
        where.Offset = static_cast<DWORD>(content.size());
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), buffer, sizeof buffer, &got, &where)) {
            if (GetLastError() != ERROR_HANDLE_EOF) {
                return std::nullopt;
            }
            got = 0;
        }
        content.append(buffer, got);
        if (got < sizeof buffer) {
            size_ = content.size();
            return content;
        }
    }
}

bool FileLock::write(const std::string& text) {
    if (handle_ == nullptr) {
        return false;
    }
    const HANDLE handle = static_cast<HANDLE>(handle_);
    OVERLAPPED where{};
    DWORD written = 0;
    if (!text.empty() &&
        (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, &where) ||
         written != text.size())) {
        return false;
    }
    if (text.size() < size_) {
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(text.size());
        if (!SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
            return false;
        }
    }
    size_ = text.size();
    return true;
}

#else

bool FileLock::open(const std::string& path, bool create) {
    close();
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (descriptor < 0) {
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

bool FileLock::isOpen() const {
    return descriptor_ >= 0;
}

void FileLock::close() {
    if (descriptor_ >= 0) {
        unlock();
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

bool FileLock::tryLock() {
    if (locked_ || descriptor_ < 0) {
        return locked_;
    }
    int outcome = 0;
    do {
        outcome = ::flock(descriptor_, LOCK_EX | LOCK_NB);
    } while (outcome != 0 && errno == EINTR);
    locked_ = outcome == 0;
    return locked_;
}

void FileLock::unlock() {
    if (locked_) {
        ::flock(descriptor_, LOCK_UN);
        locked_ = false;
    }
}

std::optional<std::string> FileLock::read() {
    if (descriptor_ < 0) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t got =
            ::pread(descriptor_, buffer, sizeof buffer, static_cast<off_t>(content.size()));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        content.append(buffer, static_cast<size_t>(got));
        if (static_cast<size_t>(got) < sizeof buffer) {
            size_ = content.size();
            return content;
        }
    }
}

bool FileLock::write(const std::string& text) {
    if (descriptor_ < 0) {
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put =
            ::pwrite(descriptor_, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(put);
    }
    // Only a shorter content leaves something behind to cut off.
    if (text.size() < size_ && ::ftruncate(descriptor_, static_cast<off_t>(text.size())) != 0) {
        return false;
    }
    size_ = text.size();
    return true;
}

#endif

} // namespace korvant3emu
