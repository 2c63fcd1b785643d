#pragma once
// Outcome codes of the driver's methods, read by the host through GetLastError.

#include <cstdint>

namespace korvant {

enum class ErrorCode : int32_t {
    NoError = 0,
    ProtocolError = 1,
    WrongSerialNumber = 2,
    InvalidDeviceId = 3,
    Unsupported = 4,
    OtherError = 5,
    OperationFailed = 6,
    DriverLoadError = 7,
    IncompatibleDriverVersion = 8,
    InputParametersError = 9,
    ShiftAlreadyOpen = 10,
    ShiftTooLong = 11,
    PaymentParametersError = 12,
    NotEnoughMoney = 13,
    OperationNotAllowed = 14,
    ShiftAlreadyClosed = 15,
};

inline constexpr int32_t kErrorCodeCount = 16;

} // namespace korvant
