#include "printer/layout.h"

#include <algorithm>

namespace korvant3emu {
namespace {

bool continuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Bytes of the first `count` characters of the text.
size_t prefixBytes(std::string_view text, size_t count) {
    size_t bytes = 0;
    for (size_t seen = 0; bytes < text.size(); ++bytes) {
        if (!continuationByte(text[bytes]) && seen++ == count) {
            break;
        }
    }
    return bytes;
}

// A paragraph is printed as it was sent, its runs of spaces included; only a
// line longer than the width is broken, at the last run of spaces that leaves
// the line within the width (the run itself goes with the break), or between
// characters when a word alone is longer than a line. Linear in the paragraph's
// length: every word and run is measured once, and a word too long for a line is
// cut into lines from its front without being measured again.
void wrapParagraph(std::string_view paragraph, size_t width, std::vector<std::string>& out) {
    std::string current;
    size_t currentWidth = 0;
    auto flush = [&] {
        out.push_back(current);
        current.clear();
        currentWidth = 0;
    };
    // A run of spaces waiting for the word after it: printed between the two
    // when both fit, dropped where the line breaks.
    std::string_view gap;
    size_t gapWidth = 0;
    bool leading = true; // spaces before the first word are the text's own
    size_t start = 0;
    while (start < paragraph.size()) {
        const bool isGap = paragraph[start] == ' ';
        size_t end = isGap ? paragraph.find_first_not_of(' ', start) : paragraph.find(' ', start);
        if (end == std::string_view::npos) {
            end = paragraph.size();
        }
        std::string_view run = paragraph.substr(start, end - start);
        start = end;
        if (isGap && !leading) {
            gap = run;
            gapWidth = run.size();
            continue;
        }
        leading = false;
        size_t runWidth = codePoints(run);
        if (currentWidth > 0 && currentWidth + gapWidth + runWidth <= width) {
            current += gap;
            currentWidth += gapWidth;
        } else if (currentWidth > 0) {
            flush();
        }
        gap = {};
        gapWidth = 0;
        while (currentWidth + runWidth > width) {
            if (currentWidth > 0) {
                flush();
                continue;
            }
            const size_t cut = prefixBytes(run, width);
            out.emplace_back(run.substr(0, cut));
            run.remove_prefix(cut);
            runWidth -= width;
        }
        current += run;
        currentWidth += runWidth;
    }
    // Spaces at the end of the text stay as well, as far as the line has room.
    if (gapWidth > 0 && currentWidth + gapWidth <= width) {
        current += gap;
        currentWidth += gapWidth;
    }
    if (currentWidth > 0 || out.empty()) {
        flush();
    }
}

std::string spaces(size_t count) {
    return std::string(count, ' ');
}

} // namespace

size_t codePoints(std::string_view text) {
    size_t count = 0;
    for (char c : text) {
        count += continuationByte(c) ? 0 : 1;
    }
    return count;
}

std::vector<std::string> wrap(std::string_view text, size_t width) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string_view paragraph =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        // Leading spaces indent every line of the paragraph, as long as a
        // reasonable width remains for the text.
        const size_t first = paragraph.find_first_not_of(' ');
        const size_t indent = first == std::string_view::npos ? 0 : std::min(first, width / 2);
        paragraph.remove_prefix(std::min(indent, paragraph.size()));
        std::vector<std::string> pieces;
        wrapParagraph(paragraph, width - indent, pieces);
        for (auto& piece : pieces) {
            lines.push_back(std::string(indent, ' ') + piece);
        }
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

void Layout::line(std::string_view text) {
    for (auto& piece : wrap(text, width_)) {
        lines_.push_back(std::move(piece));
    }
}

void Layout::center(std::string_view text) {
    for (auto& piece : wrap(text, width_)) {
        lines_.push_back(spaces((width_ - codePoints(piece)) / 2) + piece);
    }
}

void Layout::rightAligned(std::string_view text) {
    for (auto& piece : wrap(text, width_)) {
        lines_.push_back(spaces(width_ - codePoints(piece)) + piece);
    }
}

void Layout::pair(std::string_view left, std::string_view right) {
    const size_t rightWidth = codePoints(right);
    auto pieces = wrap(left, width_);
    std::string& last = pieces.back();
    const size_t lastWidth = codePoints(last);
    if (lastWidth + 1 + rightWidth <= width_) {
        last += spaces(width_ - lastWidth - rightWidth) + std::string(right);
        lines_.insert(lines_.end(), pieces.begin(), pieces.end());
        return;
    }
    lines_.insert(lines_.end(), pieces.begin(), pieces.end());
    rightAligned(right);
}

void Layout::rule(char filler) {
    lines_.emplace_back(width_, filler);
}

void Layout::code(std::string_view caption, CodeType type, std::string value) {
    line(caption);
    codes_.push_back({lines_.size(), type, std::move(value)});
}

void Layout::append(const Layout& other) {
    for (PrintedCode code : other.codes_) {
        code.line += lines_.size();
        codes_.push_back(std::move(code));
    }
    lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
}

std::string Layout::text() const {
    std::string joined;
    for (const auto& line : lines_) {
        joined += line;
        joined += '\n';
    }
    return joined;
}

} // namespace korvant3emu
