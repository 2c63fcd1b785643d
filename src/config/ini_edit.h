#pragma once
// Setting one value in the text of an INI file while touching nothing else: the
// user's comments (wherever they are, at the end of the file too), blank lines,
// other sections and keys, duplicates and line ends all stay as they were. The
// file is read by the INI library; this is only how it is written back.

#include <string>
#include <string_view>

namespace korvant {

// `text` with `key` of `section` set to `value`, names matched in any letter
// case (ASCII) as the reader matches them. The line that holds the key's value
// (the last one, where a later duplicate replaces an earlier one) becomes
// "key = value"; a missing key is added after the last key of its section, and
// a missing section is added at the end. New lines end with `lineEnd` unless
// the text already uses "\r\n".
std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value, std::string_view lineEnd);

} // namespace korvant
