#pragma once
// Lines of a printed document laid out at the register's line width. Width is
// counted in characters (UTF-8 code points), never in bytes, and a long text is
// wrapped at spaces, or cut between characters when a word is too long.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvant3emu {

size_t codePoints(std::string_view text);

// The text broken into lines of at most width characters; a line feed in the
// text always starts a new line.
std::vector<std::string> wrap(std::string_view text, size_t width);

class Layout {
public:
    explicit Layout(size_t width) : width_(width) {}

    size_t width() const { return width_; }

    // Left-aligned, wrapped.
    void line(std::string_view text);
    // Each wrapped piece centred.
    void center(std::string_view text);
    // A label on the left and a value on the right of the same line; when they
    // do not fit together the value goes right-aligned below the label.
    void pair(std::string_view left, std::string_view right);
    // A line of one repeated character.
    void rule(char filler = '-');

    // The lines, each ended by a line feed.
    std::string text() const;

private:
    void rightAligned(std::string_view text);

    size_t width_;
    std::vector<std::string> lines_;
};

} // namespace korvant3emu
