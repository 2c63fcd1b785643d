#pragma once
// An exclusive advisory lock on a file that several processes open, taken with a bounded wait;
// and the file's content, which only the holder reads and writes. This is the only file of the
// emulator that talks to the operating system about locks: flock(2) on POSIX, LockFileEx on
// Windows. Either lock belongs to the open file, so two FileLocks conflict even within one
// process, and the system lets go of it when its process ends, however it ends.

#include <chrono>
#include <optional>
#include <string>

namespace korvant3emu {

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    // Opens the file (UTF-8 path), creating it when missing unless `create` is false. False
    // when it cannot be opened.
    bool open(const std::string& path, bool create = true);
    bool isOpen() const;
    void close();

    // Takes the lock at once, or false when another holder has it.
    bool tryLock();
    // Takes the lock, waiting for it at most `wait`; false when the wait ran out.
    bool lock(std::chrono::milliseconds wait);
    void unlock();
    bool locked() const { return locked_; }

    // The whole content (for the holder); nothing when it cannot be read.
    std::optional<std::string> read();
    // Replaces the whole content (for the holder); false when that failed.
    bool write(const std::string& text);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int descriptor_ = -1;
#endif
    bool locked_ = false;
    size_t size_ = 0; // the content's length as last read or written
};

} // namespace korvant3emu
