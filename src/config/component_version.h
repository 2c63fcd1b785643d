#pragma once

#include <string_view>

namespace korvant {

// The name the host creates the component by (its class name).
inline constexpr const char* kComponentName = "AddInKorvant";

// The component's own version, shown in its description and logged at Open.
inline constexpr std::string_view kComponentVersion = "1.0.36.326";

} // namespace korvant
