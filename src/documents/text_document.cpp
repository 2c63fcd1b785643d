#include "documents/text_document.h"

#include "documents/barcode_value.h"
#include "documents/xml_document.h"

#include <array>
#include <optional>
#include <utility>

namespace korvant {
namespace {

std::optional<TextItemKind> barcodeKindOf(std::string_view type) {
    // Tested in this order; "EAN13" does not begin with "EAN8", so none hides another.
    static constexpr std::array<std::pair<std::string_view, TextItemKind>, 4> kTypes{{
        {"EAN8", TextItemKind::Ean8},
        {"EAN13", TextItemKind::Ean13},
        {"CODE39", TextItemKind::Code39},
        {"QR", TextItemKind::Qr},
    }};
    for (const auto& [prefix, kind] : kTypes) {
        if (type.starts_with(prefix)) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<TextItem> readTextItem(const tinyxml2::XMLElement& element) {
    if (!hasAttribute(&element, "Text")) {
        return std::nullopt;
    }
    return TextItem{TextItemKind::Text, attributeText(&element, "Text")};
}

std::optional<TextItem> readBarcode(const tinyxml2::XMLElement& element) {
    if (!hasAttribute(&element, "Type")) {
        return std::nullopt;
    }
    const auto kind = barcodeKindOf(attributeText(&element, "Type"));
    auto value = barcodeValueOf(element);
    if (!kind || !value) {
        return std::nullopt;
    }
    return TextItem{*kind, std::move(*value)};
}

} // namespace

TextDocument::TextDocument(std::string_view text) {
    tinyxml2::XMLDocument document;
    wellFormed = parseHostDocument(document, text);
    const auto* positions = firstChildNamed(document.RootElement(), "Positions");
    if (positions == nullptr) {
        return;
    }
    for (const auto* child = positions->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const std::string_view name = child->Name();
        std::optional<TextItem> item;
        if (name.starts_with("TextString")) {
            item = readTextItem(*child);
        } else if (name.starts_with("Barcode")) {
            item = readBarcode(*child);
        }
        if (item) {
            items.push_back(std::move(*item));
        }
    }
}

} // namespace korvant
