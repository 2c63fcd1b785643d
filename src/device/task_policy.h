#pragma once
// How a running task of the device library is followed: how long to wait
// between polls and when to give up.

#include <chrono>
#include <functional>

namespace korvant {

struct TaskPolicy {
    std::chrono::milliseconds pollInterval{200};
    // How long a task may stay busy before the call gives up; 0 waits forever.
    std::chrono::seconds timeout{600};
};

// The wait before the next poll of a task that answered busy.
inline std::chrono::milliseconds pollDelay(const TaskPolicy& policy) {
    return policy.pollInterval;
}

// The time source and the wait used while polling; tests replace both.
struct TaskClock {
    std::function<std::chrono::steady_clock::time_point()> now;
    std::function<void(std::chrono::milliseconds)> sleep;

    // The steady clock and a real sleep.
    static TaskClock system();
};

} // namespace korvant
