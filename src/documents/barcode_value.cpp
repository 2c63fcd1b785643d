#include "documents/barcode_value.h"

#include "documents/base64.h"
#include "documents/xml_document.h"
#include "nativeapi/utf.h"

namespace korvant {

std::optional<std::string> barcodeValueOf(const tinyxml2::XMLElement& barcode) {
    if (hasAttribute(&barcode, "Value")) {
        return attributeText(&barcode, "Value");
    }
    if (!hasAttribute(&barcode, "ValueBase64")) {
        return std::nullopt;
    }
    std::string bytes;
    if (!decodeBase64(attributeText(&barcode, "ValueBase64"), bytes)) {
        return std::nullopt;
    }
    // Device requests are JSON texts, which hold characters, not raw bytes.
    return sanitizeUtf8(bytes);
}

} // namespace korvant
