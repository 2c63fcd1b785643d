#pragma once
// The emulator's configuration: a JSON object given to korvant3emu_reset or kept
// in the file named by the environment variable KORVANT3EMU_CONFIG. Every member
// is optional; unknown members are refused so that a misspelt name is noticed.

#include "protocol/functions.h"
#include "register/register_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvant3emu {

// A number per function with a default for the rest: a plain number in the
// configuration sets the default, an object maps function names (or "default")
// to numbers.
class PerFunction {
public:
    int64_t operator[](Function function) const {
        return values_.at(static_cast<size_t>(function));
    }
    void setAll(int64_t value) { values_.fill(value); }
    void set(Function function, int64_t value) {
        values_.at(static_cast<size_t>(function)) = value;
    }

private:
    std::array<int64_t, kFunctionCount> values_{};
};

struct EmulatorConfig {
    std::string serial = "0000000000000001";
    std::string firmware_version = "2.1.0";
    std::string fn_serial = "9999000000000001";
    int line_length = 48;
    bool registered = true;
    Registration registration = defaultRegistration();
    int64_t cash = 0;       // drawer at start, ten-thousandths
    PerFunction busy_polls; // busy answers before a task ends
    PerFunction task_ms;    // simulated device time of a task
    std::optional<int64_t> clock;
    std::string tape;
    std::string state;
    int64_t print_ms = 0;           // the printer's time per document, before it is on paper
    int64_t lock_wait_ms = 5000;    // the longest wait for a register another process keeps
    bool refusals_at_start = false; // refusals in the start answer instead of the final one
};

struct ConfigError {
    std::string message;
};

// Reads a configuration text; ConfigError says what is wrong.
EmulatorConfig parseConfig(std::string_view text);

// The configuration named by KORVANT3EMU_CONFIG, or the defaults when the
// variable is not set or empty; ConfigError when the file cannot be read or used.
EmulatorConfig configFromEnvironment();

} // namespace korvant3emu
