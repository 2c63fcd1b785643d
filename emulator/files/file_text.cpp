#include "files/file_text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <sstream>
#include <system_error>
#include <thread>

namespace korvant3emu {
namespace {

std::filesystem::path utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes the whole text, every error checked (a full disk shows at the write, the
// flush or the close); `durable` also has the system put it on the storage.
// Empty text on success, else why it failed.
std::string writeWhole(const std::filesystem::path& path, const std::string& text, bool durable) {
#ifdef _WIN32
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
#else
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
#endif
    if (!file) {
        return std::strerror(errno);
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                   std::fflush(file.get()) == 0;
    if (written && durable) {
#ifdef _WIN32
        written = _commit(_fileno(file.get())) == 0;
#else
        written = ::fsync(fileno(file.get())) == 0;
#endif
    }
    const int error = errno;
    if (std::fclose(file.release()) != 0) {
        return std::strerror(errno);
    }
    return written ? std::string() : std::strerror(error);
}

// Windows refuses to rename over a file another program has open at that moment (someone
// reading the state, a backup or a virus scanner looking at it), even when it shares it for
// deleting; the reader lets go within moments. So a refused rename is tried again for a while
// before the register gives up and refuses the operation.
constexpr auto kRenameTries = std::chrono::seconds(2);
constexpr auto kLongestRenamePause = std::chrono::milliseconds(20);

void renameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& error) {
    const auto deadline = std::chrono::steady_clock::now() + kRenameTries;
    std::chrono::microseconds pause(200);
    for (;;) {
        std::filesystem::rename(from, to, error);
        if (!error || std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min<std::chrono::microseconds>(pause * 2, kLongestRenamePause);
    }
}

} // namespace

FileStatus fileStatus(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(utf8Path(path), error)) {
        return error ? FileStatus::unreadable : FileStatus::missing;
    }
    std::ifstream in(utf8Path(path), std::ios::binary);
    return in ? FileStatus::readable : FileStatus::unreadable;
}

uint64_t fileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(utf8Path(path), error);
    return error ? 0 : size;
}

bool truncateFile(const std::string& path, uint64_t size) {
    std::error_code error;
    std::filesystem::resize_file(utf8Path(path), size, error);
    return !error;
}

std::optional<std::string> readFileText(const std::string& path) {
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return content.str();
}

std::string replaceFileText(const std::string& path, const std::string& text, bool durable) {
    const auto target = utf8Path(path);
    auto temporary = target;
    temporary += ".tmp";
    std::error_code error;
    if (const std::string why = writeWhole(temporary, text, durable); !why.empty()) {
        std::filesystem::remove(temporary, error);
        return "cannot write " + path + ".tmp: " + why;
    }
    renameOver(temporary, target, error);
    if (error) {
        const std::string why = error.message();
        std::filesystem::remove(temporary, error);
        return "cannot replace " + path + ": " + why;
    }
    return {};
}

std::FILE* openForAppending(const std::string& path) {
#ifdef _WIN32
    return _wfopen(utf8Path(path).c_str(), L"ab");
#else
    return std::fopen(path.c_str(), "ab");
#endif
}

bool appendFileText(const std::string& path, const std::string& text) {
    std::ofstream out(utf8Path(path), std::ios::binary | std::ios::app);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

} // namespace korvant3emu
