#include "driver/hardening/hardening_session.h"

#include <fstream>

#include <gtest/gtest.h>

namespace korvant::testing {
namespace {

// Short task waits, frequent polls, and no log (the default session's log
// is enough for the process).
void writeTunedConfig(const host::ProgramDataRoot& root, int pollIntervalMs) {
    std::ofstream out(root.componentConfigPath(), std::ios::binary | std::ios::trunc);
    out << "[logs]\npath = " << (root.root() / "hardening.log").string()
        << "\nenabled = false\n[device]\ntask_timeout_s = " << HardeningSession::kTaskTimeoutSeconds
        << "\npoll_interval_ms = " << pollIntervalMs << "\n";
}

} // namespace

HardeningSession::HardeningSession(const std::string& emulatorConfig, int pollIntervalMs)
    : driver_(emulatorConfig) {
    writeTunedConfig(driver_.programData(), pollIntervalMs);
    std::string error;
    addin_ = host::AddIn::load(KORVANT_ADDIN_PATH, error);
    if (!addin_) {
        throw std::runtime_error("cannot load the add-in: " + error);
    }
    component_ = addin_->create(error);
    if (!component_ || !component_->attach()) {
        throw std::runtime_error("cannot create the component: " + error);
    }
}

HardeningSession::~HardeningSession() = default;

host::CallResult HardeningSession::call(std::string_view method, std::vector<host::Value> args) {
    return component_->call(method, std::move(args));
}

std::string HardeningSession::open() {
    prepare(Prelude::Parameters);
    const auto opened = call("Open", {host::Value::empty()});
    device_ = opened.succeeded() ? opened.text(0) : std::string();
    return device_;
}

bool HardeningSession::openWithShift() {
    return !open().empty() &&
           call("OpenShift", {host::Value::text(device_), host::Value::text(kCashierInput),
                              host::Value::empty()})
               .succeeded();
}

bool HardeningSession::prepare(Prelude prelude) {
    switch (prelude) {
    case Prelude::Parameters:
        return call("SetParameter",
                    {host::Value::text("Serial"), host::Value::text(kEmulatorSerial)})
                   .succeeded() &&
               call("SetParameter",
                    {host::Value::text("Ipaddr"), host::Value::text(kEmulatorAddress)})
                   .succeeded();
    case Prelude::Open:
        return !open().empty();
    case Prelude::OpenWithShift:
        return openWithShift();
    }
    return false;
}

std::pair<int32_t, std::string> HardeningSession::lastError() {
    const auto result = call("GetLastError", {host::Value::empty()});
    const int32_t code = result.result ? static_cast<int32_t>(result.result->integer) : -1;
    return {code, result.text(0)};
}

} // namespace korvant::testing
