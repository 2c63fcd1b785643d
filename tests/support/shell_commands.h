#pragma once
// Shell commands for tests that start programs of this build the way a user does: quoting for
// the system's shell (sh; cmd.exe on Windows), changing folder, running a command line, and
// removing the folder a test worked in. Only tests use these; korvant-host never starts a
// shell.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "host/system/system.h"

namespace korvant::host {

// A command-line argument quoted for the system's shell (sh; cmd.exe on Windows).
inline std::string shellQuoted(std::string_view text) {
#ifdef _WIN32
    // The C runtime's rules for one argument: inner quotes as \", backslashes doubled only
    // where a quote follows them. cmd.exe passes the quoted text on as it stands.
    std::string result = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        result.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        result += c;
        backslashes = 0;
    }
    result.append(2 * backslashes, '\\');
    return result + "\"";
#else
    std::string result = "'";
    for (const char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
#endif
}

// The shell command that makes `folder` the current directory (cmd.exe also changes the drive).
inline std::string shellChangeDirectory(const std::filesystem::path& folder) {
#ifdef _WIN32
    return "cd /d " + shellQuoted(pathText(folder));
#else
    return "cd " + shellQuoted(pathText(folder));
#endif
}

// Runs a command line (arguments quoted with shellQuoted, redirections allowed) through the
// system's shell; the command's exit code, or -1 when it did not end normally.
inline int runShellCommand(const std::string& command) {
#ifdef _WIN32
    // cmd.exe /c drops the first and the last quote of a line that starts with one; the extra
    // pair keeps the quoting of the command itself.
    return std::system(("\"" + command + "\"").c_str());
#else
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// Removes a folder with everything in it, for cleaning up after a test. A program that has just
// ended may hold its files a moment longer on Windows (under wine sometimes the folder itself),
// so failures are retried for up to two seconds; false when the folder could not be removed.
inline bool removeFolder(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        if (!error) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace korvant::host
