#include "platform/process_identity.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#endif

namespace korvant {

#ifdef _WIN32

namespace {

// The creation time of an open process, in 100 ns units since 1601.
uint64_t creationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) == 0) {
        return 0;
    }
    return (uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

} // namespace

ProcessIdentity currentProcess() {
    static const ProcessIdentity self{GetCurrentProcessId(), creationTime(GetCurrentProcess())};
    return self;
}

bool processAlive(const ProcessIdentity& process) {
    HANDLE handle =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process.id));
    if (handle == nullptr) {
        // A process we may not look at is there all the same.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(handle, &code) != 0 && code == STILL_ACTIVE;
    const bool same = process.started == 0 || creationTime(handle) == process.started;
    CloseHandle(handle);
    return running && same;
}

#else

namespace {

// The state and start time of a process from /proc/<id>/stat: the fields after
// the command name (which may hold anything, parentheses too) are the state,
// then, as the 22nd field of the line, the start time in clock ticks since boot.
struct StatLine {
    char state = '?';
    uint64_t started = 0;
};

std::optional<StatLine> statOf(uint64_t id) {
    std::ifstream file("/proc/" + std::to_string(id) + "/stat");
    if (!file) {
        return std::nullopt;
    }
    const std::string line((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(nameEnd + 1));
    StatLine stat;
    fields >> stat.state;
    std::string skipped;
    // Fields 4 to 21 lie between the state (3) and the start time (22).
    for (int field = 4; field < 22 && fields >> skipped; ++field) {
    }
    fields >> stat.started;
    return fields ? std::optional<StatLine>(stat) : std::nullopt;
}

} // namespace

ProcessIdentity currentProcess() {
    static const ProcessIdentity self = [] {
        const auto id = static_cast<uint64_t>(::getpid());
        const auto stat = statOf(id);
        return ProcessIdentity{id, stat ? stat->started : 0};
    }();
    return self;
}

bool processAlive(const ProcessIdentity& process) {
    if (process.id == 0) {
        return false;
    }
    if (const auto stat = statOf(process.id)) {
        const bool ended = stat->state == 'Z' || stat->state == 'X';
        return !ended && (process.started == 0 || stat->started == process.started);
    }
    // Without /proc: whether any process has the number.
    return ::kill(static_cast<pid_t>(process.id), 0) == 0 || errno == EPERM;
}

#endif

} // namespace korvant
