#pragma once

#include <string_view>

namespace korvant {

// Sets the C runtime's locale for every category but the numeric one, as the host
// asks; the result is not looked at (an unknown name leaves the locale as it was).
// The numeric category stays as it was: it is the host's own (a host that reads
// "-150.5" with the C library must keep reading -150.5), and nothing of ours
// depends on it, since every number is read and written with a point.
void setProcessLocale(std::string_view locale);

} // namespace korvant
