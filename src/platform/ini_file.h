#pragma once
// The SimpleIni document type of the platform and the conversions between its
// text and UTF-8. Windows uses the library's own Win32 conversion (the file is
// in the ANSI code page unless it starts with the UTF-8 byte order mark). POSIX
// files are UTF-8; Debian ships SimpleIni without its generic converter, so the
// storage converter below is ours.

#include <SimpleIni.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace korvant {

#ifdef _WIN32

using IniChar = wchar_t;
using IniFile = CSimpleIniW;
inline constexpr bool kIniStoreIsUtf8 = false;

#else

// The converter interface SimpleIni expects of its third template argument:
// sizes include the terminating zero on the way to the store and exclude it on
// the way from it. Malformed UTF-8 and unpaired surrogates become U+FFFD, so
// conversion never fails for want of valid input.
class Utf8IniConverter {
protected:
    Utf8IniConverter() = default;

public:
    explicit Utf8IniConverter(bool /*storeIsUtf8*/) {}

    size_t SizeFromStore(const char* data, size_t length);
    bool ConvertFromStore(const char* data, size_t length, char16_t* output, size_t outputSize);
    size_t SizeToStore(const char16_t* text);
    bool ConvertToStore(const char16_t* text, char* output, size_t outputSize);
};

using IniChar = char16_t;
using IniFile = CSimpleIniTempl<char16_t, SI_NoCase<char16_t>, Utf8IniConverter>;
inline constexpr bool kIniStoreIsUtf8 = true;

#endif

using IniText = std::basic_string<IniChar>;

IniText iniTextFromUtf8(std::string_view utf8);
std::string iniTextToUtf8(const IniChar* text);

// UTF-8 text in the system's ANSI code page, as a Windows INI file without the
// UTF-8 byte order mark holds it (characters it lacks become '?'). Elsewhere
// files are UTF-8 and the text comes back as it is.
std::string iniAnsiFromUtf8(std::string_view utf8);

} // namespace korvant
