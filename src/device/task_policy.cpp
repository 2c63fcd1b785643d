#include "device/task_policy.h"

#include "platform/sleep.h"

namespace korvant {

TaskClock TaskClock::system() {
    return {[] { return std::chrono::steady_clock::now(); }, platform::sleepFor};
}

} // namespace korvant
