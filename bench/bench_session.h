#pragma once
// The add-in as 1C:Enterprise runs it, for measuring: loaded by korvant-host's
// library with the register emulator as its device library, the register open
// and a shift running. The component configuration is written before the
// component is created, so the log and the poll schedule are what the
// measurement asks for.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/setup/host.h"

namespace korvant::bench {

struct SessionOptions {
    bool log = false;
    // [device] poll_interval_ms; none leaves the driver's default schedule.
    std::optional<int> pollIntervalMs;
    // The emulator's configuration (korvant3emu_reset).
    std::string emulator = "{}";

    bool operator==(const SessionOptions&) const = default;
};

// One method call prepared once: its arguments written into host blocks the
// way 1C passes them, so repeating it measures the component, not the host's
// conversions. Texts the component hands back are freed after every call.
class PreparedCall {
public:
    PreparedCall(host::Component& component, std::string_view method,
                 const std::vector<host::Value>& args);
    ~PreparedCall();
    PreparedCall(const PreparedCall&) = delete;
    PreparedCall& operator=(const PreparedCall&) = delete;

    // CallAsFunc; true when it answered true with a BOOL true (or any I4).
    bool operator()();

private:
    void releaseAnswers();

    host::Component& component_;
    long number_;
    std::vector<host::Variant> params_;
    host::Variant result_;
    std::vector<const void*> inputBlocks_;
};

class BenchSession {
public:
    explicit BenchSession(const SessionOptions& options);
    ~BenchSession();
    BenchSession(const BenchSession&) = delete;
    BenchSession& operator=(const BenchSession&) = delete;

    const SessionOptions& options() const { return options_; }
    host::Component& component() { return host_->component(); }
    host::Emulator& emulator() { return *host_->emulator(); }
    const std::string& device() const { return device_; }

    // The ProcessCheck call of a package on the open register.
    std::unique_ptr<PreparedCall> processCheck(const std::string& package);

private:
    SessionOptions options_;
    std::filesystem::path root_;
    std::unique_ptr<host::Host> host_;
    std::string device_;
};

// The process holds one emulator, so one session at a time: the session with
// these options, replacing (and first ending) any other. Throws
// std::runtime_error when the session cannot be set up.
BenchSession& session(const SessionOptions& options);
// Ends the current session, if any.
void endSession();

// Where the benchmark finds the add-in and the emulator.
std::filesystem::path addinPath();
std::filesystem::path emulatorPath();

} // namespace korvant::bench
