#include "library/task_queue.h"

#include <algorithm>

namespace korvant3emu {

uint32_t TaskQueue::insert(Task task) {
    // Task numbers are never 0: a client reads 0 as "no task".
    if (++lastNumber_ == 0) {
        ++lastNumber_;
    }
    tasks_[lastNumber_] = std::move(task);
    return lastNumber_;
}

void TaskQueue::done(Task& task, std::string finalAnswer) {
    task.finalAnswer = std::move(finalAnswer);
    task.attempt = nullptr;
    task.readyAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(task.timing.device_ms);
}

uint32_t TaskQueue::add(int32_t handle, Function function, std::string finalAnswer,
                        TaskTiming timing) {
    Task task{handle, function, {}, nullptr, WorkAt::firstChance, timing, {}};
    done(task, std::move(finalAnswer));
    return insert(std::move(task));
}

uint32_t TaskQueue::addWaiting(int32_t handle, Function function, TaskAttempt attempt,
                               TaskTiming timing, WorkAt at) {
    // Work done at the end leaves the task's device time running from its start.
    const auto readyAt = at == WorkAt::end ? std::chrono::steady_clock::now() +
                                                 std::chrono::milliseconds(timing.device_ms)
                                           : std::chrono::steady_clock::time_point{};
    return insert(Task{handle, function, {}, std::move(attempt), at, timing, readyAt});
}

bool TaskQueue::earlierWaits(std::map<uint32_t, Task>::const_iterator task) const {
    const int32_t handle = task->second.handle;
    return std::any_of(tasks_.begin(), task, [handle](const auto& entry) {
        return entry.second.handle == handle && entry.second.attempt;
    });
}

bool TaskQueue::attemptWork(Task& task) {
    auto answer = task.attempt();
    if (!answer) {
        return false;
    }
    task.finalAnswer = std::move(*answer);
    task.attempt = nullptr;
    return true;
}

bool TaskQueue::waiting(int32_t handle) const {
    return std::any_of(tasks_.begin(), tasks_.end(), [handle](const auto& entry) {
        return entry.second.handle == handle && entry.second.attempt;
    });
}

TaskQueue::Poll TaskQueue::poll(int32_t handle, uint32_t number, std::string& finalAnswer) {
    const auto found = tasks_.find(number);
    if (found == tasks_.end() || found->second.handle != handle) {
        return Poll::unknown;
    }
    Task& task = found->second;
    if (task.attempt && task.at == WorkAt::firstChance) {
        if (earlierWaits(found) || !attemptWork(task)) {
            return Poll::busy;
        }
        done(task, std::move(task.finalAnswer));
    }
    if (task.timing.forever) {
        return Poll::busy;
    }
    if (task.timing.busy_polls > 0) {
        --task.timing.busy_polls;
        return Poll::busy;
    }
    if (std::chrono::steady_clock::now() < task.readyAt) {
        return Poll::busy;
    }
    if (task.attempt && (earlierWaits(found) || !attemptWork(task))) {
        return Poll::busy;
    }
    finalAnswer = std::move(task.finalAnswer);
    tasks_.erase(found);
    return Poll::done;
}

void TaskQueue::dropConnection(int32_t handle) {
    std::erase_if(tasks_, [handle](const auto& entry) { return entry.second.handle == handle; });
}

void TaskQueue::clear() {
    tasks_.clear();
    lastNumber_ = 0;
}

nlohmann::json TaskQueue::pending() const {
    auto list = nlohmann::json::array();
    for (const auto& [number, task] : tasks_) {
        list.push_back({{"task", number},
                        {"handle", task.handle},
                        {"function", functionName(task.function)},
                        {"waiting", static_cast<bool>(task.attempt)}});
    }
    return list;
}

} // namespace korvant3emu
