#pragma once
// What one AddInKorvant object holds: the host's objects, the device library
// binding, the last error, and the one device it serves.

#include <cstdint>
#include <memory>
#include <string>

#include "device/error_code.h"
#include "device/korvant_intf.h"
#include "nativeapi/interfaces.h"
#include "platform/path_text.h"

namespace korvant {

// Set by SetParameter, never stored: every component starts with these.
struct DeviceSettings {
    std::string serial;
    std::string ipAddress;
    int32_t markTimeoutMs = 0;
};

struct ComponentState {
    nativeapi::IMemoryManager* memoryManager = nullptr;
    nativeapi::IAddInDefBase* connection = nullptr;
    std::unique_ptr<KorvantIntf> library = std::make_unique<KorvantIntf>();
    bool logEnabled = true;
    ErrorCode lastError = ErrorCode::NoError;
    std::string driverVersion;
    PathText logPath;
    DeviceSettings settings;
    // The open device: "korvant" + this number names it towards the host.
    // -1 after construction, the library's connection handle while open, 0 after Close.
    int32_t currentDevice = -1;
};

} // namespace korvant
