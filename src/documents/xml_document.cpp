#include "documents/xml_document.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

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

// A character XML 1.0 allows in a document.
bool xmlCharacter(uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// A character reference's number: "#123" or "#x7B"; nothing when it is not one.
std::optional<uint32_t> characterReference(std::string_view name) {
    if (name.size() < 2 || name.front() != '#') {
        return std::nullopt;
    }
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    uint32_t code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        digits.front() == '+' || digits.front() == '-') {
        return std::nullopt;
    }
    return code;
}

// Whether the reference `name` (what stands between "&" and ";") is one XML
// knows without a document type: the five predefined entities, or a character
// reference to a character a document may hold.
bool knownReference(std::string_view name) {
    for (const std::string_view predefined : {"lt", "gt", "amp", "quot", "apos"}) {
        if (name == predefined) {
            return true;
        }
    }
    const auto code = characterReference(name);
    return code && xmlCharacter(*code);
}

// The parser reads a reference it does not know as the text it is ("&nope;"
// becomes those six characters, so a cashier would be named "&nope;") and a
// reference to character 0 as the end of the value (an item's name cut short).
// XML calls both a fatal error, and so does a bare "&": every "&" outside
// comments, CDATA sections and processing instructions must begin a reference
// XML knows.
bool referencesWellFormed(std::string_view text) {
    constexpr std::pair<std::string_view, std::string_view> kVerbatim[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '<') {
            for (const auto& [open, close] : kVerbatim) {
                if (text.substr(at, open.size()) == open) {
                    const size_t end = text.find(close, at + open.size());
                    if (end == std::string_view::npos) {
                        return false;
                    }
                    at = end + close.size() - 1;
                    break;
                }
            }
            continue;
        }
        if (text[at] != '&') {
            continue;
        }
        const size_t end = text.find(';', at + 1);
        if (end == std::string_view::npos || !knownReference(text.substr(at + 1, end - at - 1))) {
            return false;
        }
        at = end;
    }
    return true;
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
    if (!referencesWellFormed(text) || !parseXml(document, text) ||
        document.RootElement() == nullptr) {
        document.Clear();
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
