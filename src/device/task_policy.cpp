#include "device/task_policy.h"

#include <algorithm>

#include "platform/sleep.h"

namespace korvant {

std::chrono::milliseconds pollDelay(const TaskPolicy& policy, std::chrono::milliseconds waited) {
    if (policy.pollInterval) {
        return std::max(*policy.pollInterval, kShortestPollWait);
    }
    return std::clamp(waited / 4, kMinPollDelay, kMaxPollDelay);
}

std::chrono::milliseconds pollWait(const TaskPolicy& policy, TaskClock::TimePoint started,
                                   TaskClock::TimePoint now,
                                   const std::optional<TaskClock::TimePoint>& deadline) {
    using std::chrono::milliseconds;
    milliseconds wait = pollDelay(policy, std::chrono::duration_cast<milliseconds>(now - started));
    if (deadline) {
        wait = std::min(wait, std::chrono::ceil<milliseconds>(*deadline - now));
    }
    return std::max(wait, kShortestPollWait);
}

TaskClock TaskClock::system() {
    return {[] { return std::chrono::steady_clock::now(); }, platform::sleepFor};
}

} // namespace korvant
