#include "config/log.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "config/log_file.h"
#include "platform/os_name.h"

namespace korvant::log {
namespace {

// The log is shared by every component object of this library instance and
// lives until the library is unloaded. `enabled` is set once the file is open
// and is the only thing a logging site reads when the log is off.
std::atomic<bool> g_enabled{false};
std::mutex g_startMutex;
bool g_startTried = false;

struct ProcessLog {
    std::unique_ptr<LogFile> file;
    // A line logged while the library is being unloaded must not reach a
    // closed file.
    ~ProcessLog() { g_enabled.store(false, std::memory_order_release); }
};
ProcessLog g_log;

} // namespace

bool enabled() noexcept {
    return g_enabled.load(std::memory_order_acquire);
}

void start(const PathText& path) {
    try {
        const std::lock_guard lock(g_startMutex);
        if (g_startTried) {
            return;
        }
        g_startTried = true;
        auto file = std::make_unique<LogFile>(path);
        if (!file->isOpen()) {
            return;
        }
        g_log.file = std::move(file);
        g_enabled.store(true, std::memory_order_release);
    } catch (...) {
        // Without memory for the log the component works on without it.
    }
}

void write(std::string_view function, int line, std::string_view message) noexcept {
    if (enabled()) {
        g_log.file->write(function, line, message);
    }
}

std::string bitnessLine() {
    return std::string(kOsName) + (sizeof(void*) == 8 ? "64" : "32");
}

} // namespace korvant::log
