#pragma once
// The value a Barcode element of a host document carries.

#include <optional>
#include <string>

#include <tinyxml2.h>

namespace korvant {

// "Value" when present (it wins when both are given); otherwise the bytes that
// "ValueBase64" decodes to, as valid UTF-8. nullopt when neither attribute is
// present or "ValueBase64" does not decode.
std::optional<std::string> barcodeValueOf(const tinyxml2::XMLElement& barcode);

} // namespace korvant
