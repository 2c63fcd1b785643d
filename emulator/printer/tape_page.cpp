#include "printer/tape_page.h"

#include "printer/code_svg.h"
#include "printer/text_format.h"

#include <filesystem>

namespace korvant3emu {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>Лента ККТ</title>
<style>
body{margin:0;padding:24px 0;background:#e3e3e3;color:#111}
.receipt,.cut{margin:0 auto;padding:0 18px;font:13px/1.3 "DejaVu Sans Mono","Liberation Mono","Courier New",monospace}
.receipt{padding-top:14px;padding-bottom:14px;background:#fff;box-shadow:0 1px 3px rgba(0,0,0,.3)}
.receipt pre{margin:0;font:inherit;white-space:pre}
.code{margin:6px 0;text-align:center}
.code svg{display:inline-block;vertical-align:top}
.unprintable{font-style:italic;color:#a00}
.cut{height:0;margin-top:18px;margin-bottom:18px;border:0;border-top:2px dashed #8a8a8a}
</style>
</head>
<body>
)";

const char* codeName(CodeType type) {
    switch (type) {
    case CodeType::ean8:
        return "EAN-8";
    case CodeType::ean13:
        return "EAN-13";
    case CodeType::code39:
        return "CODE39";
    case CodeType::qr:
        break;
    }
    return "QR";
}

// Text as HTML content: markup characters escaped, and control characters, which HTML does
// not allow, shown as U+FFFD.
std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F) {
                out += "\xEF\xBF\xBD";
            } else {
                out += c;
            }
        }
    }
    return out;
}

void appendLines(std::string& block, const Layout& document, size_t from, size_t to) {
    if (from >= to) {
        return;
    }
    block += "<pre>";
    for (size_t line = from; line < to; ++line) {
        block += escaped(document.lines()[line]);
        block += line + 1 < to ? "\n" : "";
    }
    block += "</pre>\n";
}

void appendCode(std::string& block, const PrintedCode& code) {
    if (const auto image = codeSvg(code.type, code.value)) {
        block += "<div class=\"code\">" + *image + "</div>\n";
    } else {
        block += "<div class=\"code unprintable\">(не печатается как " +
                 std::string(codeName(code.type)) + ")</div>\n";
    }
}

// One document: its lines in blocks of preformatted text with the codes between them, then
// the cut of the paper.
std::string documentBlock(const Layout& document) {
    const std::string width = "width:" + decimal(int64_t(document.width())) + "ch";
    std::string block = "<section class=\"receipt\" style=\"" + width + "\">\n";
    size_t line = 0;
    for (const PrintedCode& code : document.codes()) {
        appendLines(block, document, line, code.line);
        appendCode(block, code);
        line = code.line;
    }
    appendLines(block, document, line, document.lines().size());
    block += "</section>\n<hr class=\"cut\" style=\"" + width + "\">\n";
    return block;
}

} // namespace

std::string pagePathBeside(const std::string& tapePath) {
    if (tapePath.empty()) {
        return {};
    }
    std::filesystem::path page(std::u8string(tapePath.begin(), tapePath.end()));
    page.replace_extension(".html");
    std::u8string text = page.u8string();
    if (text == std::u8string(tapePath.begin(), tapePath.end())) {
        text += u8".html";
    }
    return std::string(text.begin(), text.end());
}

std::string pageText(const std::vector<Layout>& documents, bool newPage) {
    std::string text = newPage ? std::string(kHead) : std::string();
    for (const Layout& document : documents) {
        text += documentBlock(document);
    }
    return text;
}

} // namespace korvant3emu
