// Open, Close and DeviceTest: connecting the component to a register, ending
// the connection, and testing one without keeping it.
#include <string>

#include "config/component_version.h"
#include "config/log.h"
#include "device/responses.h"
#include "operations/device_id.h"
#include "operations/device_library.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"

namespace korvant {
namespace {

constexpr std::string_view kModelName = "Корвант-21Ф";

// The library hands a connection back even when the open then fails (another
// serial number, a refusal, a malformed answer); nothing may keep it open.
void closeIfGiven(KorvantIntf& library, int32_t handle) {
    if (handle > 0) {
        library.close(handle);
    }
}

// Leaves fiscal-register mode and ends a connection; used where nobody is
// told of the outcome, so neither step's result counts.
void endConnection(KorvantIntf& library, int32_t handle) {
    library.exit(handle);
    library.close(handle);
}

std::string describeDevice(const KorvantResponseOpen& opened) {
    std::string description(kModelName);
    if (!opened.version.empty()) {
        description += " версия " + opened.version + ";";
    }
    if (!opened.serial.empty()) {
        description += " зав.номер " + opened.serial;
    }
    return description;
}

} // namespace

MethodOutcome openDevice(ComponentState& state, const HostArgs& args) {
    setLastError(state, ErrorCode::NoError);
    if (!state.library->loaded()) {
        loadDeviceLibrary(state, "AddInKorvant::openDevice");
    }
    if (!state.library->loaded()) {
        return MethodOutcome::boolean(record(state, ErrorCode::DriverLoadError));
    }
    KorvantIntf& library = *state.library;
    int32_t handle = 0;
    if (!record(state, library.open(state.settings.ipAddress, state.settings.serial, handle))) {
        closeIfGiven(library, handle);
        return MethodOutcome::boolean(false);
    }
    if (!record(state, library.enter(handle))) {
        library.close(handle);
        return MethodOutcome::boolean(false);
    }
    const std::string identifier = formatDeviceId(handle);
    KORVANT_LOG("AddInKorvant::openDevice", identifier);
    KORVANT_LOG("AddInKorvant::openDevice", kComponentVersion);
    // A host that cannot take the identifier can never name the connection.
    if (!args.setText(0, identifier)) {
        endConnection(library, handle);
        return MethodOutcome::boolean(false);
    }
    // The earlier device is given up only now that its successor works, so a
    // failed Open keeps it; ending it keeps the library from holding a
    // connection nobody can name any more.
    if (state.currentDevice > 0 && state.currentDevice != handle) {
        endConnection(library, state.currentDevice);
    }
    state.currentDevice = handle;
    return MethodOutcome::boolean(true);
}

MethodOutcome closeDevice(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    // A register that will not leave fiscal-register mode stays connected and current.
    if (!record(state, device->library.exit(device->handle))) {
        return MethodOutcome::boolean(false);
    }
    device->library.close(device->handle);
    state.currentDevice = 0;
    return MethodOutcome::boolean(true);
}

MethodOutcome deviceTest(ComponentState& state, const HostArgs& args) {
    setLastError(state, ErrorCode::NoError);
    if (!state.library->loaded()) {
        loadDeviceLibrary(state, "AddInKorvant::deviceTest");
    }
    if (!state.library->loaded()) {
        return MethodOutcome::boolean(record(state, ErrorCode::DriverLoadError));
    }
    KorvantIntf& library = *state.library;
    int32_t handle = 0;
    KorvantResponseOpen device;
    const ErrorCode opened =
        library.open(state.settings.ipAddress, state.settings.serial, handle, device);
    closeIfGiven(library, handle);
    if (!record(state, opened)) {
        return MethodOutcome::boolean(false);
    }
    return MethodOutcome::boolean(args.setText(0, describeDevice(device)));
}

} // namespace korvant
