#include "config/log_file.h"

#include <spdlog/details/os.h>
#include <spdlog/formatter.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/basic_file_sink.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <type_traits>

#include "config/log_layout.h"
#include "platform/file_system.h"

namespace korvant::log {
namespace {

// Lays every record out as the file's layout wants it, taking the function name
// and line from the record's source location, where write() puts them.
class LayoutFormatter final : public spdlog::formatter {
public:
    explicit LayoutFormatter(LogLayout layout) : layout_(layout) {}

    void format(const spdlog::details::log_msg& msg, spdlog::memory_buf_t& dest) override {
        using std::chrono::duration_cast;
        using std::chrono::milliseconds;
        LogRecord record;
        record.localTime = spdlog::details::os::localtime(spdlog::log_clock::to_time_t(msg.time));
        record.milliseconds = static_cast<int>(
            duration_cast<milliseconds>(msg.time.time_since_epoch()).count() % 1000);
        record.threadId = msg.thread_id;
        record.function = msg.source.funcname != nullptr ? msg.source.funcname : "";
        record.line = msg.source.line;
        record.message = std::string_view(msg.payload.data(), msg.payload.size());
        const std::string line = formatRecord(layout_, record);
        dest.append(line.data(), line.data() + line.size());
    }

    std::unique_ptr<spdlog::formatter> clone() const override {
        return std::make_unique<LayoutFormatter>(layout_);
    }

private:
    LogLayout layout_;
};

// spdlog takes wide names on Windows only when built with SPDLOG_WCHAR_FILENAMES.
template <typename FileName> FileName fileName(const PathText& path) {
    if constexpr (std::is_same_v<FileName, PathText>) {
        return path;
    } else {
        return pathToUtf8(path);
    }
}

// spdlog creates missing folders on its own; the log must not (a missing folder
// means there is no installation to log for), so the folder is checked first.
bool folderExists(const PathText& path) {
    const PathText folder = folderOf(path);
    return folder.empty() || isDirectory(folder);
}

spdlog::file_event_handlers startNewFiles(LogLayout layout) {
    spdlog::file_event_handlers handlers;
    handlers.after_open = [start = fileStart(layout)](const spdlog::filename_t&, std::FILE* file) {
        // Opened for appending: only an empty file is new.
        std::fseek(file, 0, SEEK_END);
        if (std::ftell(file) == 0) {
            std::fwrite(start.data(), 1, start.size(), file);
            std::fflush(file);
        }
    };
    return handlers;
}

} // namespace

LogFile::LogFile(const PathText& path) noexcept {
    try {
        // Only a regular file is appended to: opening a FIFO for writing
        // would wait for a reader, for ever if none comes.
        if (!folderExists(path) || fileKind(path) == FileKind::Other) {
            return;
        }
        const LogLayout layout = layoutForPath(path);
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(
            fileName<spdlog::filename_t>(path), /*truncate*/ false, startNewFiles(layout));
        sink->set_formatter(std::make_unique<LayoutFormatter>(layout));
        auto logger = std::make_shared<spdlog::logger>("AddInKorvant", std::move(sink));
        logger->set_level(spdlog::level::debug);
        logger->flush_on(spdlog::level::debug);
        // A failing write must stay silent: the host's console is not ours.
        logger->set_error_handler([](const std::string&) {});
        logger_ = std::move(logger);
    } catch (...) {
        logger_.reset();
    }
}

LogFile::~LogFile() = default;

void LogFile::write(std::string_view function, int line, std::string_view message) noexcept {
    if (!logger_) {
        return;
    }
    try {
        // The source location carries a C string, so the name gets its terminator here.
        const std::string functionName(function);
        logger_->log(spdlog::source_loc{"", line, functionName.c_str()}, spdlog::level::debug,
                     spdlog::string_view_t(message.data(), message.size()));
    } catch (...) {
    }
}

} // namespace korvant::log
