#pragma once
// What construction and Init do with the configuration, the log and the device
// library binding.

#include "operations/component_state.h"

namespace korvant {

void constructComponent(ComponentState& state);
void initComponent(ComponentState& state);

} // namespace korvant
