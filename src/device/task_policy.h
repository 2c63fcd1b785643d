#pragma once
// How a running task of the device library is followed: how long to wait
// between polls and when to give up.

#include <chrono>
#include <functional>
#include <optional>

namespace korvant {

struct TaskPolicy {
    // A fixed wait between polls, from the configuration. None: the wait grows
    // with the time the task has already taken (see pollDelay).
    std::optional<std::chrono::milliseconds> pollInterval;
    // How long a task may take, from its start to its final answer, before the
    // call gives up; 0 waits forever.
    std::chrono::seconds timeout{600};
};

// Bounds of the growing wait between two polls of a task: the first polls come
// quickly, and the wait never exceeds the fixed interval the driver used to
// poll at.
inline constexpr std::chrono::milliseconds kMinPollDelay{10};
inline constexpr std::chrono::milliseconds kMaxPollDelay{200};
// The shortest wait of all, whatever the configuration says: a poll loop that
// never sleeps would take a whole processor from the cashier's machine.
inline constexpr std::chrono::milliseconds kShortestPollWait{1};

// The wait before the next poll of a task that answered busy, `waited` after
// it was started. Without a fixed interval the wait is a quarter of the time
// waited so far, within the bounds above: a short task ends close to its own
// time, the poll that sees a task's end comes at most a quarter of its time
// late, and a long task is polled no more often than every 200 ms. A fixed
// interval is kept as it is, but never below kShortestPollWait.
std::chrono::milliseconds pollDelay(const TaskPolicy& policy, std::chrono::milliseconds waited);

// The time source and the wait used while polling; tests replace both.
struct TaskClock {
    using TimePoint = std::chrono::steady_clock::time_point;

    std::function<TimePoint()> now;
    std::function<void(std::chrono::milliseconds)> sleep;

    // The steady clock and a real sleep.
    static TaskClock system();
};

// The wait before the next poll at `now` of a task started at `started`: the
// poll delay, cut so that it never reaches past the deadline (the poll at the
// deadline is the last), and never below kShortestPollWait.
std::chrono::milliseconds pollWait(const TaskPolicy& policy, TaskClock::TimePoint started,
                                   TaskClock::TimePoint now,
                                   const std::optional<TaskClock::TimePoint>& deadline);

} // namespace korvant
