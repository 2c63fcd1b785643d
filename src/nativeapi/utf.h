#pragma once
// UTF-8 <-> UTF-16 conversion used wherever host text (always UTF-16) meets the
// component's UTF-8 inside. Malformed input never throws: invalid UTF-8 bytes
// and unpaired surrogates become U+FFFD.

#include <string>
#include <string_view>

namespace korvant {

std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);

// The same text with every invalid UTF-8 sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view text);

} // namespace korvant
