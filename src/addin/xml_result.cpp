#include "addin/xml_result.h"

#include <tinyxml2.h>

#include "documents/xml_document.h"

namespace korvant {

XmlElement& XmlElement::set(std::string_view name, std::string_view value) {
    setAttributeText(*element_, name, value);
    return *this;
}

XmlElement XmlElement::append(std::string_view name) {
    auto* child = element_->GetDocument()->NewElement(std::string(name).c_str());
    element_->InsertEndChild(child);
    return XmlElement(child);
}

XmlDocument::XmlDocument(std::string_view templateText)
    : document_(std::make_unique<tinyxml2::XMLDocument>()) {
    parseXml(*document_, templateText);
}

XmlDocument::~XmlDocument() = default;

XmlElement XmlDocument::root() {
    return XmlElement(document_->RootElement());
}

std::string XmlDocument::text() const {
    return DocumentToText(*document_);
}

std::string printTemplate(std::string_view xml) {
    return XmlDocument(xml).text();
}

} // namespace korvant
