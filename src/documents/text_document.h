#pragma once
// The non-fiscal text document PrintTextDocument prints: text lines and
// barcodes in document order.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvant {

// The device's text types.
enum class TextItemKind : int32_t {
    Text = 1,
    Ean8 = 2,
    Ean13 = 3,
    Code39 = 4,
    Qr = 5,
};

struct TextItem {
    TextItemKind kind = TextItemKind::Text;
    std::string text; // the line, or the barcode's value
};

struct TextDocument {
    TextDocument() = default;
    // Reads the children of the root's first direct child "Positions". Element
    // names and barcode types match on their leading characters: an element
    // beginning "TextString" is a line ("Text"), one beginning "Barcode" a
    // barcode ("Type" beginning EAN8, EAN13, CODE39 or QR, and "Value" or else
    // the decoded "ValueBase64"). Items without their values are skipped. Text
    // that is not XML gives no items and is not well-formed.
    explicit TextDocument(std::string_view text);

    std::vector<TextItem> items;
    // False when the text was not a well-formed document (see parseHostDocument).
    bool wellFormed = true;
};

} // namespace korvant
