#include "config/ini_edit.h"

#include <optional>
#include <vector>

namespace korvant {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the text, without its line end.
struct Line {
    std::string_view content;
    std::string_view end; // "\n", "\r\n" or nothing for a last line without one
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const size_t feed = text.find('\n');
        if (feed == std::string_view::npos) {
            lines.push_back({text, {}});
            break;
        }
        const bool carriage = feed > 0 && text[feed - 1] == '\r';
        lines.push_back({text.substr(0, carriage ? feed - 1 : feed),
                         text.substr(carriage ? feed - 1 : feed, carriage ? 2 : 1)});
        text.remove_prefix(feed + 1);
    }
    return lines;
}

bool isComment(std::string_view content) {
    const std::string_view text = trimmed(content);
    return text.empty() || text.front() == ';' || text.front() == '#';
}

// The section a line opens, if it is a section line.
std::optional<std::string_view> sectionOf(std::string_view content) {
    const std::string_view text = trimmed(content);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    const size_t close = text.find(']');
    return trimmed(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
}

// The key a line sets, if it is a key line.
std::optional<std::string_view> keyOf(std::string_view content) {
    if (isComment(content) || sectionOf(content)) {
        return std::nullopt;
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return trimmed(content.substr(0, equals));
}

} // namespace

std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value, std::string_view lineEnd) {
    if (text.find("\r\n") != std::string_view::npos) {
        lineEnd = "\r\n";
    }
    const std::vector<Line> lines = linesOf(text);
    // Keys before the first section line belong to the section without a name.
    std::string_view current;
    bool inSection = section.empty();
    std::optional<size_t> keyLine;       // the line that holds the value
    std::optional<size_t> lastOfSection; // where a new key of the section goes after
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto opened = sectionOf(lines[i].content)) {
            current = *opened;
            inSection = sameName(current, section);
            if (inSection) {
                lastOfSection = i;
            }
            continue;
        }
        const auto lineKey = keyOf(lines[i].content);
        if (inSection && lineKey) {
            lastOfSection = i;
            if (sameName(*lineKey, key)) {
                keyLine = i;
            }
        }
    }

    std::string result;
    result.reserve(text.size() + key.size() + value.size() + section.size() + 16);
    const auto keyText = [&](std::string_view name) {
        return std::string(name) + " = " + std::string(value);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (keyLine && i == *keyLine) {
            const std::string_view content = line.content;
            const size_t indent = content.find_first_not_of(kBlanks);
            result += content.substr(0, indent);
            result += keyText(*keyOf(content));
        } else {
            result += line.content;
        }
        if (!keyLine && lastOfSection && i == *lastOfSection) {
            result += line.end.empty() ? lineEnd : line.end;
            result += keyText(key);
            result += lineEnd;
            continue;
        }
        result += line.end;
    }
    if (!keyLine && !lastOfSection) {
        // A new section, set off from what is above it by a blank line.
        if (!result.empty()) {
            if (lines.back().end.empty()) {
                result += lineEnd;
            }
            result += lineEnd;
        }
        if (!section.empty()) {
            result += "[" + std::string(section) + "]";
            result += lineEnd;
        }
        result += keyText(key);
        result += lineEnd;
    }
    return result;
}

} // namespace korvant
