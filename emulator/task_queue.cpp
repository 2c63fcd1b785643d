#include "task_queue.h"

namespace korvant3emu {

uint32_t TaskQueue::add(int32_t handle, Function function, std::string finalAnswer,
                        TaskTiming timing) {
    // Task numbers are never 0: a client reads 0 as "no task".
    if (++lastNumber_ == 0) {
        ++lastNumber_;
    }
    tasks_[lastNumber_] =
        Task{handle,
             function,
             std::move(finalAnswer),
             nullptr,
             timing.busy_polls,
             timing.forever,
             std::chrono::steady_clock::now() + std::chrono::milliseconds(timing.device_ms)};
    return lastNumber_;
}

uint32_t TaskQueue::add(int32_t handle, Function function, Work work, TaskTiming timing) {
    const uint32_t number = add(handle, function, std::string(), timing);
    tasks_[number].work = std::move(work);
    return number;
}

TaskQueue::Poll TaskQueue::poll(int32_t handle, uint32_t number, std::string& finalAnswer) {
    const auto found = tasks_.find(number);
    if (found == tasks_.end() || found->second.handle != handle) {
        return Poll::unknown;
    }
    Task& task = found->second;
    if (task.forever) {
        return Poll::busy;
    }
    if (task.busyPollsLeft > 0) {
        --task.busyPollsLeft;
        return Poll::busy;
    }
    if (std::chrono::steady_clock::now() < task.readyAt) {
        return Poll::busy;
    }
    finalAnswer = task.work ? task.work() : std::move(task.finalAnswer);
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
        list.push_back(
            {{"task", number}, {"handle", task.handle}, {"function", functionName(task.function)}});
    }
    return list;
}

} // namespace korvant3emu
