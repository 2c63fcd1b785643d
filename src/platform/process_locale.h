#pragma once

#include <string_view>

namespace korvant {

// Sets the C runtime's locale for all categories, as the host asks; the result
// is not looked at (an unknown name simply leaves the locale as it was).
void setProcessLocale(std::string_view locale);

} // namespace korvant
