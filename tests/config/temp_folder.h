#pragma once
// A fresh folder per test, removed with everything in it afterwards, plus the
// small file helpers the configuration and log tests share.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvant-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// PROGRAMDATA names `root` while the object lives; the old value comes back after.
class ProgramDataVariable {
public:
    explicit ProgramDataVariable(const std::filesystem::path& root) {
        if (const char* old = std::getenv("PROGRAMDATA")) {
            saved_ = old;
        }
        ::setenv("PROGRAMDATA", root.string().c_str(), 1);
    }
    ~ProgramDataVariable() {
        if (saved_) {
            ::setenv("PROGRAMDATA", saved_->c_str(), 1);
        } else {
            ::unsetenv("PROGRAMDATA");
        }
    }
    ProgramDataVariable(const ProgramDataVariable&) = delete;
    ProgramDataVariable& operator=(const ProgramDataVariable&) = delete;

private:
    std::optional<std::string> saved_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace korvant::testing
