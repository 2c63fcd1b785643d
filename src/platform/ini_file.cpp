#include "platform/ini_file.h"

#include <algorithm>
#include <cstring>

#include "nativeapi/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvant {

#ifdef _WIN32

IniText iniTextFromUtf8(std::string_view utf8) {
    const std::u16string wide = utf8ToUtf16(utf8);
    return IniText(wide.begin(), wide.end());
}

std::string iniTextToUtf8(const IniChar* text) {
    const std::wstring_view wide(text);
    return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string iniAnsiFromUtf8(std::string_view utf8) {
    const IniText wide = iniTextFromUtf8(utf8);
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                        nullptr, nullptr);
    return ansi;
}

#else

size_t Utf8IniConverter::SizeFromStore(const char* data, size_t length) {
    return utf8ToUtf16(std::string_view(data, length)).size();
}

bool Utf8IniConverter::ConvertFromStore(const char* data, size_t length, char16_t* output,
                                        size_t outputSize) {
    const std::u16string text = utf8ToUtf16(std::string_view(data, length));
    if (text.size() > outputSize) {
        return false;
    }
    std::copy(text.begin(), text.end(), output);
    return true;
}

size_t Utf8IniConverter::SizeToStore(const char16_t* text) {
    return utf16ToUtf8(text).size() + 1;
}

bool Utf8IniConverter::ConvertToStore(const char16_t* text, char* output, size_t outputSize) {
    const std::string bytes = utf16ToUtf8(text);
    if (bytes.size() + 1 > outputSize) {
        return false;
    }
    std::memcpy(output, bytes.c_str(), bytes.size() + 1);
    return true;
}

IniText iniTextFromUtf8(std::string_view utf8) {
    return utf8ToUtf16(utf8);
}

std::string iniTextToUtf8(const IniChar* text) {
    return utf16ToUtf8(text);
}

std::string iniAnsiFromUtf8(std::string_view utf8) {
    return std::string(utf8);
}

#endif

} // namespace korvant
