#pragma once
// A light reading of the XML documents a component hands back (descriptions, parameter
// documents, registration tables), and the one change a host makes to such a document before
// handing it back: setting attributes on its root element.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvant::host {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;

    // The attribute's value; empty text when the element has no such attribute.
    std::string attribute(const std::string& attributeName) const;
};

// Every element named `name`, in document order; none when the text is not XML.
std::vector<XmlElement> xmlElementsNamed(std::string_view xml, std::string_view name);

// The first element named `name`; an element without a name or attributes when there is none.
XmlElement firstXmlElement(std::string_view xml, std::string_view name);

// The document with each attribute set on its root element (a value replaced in place, a new
// attribute appended), printed compactly; the text unchanged when it is not XML.
std::string withRootAttributes(std::string_view xml,
                               const std::vector<std::pair<std::string, std::string>>& attributes);

} // namespace korvant::host
