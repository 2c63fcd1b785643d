#pragma once
// One log file written through its own spdlog logger (never registered in
// spdlog's global registry, so two add-ins in one process never share it). The
// layout follows the file name (see log_layout.h). The process-wide log of
// log.h wraps one of these.

#include <memory>
#include <string_view>

#include "platform/path_text.h"

namespace spdlog {
class logger;
}

namespace korvant::log {

class LogFile {
public:
    // Opens `path` for appending; a new, empty file gets the byte order mark and
    // the layout's header first. The folder must exist: the log never creates
    // one. A file that cannot be opened, or a path that names something else
    // than a regular file, leaves the object closed.
    explicit LogFile(const PathText& path) noexcept;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool isOpen() const noexcept { return logger_ != nullptr; }

    // Appends one debug record and flushes it, so that a crash loses nothing
    // already written. Does nothing on a closed file; never throws.
    void write(std::string_view function, int line, std::string_view message) noexcept;

private:
    std::shared_ptr<spdlog::logger> logger_;
};

} // namespace korvant::log
