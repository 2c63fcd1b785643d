#pragma once
// Tasks started by the task functions and polled with korvant3_fremu_query. The
// emulated register does the work when the task starts; the task then stays
// busy for a number of polls and a stretch of simulated device time before its
// final answer is handed out, once. A task may instead carry its work with it,
// done when it ends: its final answer is then what that work answers.

#include "functions.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace korvant3emu {

struct TaskTiming {
    int64_t busy_polls = 0;
    int64_t device_ms = 0;
    bool forever = false;
};

class TaskQueue {
public:
    enum class Poll { unknown, busy, done };

    uint32_t add(int32_t handle, Function function, std::string finalAnswer, TaskTiming timing);
    // A task whose work is done, and its final answer made, at the poll that ends it.
    using Work = std::function<std::string()>;
    uint32_t add(int32_t handle, Function function, Work work, TaskTiming timing);

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
        Work work; // when set, done at the end, giving the final answer
        int64_t busyPollsLeft;
        bool forever;
        std::chrono::steady_clock::time_point readyAt;
    };

    std::map<uint32_t, Task> tasks_;
    uint32_t lastNumber_ = 0;
};

} // namespace korvant3emu
