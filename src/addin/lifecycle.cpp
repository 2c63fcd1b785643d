#include "addin/lifecycle.h"

#include "config/component_config.h"
#include "config/component_version.h"
#include "config/log.h"
#include "operations/device_library.h"

namespace korvant {
namespace {

constexpr std::string_view kDefaultLogName = "AddInKorvant.log";

} // namespace

void constructComponent(ComponentState& state) {
    ComponentConfig config;
    state.dataFolder = config.folder();
    const PathText defaultLog = config.folder() + pathFromUtf8(kDefaultLogName);
    std::string unsaved; // why the first use's settings could not be stored
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
            unsaved = config.setDefaultLog(state.logPath);
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
    if (!unsaved.empty()) {
        KORVANT_LOG("AddInKorvant::AddInKorvant", "the configuration ",
                    pathToUtf8(config.filePath()), " was left as it is (", unsaved, ")");
    }
}

void initComponent(ComponentState& state) {
    loadDeviceLibrary(state, "AddInKorvant::Init");
}

} // namespace korvant
