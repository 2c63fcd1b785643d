#include "operations/device_library.h"

#include <chrono>

#include "config/component_config.h"
#include "config/log.h"

namespace korvant {
namespace {

// The device section of the configuration tunes how long tasks are waited for.
// Without poll_interval_ms the wait between polls grows with the task's time;
// with it every wait is that long (200 is how the driver always polled before).
TaskPolicy taskPolicyOf(const ComponentConfig& config) {
    TaskPolicy policy;
    policy.timeout = std::chrono::seconds(config.taskTimeoutSeconds());
    if (const auto interval = config.pollIntervalMs()) {
        policy.pollInterval = std::chrono::milliseconds(*interval);
    }
    return policy;
}

} // namespace

void loadDeviceLibrary(ComponentState& state, std::string_view caller) {
    const ComponentConfig config;
    state.library->setTaskPolicy(taskPolicyOf(config));
    std::string problem;
    const PathText libraryPath = config.readLibraryPath(&problem);
    if (!problem.empty()) {
        KORVANT_LOG(caller, problem);
    }
    state.library->load(libraryPath);
    if (state.library->loaded()) {
        state.driverVersion = state.library->version();
        KORVANT_LOG(caller, "API version: ", state.driverVersion);
    }
}

} // namespace korvant
