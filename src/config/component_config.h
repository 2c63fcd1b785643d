#pragma once
// The component's configuration: its folder under the machine's shared
// application-data folder, its own INI file there (log settings and device
// tuning), and the maker's library configuration file, which is only read.
// Nothing here fails: a missing folder or an unreadable file reads as empty.
// The user's file is never lost: one that exists but cannot be read (not a
// regular file, not text in a known encoding) is never written over.

#include <cstdint>
#include <optional>
#include <string>

#include "config/ini_document.h"
#include "platform/path_text.h"

namespace korvant {

class ComponentConfig {
public:
    // Uses the machine's shared application-data folder as the root.
    ComponentConfig();
    // Uses `root` instead (empty: paths relative to the current directory).
    explicit ComponentConfig(PathText root);

    // The component folder, with a trailing separator.
    const PathText& folder() const { return folder_; }
    const PathText& filePath() const { return filePath_; }
    // Why the component configuration file exists but could not be used
    // (empty when it was read, or is missing). Such a file is left as it is.
    const std::string& problem() const { return problem_; }

    // [logs] path, or empty text.
    PathText readLogPath() const;
    // [logs] enabled as a boolean; false when missing.
    bool logEnabledSetting() const;
    // Sets [logs] path and enabled = true in the document, then saves the file
    // (the document keeps the values even when the file cannot be written). Why
    // the file was not written, or empty text when it was.
    std::string setDefaultLog(const PathText& path);

    // The path of the maker's device library for this build, from the maker's
    // library configuration file; empty when it is missing or cannot be read
    // (`problem`, when given, then says why).
    PathText readLibraryPath(std::string* problem = nullptr) const;

    // [device] task_timeout_s: how long a library task may run, in seconds; 0
    // waits without limit. Missing, negative or unreadable values give
    // kDefaultTaskTimeoutSeconds.
    int32_t taskTimeoutSeconds() const;
    // [device] poll_interval_ms when it holds a number >= 0.
    std::optional<int32_t> pollIntervalMs() const;

    // Writes the document to the component configuration file, keeping its
    // comments, other keys and encoding, and the file as the administrator made
    // it (a read-only file is left alone, a symbolic link written through);
    // false, with the reason in `problem` when given, when the file cannot be
    // written, and always for a file that could not be read.
    bool save(std::string* problem = nullptr) const;

    static constexpr int32_t kDefaultTaskTimeoutSeconds = 600;

private:
    PathText root_;
    PathText folder_;
    PathText filePath_;
    IniDocument document_;
    std::string problem_;
};

} // namespace korvant
