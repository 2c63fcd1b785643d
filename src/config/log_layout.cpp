#include "config/log_layout.h"

#include <fmt/format.h>

#include <iterator>
#include <utility>

#include "platform/file_system.h"

namespace korvant::log {
namespace {

constexpr std::string_view kSeverity = "DEBUG";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCsvHeader = "Date;Time;Severity;TID;This;Function;Message";

bool isUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The message cut after kMaxCsvMessageCharacters characters (code points, so a
// cut never splits one).
std::string_view cutCsvMessage(std::string_view message, bool& cut) {
    size_t characters = 0;
    for (size_t i = 0; i < message.size(); ++i) {
        if (!isUtf8Continuation(message[i]) && characters++ == kMaxCsvMessageCharacters) {
            cut = true;
            return message.substr(0, i);
        }
    }
    cut = false;
    return message;
}

void appendQuoted(std::string& out, std::string_view message) {
    bool cut = false;
    const std::string_view kept = cutCsvMessage(message, cut);
    out.push_back('"');
    for (const char c : kept) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    if (cut) {
        out.append("...");
    }
    out.push_back('"');
}

// The text with every "\n" (the message's own ones and the record's end)
// written as the platform's line end.
std::string withNativeLineEnds(std::string text) {
    if (kTextLineEnd == "\n") {
        return text;
    }
    std::string converted;
    converted.reserve(text.size() + text.size() / 32);
    for (const char c : text) {
        if (c == '\n') {
            converted.append(kTextLineEnd);
        } else {
            converted.push_back(c);
        }
    }
    return converted;
}

} // namespace

LogLayout layoutForPath(const PathText& path) {
    return path.ends_with(pathFromUtf8(".csv")) ? LogLayout::Csv : LogLayout::Text;
}

std::string formatRecord(LogLayout layout, const LogRecord& record) {
    const std::tm& t = record.localTime;
    std::string line;
    auto out = std::back_inserter(line);
    if (layout == LogLayout::Text) {
        fmt::format_to(out, "{:04}-{:02}-{:02} {:02}:{:02}:{:02}.{:03} {:<5} [{}] [{}@{}] ",
                       t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                       record.milliseconds, kSeverity, record.threadId, record.function,
                       record.line);
        line.append(record.message);
    } else {
        fmt::format_to(out, "{:04}/{:02}/{:02};{:02}:{:02}:{:02}.{:03};{};{};0;{}@{};",
                       t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                       record.milliseconds, kSeverity, record.threadId, record.function,
                       record.line);
        appendQuoted(line, record.message);
    }
    line.push_back('\n');
    return withNativeLineEnds(std::move(line));
}

std::string fileStart(LogLayout layout) {
    std::string start(kUtf8ByteOrderMark);
    if (layout == LogLayout::Csv) {
        start.append(kCsvHeader);
        start.append(kTextLineEnd);
    }
    return start;
}

} // namespace korvant::log
