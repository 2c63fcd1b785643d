#include "registration/registration_table.h"

#include <nlohmann/json.hpp>
#include <tinyxml2.h>

namespace korvant::testing {

std::string registrationTable(const Attributes& attributes) {
    tinyxml2::XMLDocument document;
    document.InsertEndChild(document.NewDeclaration());
    tinyxml2::XMLElement* root = document.NewElement("Parameters");
    document.InsertEndChild(root);
    for (const auto& [name, value] : attributes) {
        root->SetAttribute(name.c_str(), value.c_str());
    }
    tinyxml2::XMLPrinter printer(nullptr, true);
    document.Print(&printer);
    return printer.CStr();
}

std::string answerRule(std::string_view function, const std::string& answer) {
    return nlohmann::json{{"function", function}, {"call", 1}, {"answer", answer}}.dump();
}

} // namespace korvant::testing
