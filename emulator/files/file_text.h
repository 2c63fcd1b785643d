#pragma once
// Whole-file reads and writes for the configuration, the state file and the
// paper tape. Paths are UTF-8 texts.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace korvant3emu {

enum class FileStatus { missing, readable, unreadable };

FileStatus fileStatus(const std::string& path);

// The file's length; 0 when it is missing or cannot be measured.
uint64_t fileSize(const std::string& path);

// Cuts the file to its first `size` bytes. False when that failed.
bool truncateFile(const std::string& path, uint64_t size);

// The whole content, or nothing when the file cannot be opened or read.
std::optional<std::string> readFileText(const std::string& path);

// Writes a temporary file beside the target and renames it over the target, so
// a reader never sees half a file, and a write that fails (a full disk) leaves
// the target as it was. `durable` waits until the storage holds the text before
// the rename. Returns an error text, empty on success.
std::string replaceFileText(const std::string& path, const std::string& text, bool durable = false);

// The file opened for appending (binary, created when missing); null when it cannot be.
std::FILE* openForAppending(const std::string& path);

// Appends to the file, creating it when missing. False when that failed.
bool appendFileText(const std::string& path, const std::string& text);

} // namespace korvant3emu
