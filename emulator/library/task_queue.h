#pragma once
// Tasks started by the task functions and polled with korvant3_fremu_query. The
// emulated register does the work when the task starts; the task then stays
// busy for a number of polls and a stretch of simulated device time before its
// final answer is handed out, once. A task that could not be done when it
// started (the register was another client's) waits: each poll tries again,
// and the task is busy until it was done; a connection's waiting tasks are done
// in the order they started. A task may also be made to take effect only when it
// ends: its work is done at the poll that would hand out its final answer, so a
// register still at work shows its document open until then.

#include "protocol/functions.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvant3emu {

struct TaskTiming {
    int64_t busy_polls = 0;
    int64_t device_ms = 0;
    bool forever = false;
};

// Tries to do a waiting task's work: its final answer, or nothing while it must wait.
using TaskAttempt = std::function<std::optional<std::string>()>;

class TaskQueue {
public:
    enum class Poll { unknown, busy, done };

    uint32_t add(int32_t handle, Function function, std::string finalAnswer, TaskTiming timing);
    // When a waiting task's work is done: at the first poll the register lets it
    // (its time as a device task starts then), or at the poll that ends it.
    enum class WorkAt { firstChance, end };
    // A task whose work is still to be done.
    uint32_t addWaiting(int32_t handle, Function function, TaskAttempt attempt, TaskTiming timing,
                        WorkAt at = WorkAt::firstChance);
    // Whether the connection has a task still waiting to be done.
    bool waiting(int32_t handle) const;

    // The state of a task on a connection; a task that is done hands its final
    // answer over and is forgotten.
    Poll poll(int32_t handle, uint32_t number, std::string& finalAnswer);

    void dropConnection(int32_t handle);
    void clear();
    nlohmann::json pending() const;

private:
    struct Task {
        int32_t handle;
        Function function;
        std::string finalAnswer;
        TaskAttempt attempt; // set while the work is still to be done
        WorkAt at;
        TaskTiming timing;
        std::chrono::steady_clock::time_point readyAt;
    };

    uint32_t insert(Task task);
    // Whether a task of the connection started before `task` still waits to be done.
    bool earlierWaits(std::map<uint32_t, Task>::const_iterator task) const;
    // Does the waiting task's work when it can: false while it must wait.
    static bool attemptWork(Task& task);
    // The task's work done at last: its time as a device task starts now.
    static void done(Task& task, std::string finalAnswer);

    std::map<uint32_t, Task> tasks_;
    uint32_t lastNumber_ = 0;
};

} // namespace korvant3emu
