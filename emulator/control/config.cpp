#include "control/config.h"

#include "files/file_text.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace korvant3emu {
namespace {

using nlohmann::json;

const char* const kEnvironmentVariable = "KORVANT3EMU_CONFIG";

[[noreturn]] void invalid(const std::string& message) {
    throw ConfigError{message};
}

std::string text(const json& value, const std::string& name) {
    if (!value.is_string()) {
        invalid("\"" + name + "\" must be a string");
    }
    return value.get<std::string>();
}

int64_t integer(const json& value, const std::string& name, int64_t low, int64_t high) {
    if (!value.is_number_integer() || value.get<int64_t>() < low || value.get<int64_t>() > high ||
        (value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(high))) {
        invalid("\"" + name + "\" must be an integer from " + std::to_string(low) + " to " +
                std::to_string(high));
    }
    return value.get<int64_t>();
}

PerFunction perFunction(const json& value, const std::string& name, int64_t high) {
    PerFunction setting;
    if (value.is_number()) {
        setting.setAll(integer(value, name, 0, high));
        return setting;
    }
    if (!value.is_object()) {
        invalid("\"" + name + "\" must be a number or an object of function names");
    }
    // The default first, so that named functions override it whatever the order.
    if (value.contains("default")) {
        setting.setAll(integer(value["default"], name + ".default", 0, high));
    }
    for (const auto& [function, number] : value.items()) {
        if (function == "default") {
            continue;
        }
        const auto found = functionByShortName(function);
        if (!found) {
            invalid("\"" + name + "\" names an unknown function \"" + function + "\"");
        }
        setting.set(*found, integer(number, name + "." + function, 0, high));
    }
    return setting;
}

int64_t drawerAmount(const json& value) {
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0 ||
        value.get<double>() > 1e12) {
        invalid("\"cash\" must be a number of currency units from 0 to 1e12");
    }
    // Whole kopecks, in ten-thousandths of the currency unit.
    return std::llround(value.get<double>() * 100) * 100;
}

void apply(EmulatorConfig& config, const std::string& name, const json& value) {
    if (name == "serial") {
        config.serial = text(value, name);
    } else if (name == "firmware_version") {
        config.firmware_version = text(value, name);
    } else if (name == "fn_serial") {
        config.fn_serial = text(value, name);
    } else if (name == "line_length") {
        config.line_length = static_cast<int>(integer(value, name, 16, 255));
    } else if (name == "registered") {
        if (!value.is_boolean()) {
            invalid("\"registered\" must be true or false");
        }
        config.registered = value.get<bool>();
    } else if (name == "registration") {
        try {
            config.registration = registrationFromJson(value, config.registration);
        } catch (const std::runtime_error& error) {
            invalid(error.what());
        }
    } else if (name == "cash") {
        config.cash = drawerAmount(value);
    } else if (name == "busy_polls") {
        config.busy_polls = perFunction(value, name, 1000000);
    } else if (name == "task_ms") {
        config.task_ms = perFunction(value, name, 3600000);
    } else if (name == "clock") {
        config.clock = integer(value, name, 0, INT32_MAX);
    } else if (name == "tape") {
        config.tape = text(value, name);
    } else if (name == "state") {
        config.state = text(value, name);
    } else if (name == "print_ms") {
        config.print_ms = integer(value, name, 0, 60000);
    } else if (name == "lock_wait_ms") {
        config.lock_wait_ms = integer(value, name, 0, 600000);
    } else if (name == "refusals") {
        const std::string when = text(value, name);
        if (when != "start" && when != "end") {
            invalid("\"refusals\" must be \"start\" or \"end\"");
        }
        config.refusals_at_start = when == "start";
    } else {
        invalid("unknown member \"" + name + "\"");
    }
}

} // namespace

EmulatorConfig parseConfig(std::string_view text) {
    const json object = json::parse(text, nullptr, false);
    if (object.is_discarded()) {
        invalid("the configuration is not valid JSON");
    }
    if (!object.is_object()) {
        invalid("the configuration is not a JSON object");
    }
    EmulatorConfig config;
    for (const auto& [name, value] : object.items()) {
        apply(config, name, value);
    }
    return config;
}

EmulatorConfig configFromEnvironment() {
    const char* path = std::getenv(kEnvironmentVariable);
    if (path == nullptr || *path == '\0') {
        return {};
    }
    const auto content = readFileText(path);
    if (!content) {
        invalid(std::string("cannot read the configuration file ") + path);
    }
    try {
        return parseConfig(*content);
    } catch (const ConfigError& error) {
        invalid(std::string("configuration file ") + path + ": " + error.message);
    }
}

} // namespace korvant3emu
