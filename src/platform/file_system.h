#pragma once
// The few file system operations the configuration and the log need, with the
// platform's own calls so that wide (non-ANSI) names work on Windows.

#include <optional>
#include <string>
#include <string_view>

#include "platform/path_text.h"

namespace korvant {

// Line end of text files the component writes.
#ifdef _WIN32
inline constexpr std::string_view kTextLineEnd = "\r\n";
#else
inline constexpr std::string_view kTextLineEnd = "\n";
#endif

bool isDirectory(const PathText& path);

// Creates one folder level; false when it could not be created (for example
// because its parent is missing or it exists already).
bool createDirectory(const PathText& path);

// The folder part of a file path, without the trailing separator; empty when the
// path names no folder (the file is in the current directory).
PathText folderOf(const PathText& path);

// The file's bytes exactly as stored; nullopt when it cannot be opened or read.
std::optional<std::string> readWholeFile(const PathText& path);

// Replaces the file's content with `bytes`, creating it when missing; false when
// it cannot be opened or fully written.
bool writeWholeFile(const PathText& path, std::string_view bytes);

} // namespace korvant
