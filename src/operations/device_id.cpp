#include "operations/device_id.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace korvant {
namespace {

bool isScanSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

std::optional<int32_t> parseDeviceId(std::string_view identifier) {
    if (identifier.substr(0, kDevicePrefix.size()) != kDevicePrefix) {
        return std::nullopt;
    }
    std::string_view rest = identifier.substr(kDevicePrefix.size());
    while (!rest.empty() && isScanSpace(rest.front())) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + digits, value);
    // A number beyond 32 bits can never name an open device.
    if (error != std::errc{} || end != rest.data() + digits ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::string formatDeviceId(int32_t number) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return std::string(kDevicePrefix) + std::string(digits, result.ptr);
}

std::optional<DeviceSession> beginDeviceOperation(ComponentState& state, const HostArgs& args) {
    setLastError(state, ErrorCode::NoError);
    if (!state.library->loaded()) {
        setLastError(state, ErrorCode::DriverLoadError);
        return std::nullopt;
    }
    const auto number = parseDeviceId(args.text(0));
    if (!number || *number != state.currentDevice) {
        setLastError(state, ErrorCode::InvalidDeviceId);
        return std::nullopt;
    }
    return DeviceSession{*state.library, state.currentDevice};
}

} // namespace korvant
