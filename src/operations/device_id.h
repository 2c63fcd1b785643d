#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "device/device_session.h"
#include "operations/component_state.h"
#include "operations/host_values.h"

namespace korvant {

inline constexpr std::string_view kDevicePrefix = "korvant";

// Reads a device identifier the way "korvant%d" scans it: the exact lower-case
// prefix, optional white space, an optional sign and decimal digits; whatever
// follows the digits is ignored.
std::optional<int32_t> parseDeviceId(std::string_view identifier);

std::string formatDeviceId(int32_t number);

// The steps every device operation starts with: lastError reset, the library
// loaded (else 7) and the identifier in the first argument naming the open
// device (else 3). The session to work on, or nothing when the operation must
// stop.
std::optional<DeviceSession> beginDeviceOperation(ComponentState& state, const HostArgs& args);

} // namespace korvant
