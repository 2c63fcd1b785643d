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
    // With lastError ProtocolError: a document's closing may have made it and the
    // register could not tell; GetLastError explains that instead of the code's
    // own message. Set only through recordUnknownOutcome, cleared with every
    // other outcome.
    bool outcomeUnknown = false;
    std::string driverVersion;
    PathText logPath;
    // The component's own folder, with a trailing separator: the configuration,
    // the log by default, and what it remembers of documents in the register.
    PathText dataFolder;
    DeviceSettings settings;
    // The open device: "korvant" + this number names it towards the host.
    // -1 after construction, the library's connection handle while open, 0 after Close.
    int32_t currentDevice = -1;
    // The record of a document that could not be stored in the data folder,
    // kept here so that this process at least still knows it (see document_record.h).
    std::string unstoredDocumentRecord;
};

// Records an operation's outcome code (and clears an unknown outcome).
inline void setLastError(ComponentState& state, ErrorCode code) {
    state.lastError = code;
    state.outcomeUnknown = false;
}

} // namespace korvant
