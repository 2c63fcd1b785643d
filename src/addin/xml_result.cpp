#include "addin/xml_result.h"

#include <tinyxml2.h>

#include "nativeapi/utf.h"

namespace korvant {

XmlElement& XmlElement::set(std::string_view name, std::string_view value) {
    element_->SetAttribute(std::string(name).c_str(), sanitizeUtf8(value).c_str());
    return *this;
}

XmlElement XmlElement::append(std::string_view name) {
    auto* child = element_->GetDocument()->NewElement(std::string(name).c_str());
    element_->InsertEndChild(child);
    return XmlElement(child);
}

XmlDocument::XmlDocument(std::string_view templateText)
    : document_(std::make_unique<tinyxml2::XMLDocument>()) {
    document_->Parse(templateText.data(), templateText.size());
}

XmlDocument::~XmlDocument() = default;

XmlElement XmlDocument::root() {
    return XmlElement(document_->RootElement());
}

std::string XmlDocument::text() const {
    tinyxml2::XMLPrinter printer(nullptr, true);
    document_->Print(&printer);
    return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
}

std::string printTemplate(std::string_view xml) {
    return XmlDocument(xml).text();
}

} // namespace korvant
