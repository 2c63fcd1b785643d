#include "device/task_policy.h"

#include <algorithm>

#include "platform/sleep.h"

namespace korvant {

std::chrono::milliseconds pollDelay(const TaskPolicy& policy, std::chrono::milliseconds waited) {
    if (policy.pollInterval) {
        return *policy.pollInterval;
    }
    return std::clamp(waited / 4, kMinPollDelay, kMaxPollDelay);
}

TaskClock TaskClock::system() {
    return {[] { return std::chrono::steady_clock::now(); }, platform::sleepFor};
}

} // namespace korvant
