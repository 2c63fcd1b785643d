#include "documents/xml_document.h"

#include "nativeapi/utf.h"

namespace korvant {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// XML 1.0 allows no C0 control character but tab, line feed and carriage return,
// not even as a character reference; a host parser would refuse the whole text.
bool forbiddenInXml(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

std::string xmlSafeText(std::string_view value) {
    std::string text = sanitizeUtf8(value);
    std::string safe;
    safe.reserve(text.size());
    for (const char c : text) {
        if (forbiddenInXml(c)) {
            safe.append(kReplacementCharacter);
        } else {
            safe.push_back(c);
        }
    }
    return safe;
}

} // namespace

bool parseXml(tinyxml2::XMLDocument& document, std::string_view text) {
    return document.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
}

bool parseHostDocument(tinyxml2::XMLDocument& document, std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        document.Clear();
        return true;
    }
    if (!parseXml(document, text) || document.RootElement() == nullptr) {
        return false;
    }
    // The parser is lenient about what XML forbids around the root: a second
    // root element, or text beside it, as a document glued to a torn one has.
    for (const auto* node = document.FirstChild(); node != nullptr; node = node->NextSibling()) {
        const bool extraElement = node->ToElement() != nullptr && node != document.RootElement();
        const auto* text = node->ToText();
        const bool strayText =
            text != nullptr &&
            std::string_view(text->Value()).find_first_not_of(" \t\r\n") != std::string_view::npos;
        if (extraElement || strayText) {
            document.Clear();
            return false;
        }
    }
    return true;
}

std::string DocumentToText(const tinyxml2::XMLDocument& document) {
    tinyxml2::XMLPrinter printer(nullptr, /*compact=*/true);
    document.Print(&printer);
    std::string_view text(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
    // The printer repeats a byte-order mark the parsed text had; results carry none.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return std::string(text);
}

const tinyxml2::XMLElement* firstChildNamed(const tinyxml2::XMLElement* parent,
                                            std::string_view name) {
    return parent == nullptr ? nullptr : parent->FirstChildElement(std::string(name).c_str());
}

std::string attributeText(const tinyxml2::XMLElement* element, std::string_view name) {
    const char* value =
        element == nullptr ? nullptr : element->Attribute(std::string(name).c_str());
    return value == nullptr ? std::string() : sanitizeUtf8(value);
}

bool hasAttribute(const tinyxml2::XMLElement* element, std::string_view name) {
    return element != nullptr && element->FindAttribute(std::string(name).c_str()) != nullptr;
}

bool hasAnyAttribute(const tinyxml2::XMLElement* element) {
    return element != nullptr && element->FirstAttribute() != nullptr;
}

void setAttributeText(tinyxml2::XMLElement& element, std::string_view name,
                      std::string_view value) {
    element.SetAttribute(std::string(name).c_str(), xmlSafeText(value).c_str());
}

} // namespace korvant
