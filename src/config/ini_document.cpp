#include "config/ini_document.h"

#include <optional>

#include "config/ini_edit.h"
#include "nativeapi/utf.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"

namespace korvant {

// How the loaded file was written, so that saving writes it the same way. Outside the anonymous
// namespace because IniDocument::Impl, which has external linkage, holds one.
enum class IniFileEncoding { Plain, Utf8WithMark, Utf16Le, Utf16Be };

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";

IniFileEncoding encodingOf(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        return IniFileEncoding::Utf8WithMark;
    }
    if (bytes.starts_with(kUtf16LeByteOrderMark)) {
        return IniFileEncoding::Utf16Le;
    }
    if (bytes.starts_with(kUtf16BeByteOrderMark)) {
        return IniFileEncoding::Utf16Be;
    }
    return IniFileEncoding::Plain;
}

// UTF-16 bytes after the byte order mark as UTF-8; nothing for an odd count.
std::optional<std::string> utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return utf16ToUtf8(text);
}

std::string utf8ToUtf16Bytes(std::string_view text, bool bigEndian) {
    const std::u16string wide = utf8ToUtf16(text);
    std::string bytes(bigEndian ? kUtf16BeByteOrderMark : kUtf16LeByteOrderMark);
    for (const char16_t unit : wide) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// The file's text as the INI parser takes it (UTF-8 text is given the byte
// order mark, so that every platform reads it as UTF-8), or the reason why it
// is no text the parser can take.
std::optional<std::string> parserText(std::string_view bytes, IniFileEncoding encoding,
                                      std::string& problem) {
    switch (encoding) {
    case IniFileEncoding::Utf16Le:
    case IniFileEncoding::Utf16Be: {
        auto text = utf16BytesToUtf8(bytes.substr(kUtf16LeByteOrderMark.size()),
                                     encoding == IniFileEncoding::Utf16Be);
        if (!text) {
            problem = "it is UTF-16 text cut in the middle of a character";
            return std::nullopt;
        }
        return std::string(kUtf8ByteOrderMark) + *text;
    }
    case IniFileEncoding::Utf8WithMark:
    case IniFileEncoding::Plain:
        break;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        problem = "it holds NUL bytes (UTF-16 without a byte order mark?)";
        return std::nullopt;
    }
    // On Windows a file without the mark is in the ANSI code page, where every
    // byte is a character; elsewhere, and with the mark, it must be UTF-8.
    const bool utf8 = kIniStoreIsUtf8 || encoding == IniFileEncoding::Utf8WithMark;
    if (utf8 && sanitizeUtf8(bytes) != bytes) {
        problem = "it is not UTF-8 text";
        return std::nullopt;
    }
    return std::string(bytes);
}

} // namespace

struct IniDocument::Impl {
    IniFile file;
    IniFileEncoding encoding = IniFileEncoding::Plain;
    // The file's text without its byte order mark, in its own encoding (UTF-8
    // for UTF-16 files); values are set in it line by line, so that saving
    // writes back exactly what was loaded but for them.
    std::string text;

    // Whether the text is UTF-8 (everywhere but in a Windows ANSI file).
    bool textIsUtf8() const { return kIniStoreIsUtf8 || encoding != IniFileEncoding::Plain; }

    Impl() : file(kIniStoreIsUtf8, /*multiKey*/ false, /*multiLine*/ false) {
        file.SetSpaces(true);
    }
};

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

bool IniDocument::load(std::string_view fileBytes, std::string* problem) {
    // A fresh object, because SimpleIni fixes the text encoding at the first load.
    impl_ = std::make_unique<Impl>();
    const IniFileEncoding encoding = encodingOf(fileBytes);
    std::string why;
    const auto text = parserText(fileBytes, encoding, why);
    if (text && impl_->file.LoadData(text->data(), text->size()) < 0) {
        why = "it cannot be parsed as INI text";
    }
    if (!why.empty()) {
        impl_ = std::make_unique<Impl>();
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    }
    impl_->encoding = encoding;
    impl_->text = text->substr(encoding == IniFileEncoding::Plain ? 0 : kUtf8ByteOrderMark.size());
    return true;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const IniChar* text =
        impl_->file.GetValue(iniTextFromUtf8(section).c_str(), iniTextFromUtf8(key).c_str());
    if (text == nullptr) {
        return std::nullopt;
    }
    return iniTextToUtf8(text);
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    impl_->file.SetValue(iniTextFromUtf8(section).c_str(), iniTextFromUtf8(key).c_str(),
                         iniTextFromUtf8(value).c_str(), nullptr, /*forceReplace*/ true);
    impl_->text = withIniValue(impl_->text, section, key,
                               impl_->textIsUtf8() ? std::string(value) : iniAnsiFromUtf8(value),
                               kTextLineEnd);
}

std::string IniDocument::save() const {
    switch (impl_->encoding) {
    case IniFileEncoding::Utf16Le:
    case IniFileEncoding::Utf16Be:
        return utf8ToUtf16Bytes(impl_->text, impl_->encoding == IniFileEncoding::Utf16Be);
    case IniFileEncoding::Utf8WithMark:
        return std::string(kUtf8ByteOrderMark) + impl_->text;
    case IniFileEncoding::Plain:
        break;
    }
    return impl_->text;
}

bool iniBoolean(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    switch (text[0]) {
    case '1':
    case 't':
    case 'T':
    case 'y':
    case 'Y':
        return true;
    case 'o':
    case 'O':
        return text.size() >= 2 && (text[1] == 'n' || text[1] == 'N');
    default:
        return false;
    }
}

} // namespace korvant
