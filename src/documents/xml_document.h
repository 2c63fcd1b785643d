#pragma once
// Parsing, walking and printing the host's XML documents. Every document is
// parsed with the parser's defaults (entities decoded, white space kept) and
// printed compactly; element and attribute names match exactly.

#include <string>
#include <string_view>

#include <tinyxml2.h>

namespace korvant {

// Parses UTF-8 text into `document`; false when it is not well-formed XML (the
// document is then empty: it has no root element).
bool parseXml(tinyxml2::XMLDocument& document, std::string_view text);

// Parses a document the host passed: true when the text is a well-formed
// document with a root element, or when there is no text at all (only white
// space), which means no document and leaves every value at its default. Text
// that is anything else (truncated, not XML) gives false: acting on what could
// be read of it would send the register half of what the host meant.
bool parseHostDocument(tinyxml2::XMLDocument& document, std::string_view text);

// The whole document printed compactly (no line breaks, no indentation), the
// declaration kept, as UTF-8 without a byte-order mark.
std::string DocumentToText(const tinyxml2::XMLDocument& document);

// The first child element of `parent` with exactly this name; null when there is
// none or `parent` is null.
const tinyxml2::XMLElement* firstChildNamed(const tinyxml2::XMLElement* parent,
                                            std::string_view name);

// The value of an attribute as valid UTF-8 (a numeric character reference to a
// surrogate would otherwise leave malformed bytes); empty when the attribute or
// the element is missing.
std::string attributeText(const tinyxml2::XMLElement* element, std::string_view name);
bool hasAttribute(const tinyxml2::XMLElement* element, std::string_view name);
bool hasAnyAttribute(const tinyxml2::XMLElement* element);

// Sets an attribute so that the printed document stays well-formed whatever the
// value holds: invalid UTF-8 and the control characters XML forbids become
// U+FFFD. Names are the system's own constants.
void setAttributeText(tinyxml2::XMLElement& element, std::string_view name, std::string_view value);

} // namespace korvant
