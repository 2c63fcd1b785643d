#include "host/demo/xml_elements.h"

#include <tinyxml2.h>

namespace korvant::host {
namespace {

XmlElement elementOf(const tinyxml2::XMLElement& element) {
    XmlElement read{element.Name(), {}};
    for (const auto* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        read.attributes[attribute->Name()] = attribute->Value();
    }
    return read;
}

// Depth first, so the elements come in the order their start tags have in the text.
void collect(const tinyxml2::XMLElement* element, std::string_view name,
             std::vector<XmlElement>& found) {
    for (; element != nullptr; element = element->NextSiblingElement()) {
        if (name == element->Name()) {
            found.push_back(elementOf(*element));
        }
        collect(element->FirstChildElement(), name, found);
    }
}

} // namespace

std::string XmlElement::attribute(const std::string& attributeName) const {
    const auto found = attributes.find(attributeName);
    return found == attributes.end() ? std::string() : found->second;
}

std::vector<XmlElement> xmlElementsNamed(std::string_view xml, std::string_view name) {
    std::vector<XmlElement> found;
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) == tinyxml2::XML_SUCCESS) {
        collect(document.RootElement(), name, found);
    }
    return found;
}

XmlElement firstXmlElement(std::string_view xml, std::string_view name) {
    auto found = xmlElementsNamed(xml, name);
    return found.empty() ? XmlElement{} : std::move(found.front());
}

std::string withRootAttributes(std::string_view xml,
                               const std::vector<std::pair<std::string, std::string>>& attributes) {
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS ||
        document.RootElement() == nullptr) {
        return std::string(xml);
    }
    for (const auto& [name, value] : attributes) {
        document.RootElement()->SetAttribute(name.c_str(), value.c_str());
    }
    tinyxml2::XMLPrinter printer(nullptr, true);
    document.Print(&printer);
    return printer.CStr();
}

} // namespace korvant::host
