#include "addin/lifecycle.h"

#include "addin/add_in_korvant.h"
#include "config/log.h"

namespace korvant {

void constructComponent(ComponentState& state) {
    // Until the configuration is read the log stays off.
    state.logEnabled = false;
    KORVANT_LOG("AddInKorvant::AddInKorvant", kComponentName);
}

void initComponent(ComponentState&) {}

} // namespace korvant
