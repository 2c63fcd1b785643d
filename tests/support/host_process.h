#pragma once
// A korvant-host process that a test starts, its standard output going to a file, and ends
// itself: killed at a moment the test chooses, or waited for. posix_spawn and signals on POSIX,
// CreateProcess and TerminateProcess on Windows.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace korvant::testing {

class HostProcess {
public:
    HostProcess(const std::vector<std::string>& args, const std::filesystem::path& output) {
        start(args, output);
    }
    ~HostProcess() { kill(); }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool started() const { return running_; }

    // Kills the process: true only when it was still running and the kill is what ended it
    // (a test that meant to interrupt it learns that it had finished on its own instead).
    bool kill();

    // The exit code once it ended on its own; -1 when it had to be killed.
    int wait(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (const auto code = exitCode()) {
                return *code;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill();
        return -1;
    }

private:
    void start(const std::vector<std::string>& args, const std::filesystem::path& output);
    // The exit code once the process has ended (-1 when a signal ended it); nothing while it runs.
    std::optional<int> exitCode();

    bool running_ = false;
#ifdef _WIN32
    // What TerminateProcess makes the process exit with: no code korvant-host exits with.
    static constexpr UINT kKilledCode = 0xDEAD;
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
};

#ifdef _WIN32

inline void HostProcess::start(const std::vector<std::string>& args,
                               const std::filesystem::path& output) {
    // The C runtime's quoting of each argument, as the started program's runtime reads it back.
    std::wstring commandLine;
    for (const std::string& arg : args) {
        std::wstring wide(arg.size(), L'\0');
        wide.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_UTF8, 0, arg.data(), static_cast<int>(arg.size()), wide.data(),
                                static_cast<int>(wide.size()))));
        commandLine += commandLine.empty() ? L"\"" : L" \"";
        size_t backslashes = 0;
        for (const wchar_t c : wide) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            commandLine.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            commandLine += c;
            backslashes = 0;
        }
        commandLine.append(2 * backslashes, L'\\');
        commandLine += L'"';
    }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE out = CreateFileW(output.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherited, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    if (out != INVALID_HANDLE_VALUE && in != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        running_ = true;
    }
    for (const HANDLE handle : {out, in}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
}

inline std::optional<int> HostProcess::exitCode() {
    if (!running_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        return running_ ? std::nullopt : std::optional<int>(-1);
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    running_ = false;
    return code == kKilledCode ? -1 : static_cast<int>(code);
}

inline bool HostProcess::kill() {
    if (!running_) {
        return false;
    }
    // A process that has ended keeps its own exit code: TerminateProcess cannot change it.
    TerminateProcess(process_, kKilledCode);
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    running_ = false;
    return code == kKilledCode;
}

#else

inline void HostProcess::start(const std::vector<std::string>& args,
                               const std::filesystem::path& output) {
    std::vector<std::string> owned = args;
    std::vector<char*> argv;
    for (auto& arg : owned) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    running_ = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
}

inline std::optional<int> HostProcess::exitCode() {
    if (!running_) {
        return -1;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) {
        return std::nullopt;
    }
    running_ = false;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool HostProcess::kill() {
    if (!running_) {
        return false;
    }
    // A process that has ended but is not yet waited for still takes the signal: only how it
    // ended tells whether the kill did it.
    ::kill(pid_, SIGKILL);
    int status = 0;
    const bool waited = ::waitpid(pid_, &status, 0) == pid_;
    running_ = false;
    return waited && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

#endif

} // namespace korvant::testing
