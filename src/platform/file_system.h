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

// What a path names, found without opening it.
enum class FileKind {
    Missing, // nothing (or a folder of the path is missing)
    Regular, // a regular file
    Other,   // a folder, a FIFO, a device... or something that cannot be looked at
};
FileKind fileKind(const PathText& path);

// A configuration or log file is only ever a regular file: anything else at its
// path (a FIFO would block the host for good, a device might never end) is
// treated as unreadable, and is found so without blocking.
struct FileRead {
    enum class Outcome { Read, Missing, Unreadable };
    Outcome outcome = Outcome::Missing;
    std::string bytes;   // exactly as stored, when read
    std::string problem; // why it could not be read, when unreadable
};
FileRead readRegularFile(const PathText& path);

// Replaces a regular file's content with `bytes`, creating the file when it is
// missing, through a temporary file beside it that is renamed over it: a write
// that fails half-way leaves the old content. The file stays as its owner made
// it: a symbolic link is written through to the file it names (which is the one
// replaced), the file keeps its permissions, and a read-only file is never
// replaced. False, with the reason in `problem` when given, when the path names
// something else than a regular file, the file is read-only or cannot be written.
// A durable write waits until the storage holds the new content (it survives a
// power cut); any write survives the end of the process that made it.
bool replaceRegularFile(const PathText& path, std::string_view bytes,
                        std::string* problem = nullptr, bool durable = true);

// Removes a file; false when it is there and could not be removed.
bool removeFile(const PathText& path);

} // namespace korvant
