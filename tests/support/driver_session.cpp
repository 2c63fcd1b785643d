#include "support/driver_session.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

namespace korvant::testing {

DriverSession::DriverSession(const std::string& emulatorConfig) {
    host::HostOptions options;
    options.addin = KORVANT_ADDIN_PATH;
    options.emulator = true;
    options.emulatorPath = KORVANT_EMULATOR_PATH;
    host_ = std::make_unique<host::Host>(options);
    if (emulator().reset(emulatorConfig.c_str()) < 0) {
        ADD_FAILURE() << "the emulator refused its configuration " << emulatorConfig;
    }
    emulator().clearFaults();
    emulator().clearJournal();
}

DriverSession::~DriverSession() = default;

host::CallResult DriverSession::call(std::string_view method, std::vector<host::Value> args) {
    return component().call(method, std::move(args));
}

host::CallResult DriverSession::statement(std::string_view method, std::vector<host::Value> args) {
    return component().statement(method, std::move(args));
}

std::string DriverSession::open() {
    call("SetParameter", {host::Value::text("Serial"), host::Value::text(kEmulatorSerial)});
    call("SetParameter", {host::Value::text("Ipaddr"), host::Value::text(kEmulatorAddress)});
    const auto opened = call("Open", {host::Value::empty()});
    device_ = opened.succeeded() ? opened.text(0) : std::string();
    return device_;
}

nlohmann::json DriverSession::journal() { return nlohmann::json::parse(emulator().journalText()); }

std::vector<nlohmann::json> DriverSession::requestsTo(std::string_view function) {
    std::vector<nlohmann::json> requests;
    for (const auto& entry : journal()) {
        if (entry.value("function", "") == function) {
            requests.push_back(entry["request"]);
        }
    }
    return requests;
}

std::vector<std::string> DriverSession::requestTextsTo(std::string_view function) {
    std::vector<std::string> texts;
    for (const auto& entry : journal()) {
        if (entry.value("function", "") == function) {
            texts.push_back(entry["request_text"].is_string() ? entry["request_text"].get<std::string>()
                                                              : std::string());
        }
    }
    return texts;
}

std::vector<std::string> DriverSession::calls() {
    std::vector<std::string> names;
    for (const auto& entry : journal()) {
        const auto name = entry.value("function", "");
        if (name != "korvant3_fremu_query") {
            names.push_back(name);
        }
    }
    return names;
}

void DriverSession::clearJournal() { emulator().clearJournal(); }

void DriverSession::inject(const std::string& ruleJson) {
    EXPECT_GE(emulator().inject(ruleJson), 0) << "the emulator refused the fault " << ruleJson;
}

std::pair<int32_t, std::string> DriverSession::lastError() {
    const auto result = call("GetLastError", {host::Value::empty()});
    const int32_t code = result.result ? static_cast<int32_t>(result.result->integer) : -1;
    return {code, result.text(0)};
}

std::optional<std::string> xmlAttribute(std::string_view xml, std::string_view element,
                                        std::string_view name) {
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) {
        return std::nullopt;
    }
    // Depth-first search for the first element with that name.
    std::vector<const tinyxml2::XMLElement*> pending{document.RootElement()};
    while (!pending.empty()) {
        const auto* current = pending.back();
        pending.pop_back();
        if (current == nullptr) {
            continue;
        }
        if (element == current->Name()) {
            const char* value = current->Attribute(std::string(name).c_str());
            return value ? std::optional<std::string>(value) : std::nullopt;
        }
        std::vector<const tinyxml2::XMLElement*> children;
        for (auto* child = current->FirstChildElement(); child; child = child->NextSiblingElement()) {
            children.push_back(child);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return std::nullopt;
}

} // namespace korvant::testing
