#pragma once
// Lines of a printed document laid out at the register's line width. Width is
// counted in characters (UTF-8 code points), never in bytes, and a long text is
// wrapped at spaces, or cut between characters when a word is too long.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvant3emu {

size_t codePoints(std::string_view text);

// The codes a register prints as images, numbered as its text types are.
enum class CodeType : int64_t { ean8 = 2, ean13 = 3, code39 = 4, qr = 5 };

// A code printed below a line of the document: `line` lines come before it.
struct PrintedCode {
    size_t line = 0;
    CodeType type = CodeType::qr;
    std::string value;
};

// The text broken into lines of at most width characters; a line feed in the
// text always starts a new line.
std::vector<std::string> wrap(std::string_view text, size_t width);

class Layout {
public:
    explicit Layout(size_t width) : width_(width) {}
    // A document laid out before (kept in the state file until it is on paper).
    Layout(size_t width, std::vector<std::string> lines, std::vector<PrintedCode> codes)
        : width_(width), lines_(std::move(lines)), codes_(std::move(codes)) {}

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
    // A code: its caption as a line, the image of its value below it.
    void code(std::string_view caption, CodeType type, std::string value);
    // The other document's lines and codes after these.
    void append(const Layout& other);

    const std::vector<std::string>& lines() const { return lines_; }
    const std::vector<PrintedCode>& codes() const { return codes_; }
    // The lines, each ended by a line feed.
    std::string text() const;

private:
    void rightAligned(std::string_view text);

    size_t width_;
    std::vector<std::string> lines_;
    std::vector<PrintedCode> codes_;
};

} // namespace korvant3emu
