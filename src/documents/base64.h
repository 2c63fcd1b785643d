#pragma once
// Base64 as the host sends marking codes and binary barcode values: the standard
// alphabet with "=" as the fill character at the end.

#include <string>
#include <string_view>

namespace korvant {

// Decodes groups of four characters up to the first "=", a final group of two or
// three characters giving one or two bytes; the fill characters may be left out.
// Succeeds when the bytes produced are exactly floor(6n/8) - p (n the length of
// the text, p the number of "=" at its end), so a "=" before the end fails. A
// character outside the alphabet, or a final group of a single character (six
// bits, not a byte), fails as well. On failure `out` is empty.
bool decodeBase64(std::string_view text, std::string& out);

} // namespace korvant
