#pragma once
// What the operation tests share: a session with the device open, and the
// texts the host passes and gets back.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/driver_session.h"

namespace korvant::testing {

using host::Value;

// The output parameter document with the top-level attributes written as given
// and, when there are any, the child elements.
inline std::string outputParameters(std::string_view attributes, std::string_view children = {}) {
    std::string text = R"(<?xml version="1.0" encoding="UTF-8"?><OutputParameters><Parameters )";
    text += attributes;
    text += children.empty() ? "/>" : ">" + std::string(children) + "</Parameters>";
    return text + "</OutputParameters>";
}

// A fault rule replacing the final answer of the next task of `function`.
inline std::string finalAnswerRule(std::string_view function, std::string_view answer) {
    return nlohmann::json{{"function", function}, {"call", 1}, {"answer", answer}, {"at", "end"}}
        .dump();
}

// <InputParameters><Parameters .../></InputParameters> with the attributes given
// as written, e.g. R"(CashierName="Иванов")".
inline std::string inputParameters(std::string_view attributes) {
    return "<InputParameters><Parameters " + std::string(attributes) + "/></InputParameters>";
}

// A session whose device is open; the journal starts empty.
class OpenDeviceTest : public ::testing::Test {
protected:
    explicit OpenDeviceTest(const std::string& emulatorConfig = R"({"clock":1700000000})")
        : session(emulatorConfig) {}

    void SetUp() override {
        device = session.open();
        ASSERT_FALSE(device.empty()) << "Open failed: " << session.lastError().second;
        session.clearJournal();
    }

    // The method with the device identifier as its first argument.
    host::CallResult callOnDevice(std::string_view method, std::vector<Value> rest = {}) {
        rest.insert(rest.begin(), Value::text(device));
        return session.call(method, std::move(rest));
    }

    int32_t lastCode() { return session.lastError().first; }

    DriverSession session;
    std::string device;
};

} // namespace korvant::testing
