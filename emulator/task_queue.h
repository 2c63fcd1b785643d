#pragma once
// Tasks started by the task functions and polled with korvant3_fremu_query. The
// emulated register does the work when the task starts; the task then stays
// busy for a number of polls and a stretch of simulated device time before its
// final answer is handed out, once.

#include "functions.h"

#include <chrono>
#include <cstdint>
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
        int64_t busyPollsLeft;
        bool forever;
        std::chrono::steady_clock::time_point readyAt;
    };

    std::map<uint32_t, Task> tasks_;
    uint32_t lastNumber_ = 0;
};

} // namespace korvant3emu
