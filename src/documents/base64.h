#pragma once
// Base64 as hosts send marking codes and binary barcode values: the standard
// alphabet or the URL-safe one ("-" and "_"), with "=" as the fill character at
// the end, wrapped into lines or not.

#include <string>
#include <string_view>

namespace korvant {

// Blanks, tabs and line breaks are skipped wherever they are; of the rest,
// groups of four characters are decoded up to the first "=", a final group of
// two or three characters giving one or two bytes; the fill characters may be
// left out. Succeeds when the bytes produced are exactly floor(6n/8) - p (n the
// number of characters not skipped, p the number of "=" at their end), so a "="
// before the end fails. A character outside both alphabets, or a final group of
// a single character (six bits, not a byte), fails as well. On failure `out` is
// empty.
bool decodeBase64(std::string_view text, std::string& out);

} // namespace korvant
