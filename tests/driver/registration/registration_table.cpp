#include "driver/registration/registration_table.h"

#include <nlohmann/json.hpp>
#include <tinyxml2.h>

namespace korvant::testing {

namespace {

std::string setAndPrint(tinyxml2::XMLDocument& document, const Attributes& changes) {
    tinyxml2::XMLElement* root = document.RootElement();
    for (const auto& [name, value] : changes) {
        root->SetAttribute(name.c_str(), value.c_str());
    }
    tinyxml2::XMLPrinter printer(nullptr, true);
    document.Print(&printer);
    return printer.CStr();
}

} // namespace

std::string registrationTable(const Attributes& attributes) {
    tinyxml2::XMLDocument document;
    document.InsertEndChild(document.NewDeclaration());
    document.InsertEndChild(document.NewElement("Parameters"));
    return setAndPrint(document, attributes);
}

std::string withAttributes(const std::string& table, const Attributes& changes) {
    tinyxml2::XMLDocument document;
    if (document.Parse(table.data(), table.size()) != tinyxml2::XML_SUCCESS ||
        document.RootElement() == nullptr) {
        return {};
    }
    return setAndPrint(document, changes);
}

std::string answerRule(std::string_view function, const std::string& answer) {
    return nlohmann::json{{"function", function}, {"call", 1}, {"answer", answer}}.dump();
}

} // namespace korvant::testing
