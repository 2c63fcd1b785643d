#pragma once
// The device library's own cost: the requests a receipt sent, replayed straight
// into the emulator's korvant3_ functions on a connection of their own, each
// task polled until it is done, with nothing of the add-in in between.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace korvant::bench {

class DeviceReplay {
public:
    using TaskFn = int32_t (*)(int32_t, int32_t, uint32_t*, const char*, const char**);

    // Binds the emulator's functions and opens a connection in fiscal-register mode; throws
    // std::runtime_error when that fails.
    explicit DeviceReplay(const std::filesystem::path& emulator);
    ~DeviceReplay();
    DeviceReplay(const DeviceReplay&) = delete;
    DeviceReplay& operator=(const DeviceReplay&) = delete;

    // Takes the task requests of an emulator journal, in call order.
    void load(const nlohmann::json& journal);
    std::size_t steps() const { return steps_.size(); }

    // Sends every request and polls each task until it is done; false at the first call that
    // fails or answers other than success.
    bool run();

private:
    struct Step {
        TaskFn function;
        std::string request;
    };
    struct Functions;

    bool finish(uint32_t task);

    std::shared_ptr<const Functions> functions_;
    int32_t handle_ = 0;
    std::vector<Step> steps_;
};

} // namespace korvant::bench
