#pragma once
// The two line layouts of the log file, the plain text one and the CSV one,
// chosen by the file name. Records are laid out here, apart from the file
// handling, so that their shape can be checked without a file.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/path_text.h"

namespace korvant::log {

enum class LogLayout { Text, Csv };

// CSV when the name ends exactly in ".csv" (letter case included), else text.
LogLayout layoutForPath(const PathText& path);

struct LogRecord {
    std::tm localTime{};
    int milliseconds = 0;
    uint64_t threadId = 0;
    std::string_view function;
    int line = 0;
    std::string_view message;
};

// One record with the platform's line end.
std::string formatRecord(LogLayout layout, const LogRecord& record);

// What a new, empty file starts with: the UTF-8 byte order mark, and the column
// header line for CSV.
std::string fileStart(LogLayout layout);

// CSV messages longer than this many characters are cut and marked with "...",
// so that a spreadsheet still takes the line.
inline constexpr size_t kMaxCsvMessageCharacters = 32000;

} // namespace korvant::log
