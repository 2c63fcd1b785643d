#include "file_text.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace korvant3emu {
namespace {

std::filesystem::path utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
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

bool fileHasContent(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(utf8Path(path), error);
    return !error && size > 0;
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

std::string replaceFileText(const std::string& path, const std::string& text) {
    const auto target = utf8Path(path);
    auto temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            return "cannot write " + path + ".tmp";
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return "cannot replace " + path;
    }
    return {};
}

bool appendFileText(const std::string& path, const std::string& text) {
    std::ofstream out(utf8Path(path), std::ios::binary | std::ios::app);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

} // namespace korvant3emu
