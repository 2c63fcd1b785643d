#pragma once
// An end-to-end session for tests: the add-in loaded through korvant-host's
// library the way 1C:Enterprise loads it, its device library being the register
// emulator, whose journal tells exactly what the add-in sent.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/setup/host.h"

namespace korvant::testing {

// The serial number and address the emulator answers with by default.
inline constexpr std::string_view kEmulatorSerial = "0000000000000001";
inline constexpr std::string_view kEmulatorAddress = "emulator";

class DriverSession {
public:
    // A fresh temporary ProgramData root whose library configuration points at
    // the emulator, the emulator reset with `emulatorConfig`, the component
    // created with setMemManager and Init done, and the journal cleared.
    explicit DriverSession(const std::string& emulatorConfig = R"({"clock":1700000000})");
    ~DriverSession();
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    host::Component& component() { return host_->component(); }
    host::Emulator& emulator() { return *host_->emulator(); }
    host::ProgramDataRoot& programData() { return *host_->programData(); }

    host::CallResult call(std::string_view method, std::vector<host::Value> args = {});
    // The method called as a statement (CallAsProc), as 1C code calls it when it drops the value.
    host::CallResult statement(std::string_view method, std::vector<host::Value> args = {});

    // SetParameter Serial and Ipaddr as the emulator expects them, then Open.
    // Returns the device identifier (empty when Open failed).
    std::string open();
    const std::string& device() const { return device_; }

    // The journal, parsed.
    nlohmann::json journal();
    // Requests received by `function` (full korvant3_ name), parsed, in call order.
    std::vector<nlohmann::json> requestsTo(std::string_view function);
    // The same as the exact texts the emulator received.
    std::vector<std::string> requestTextsTo(std::string_view function);
    // Names of the library functions called, in order, without task polls.
    std::vector<std::string> calls();
    void clearJournal();
    // Adds an emulator fault; fails the test when the emulator refuses it.
    void inject(const std::string& ruleJson);
    // GetLastError: the code and the message.
    std::pair<int32_t, std::string> lastError();

private:
    std::unique_ptr<host::Host> host_;
    std::string device_;
};

// Attribute `name` of the first element named `element` in an XML text, or
// nullopt when either is missing (a light reader for result documents).
std::optional<std::string> xmlAttribute(std::string_view xml, std::string_view element,
                                        std::string_view name);

} // namespace korvant::testing
