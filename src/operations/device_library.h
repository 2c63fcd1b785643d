#pragma once
// Loading the device library named by the maker's library configuration, with
// the task tuning of the component's configuration.

#include <string_view>

#include "operations/component_state.h"

namespace korvant {

// Takes the task tuning from the configuration and loads and binds the library
// when it is not loaded yet; logs why it could not. Init calls it, and so do
// Open and DeviceTest while the library is not loaded: a load that failed (the
// configuration being rewritten at that very moment, a library not yet
// installed) is tried again, so one bad moment at the start does not leave the
// whole 1C session without its register. `caller` names the method in the log.
void loadDeviceLibrary(ComponentState& state, std::string_view caller);

} // namespace korvant
