#pragma once
// The open device an operation works on: the library binding and the
// connection handle the library gave when the register was opened, together,
// so that no call can be made on one device's binding with another's handle.

#include <cstdint>

#include "device/korvant_intf.h"

namespace korvant {

struct DeviceSession {
    KorvantIntf& library;
    int32_t handle;
};

} // namespace korvant
