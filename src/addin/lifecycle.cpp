#include "addin/lifecycle.h"

#include "config/component_config.h"
#include "config/component_version.h"
#include "config/log.h"

namespace korvant {
namespace {

constexpr std::string_view kDefaultLogName = "AddInKorvant.log";

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

void constructComponent(ComponentState& state) {
    ComponentConfig config;
    const PathText defaultLog = config.folder() + pathFromUtf8(kDefaultLogName);
    if (!config.problem().empty()) {
        // The user's settings cannot be read: the driver works on the defaults
        // of a first use, with the log on to say why, and leaves the file for
        // the user to mend.
        state.logPath = defaultLog;
        state.logEnabled = true;
    } else {
        state.logPath = config.readLogPath();
        if (state.logPath.empty()) {
            // First use on this machine: the log goes beside the configuration, switched on.
            state.logPath = defaultLog;
            config.setDefaultLog(state.logPath);
        }
        state.logEnabled = config.logEnabledSetting();
    }
    if (state.logEnabled) {
        log::start(state.logPath);
    }
    KORVANT_LOG("AddInKorvant::AddInKorvant", "log started");
    KORVANT_LOG("AddInKorvant::AddInKorvant", log::bitnessLine());
    KORVANT_LOG("AddInKorvant::AddInKorvant", kComponentName);
    if (!config.problem().empty()) {
        KORVANT_LOG("AddInKorvant::AddInKorvant", "the configuration ",
                    pathToUtf8(config.filePath()), " cannot be used (", config.problem(),
                    "): working on the defaults");
    }
}

void initComponent(ComponentState& state) {
    const ComponentConfig config;
    state.library->setTaskPolicy(taskPolicyOf(config));
    std::string problem;
    const PathText libraryPath = config.readLibraryPath(&problem);
    if (!problem.empty()) {
        KORVANT_LOG("AddInKorvant::Init", problem);
    }
    state.library->load(libraryPath);
    if (state.library->loaded()) {
        state.driverVersion = state.library->version();
        KORVANT_LOG("AddInKorvant::Init", "API version: ", state.driverVersion);
    }
}

} // namespace korvant
