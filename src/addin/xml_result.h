#pragma once
// A small builder for the XML documents the component hands back: a parsed
// template, elements appended and attributes set in order, printed compactly.

#include <memory>
#include <string>
#include <string_view>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

namespace korvant {

class XmlElement {
public:
    explicit XmlElement(tinyxml2::XMLElement* element) : element_(element) {}

    // Sets an attribute; a new one goes after the existing ones, an existing one
    // keeps its place. Invalid UTF-8 in the value is replaced.
    XmlElement& set(std::string_view name, std::string_view value);
    XmlElement append(std::string_view name);
    tinyxml2::XMLElement* get() const { return element_; }

private:
    tinyxml2::XMLElement* element_;
};

class XmlDocument {
public:
    explicit XmlDocument(std::string_view templateText);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    XmlElement root();
    std::string text() const;
    tinyxml2::XMLDocument& get() { return *document_; }

private:
    std::unique_ptr<tinyxml2::XMLDocument> document_;
};

// Parses an XML template and prints it back compactly.
std::string printTemplate(std::string_view xml);

} // namespace korvant
