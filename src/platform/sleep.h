#pragma once
// Blocking the calling thread for a while.

#include <chrono>

namespace korvant::platform {

void sleepFor(std::chrono::milliseconds duration);

} // namespace korvant::platform
