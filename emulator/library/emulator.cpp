#include "library/emulator.h"

#include "library/answers.h"
#include "protocol/codes.h"
#include "register/fiscal_sign.h"

namespace korvant3emu {
namespace {

using nlohmann::json;

// A registered register starts as if registered the day before, with the
// registration report as its first fiscal document.
FiscalState initialState(const EmulatorConfig& config, int64_t now) {
    FiscalState state;
    state.fn_serial = config.fn_serial;
    state.cash = config.cash;
    if (config.registered) {
        state.registered = true;
        state.registration = config.registration;
        state.reg_count = 1;
        state.reg_document = 1;
        state.reg_date = now - 24 * 60 * 60;
        state.last = {1, state.reg_date, fiscalSign(state.fn_serial, 1, state.reg_date, "")};
    }
    return state;
}

bool takesRequest(Function function) {
    return function == Function::get_fdtag ||
           (isTaskFunction(function) && function != Function::fremu_report_x &&
            function != Function::fremu_report_state && function != Function::fremu_cancel_doc);
}

} // namespace

Emulator& Emulator::instance() {
    // Never destroyed: a host may still call in while the process exits.
    static Emulator* const emulator = new Emulator;
    return *emulator;
}

int32_t Emulator::call(Function function, int32_t handle, const char* request, uint32_t polled,
                       uint32_t* task, const char** answer) {
    std::lock_guard lock(mutex_);
    startOnFirstUse();
    const CallFaults faults = faults_.onCall(function);
    Reply reply;
    try {
        reply = faults.result ? Reply{*faults.result, std::nullopt, 0}
                              : dispatch(function, handle, request, polled, faults);
    } catch (...) {
        store_.release();
        throw;
    }
    // Whatever the call took of the register is let go before it is answered.
    store_.release();

    CallRecord record{function,
                      handle,
                      takesRequest(function) ? request : nullptr,
                      function == Function::open ? request : nullptr,
                      reply.result,
                      reply.answer,
                      std::nullopt};
    if (function == Function::version || function == Function::open) {
        record.handle.reset();
    }
    if (isTaskFunction(function)) {
        record.task = reply.task;
    } else if (function == Function::fremu_query) {
        record.task = polled;
    }
    journal_.record(record);

    if (task != nullptr) {
        *task = reply.task;
    }
    if (answer != nullptr) {
        const int32_t owner = function == Function::open ? reply.result : handle;
        *answer = reply.answer ? keepAnswer(owner, *reply.answer) : nullptr;
    }
    return reply.result;
}

Emulator::Reply Emulator::dispatch(Function function, int32_t handle, const char* request,
                                   uint32_t polled, const CallFaults& faults) {
    switch (function) {
    case Function::version:
        return {};
    case Function::open:
        return openConnection(faults);
    case Function::close:
        return closeConnection(handle);
    case Function::get_info:
    case Function::get_state:
    case Function::get_fdstate:
    case Function::get_fdtag:
    case Function::fremu_get_money:
        return readState(function, handle, request, faults);
    case Function::fremu_enter:
    case Function::fremu_exit:
        return switchMode(function, handle, faults);
    case Function::fremu_query:
        return pollTask(handle, polled, faults);
    default:
        return startTask(function, handle, request, faults);
    }
}

Emulator::Connection* Emulator::connection(int32_t handle) {
    const auto found = connections_.find(handle);
    return found == connections_.end() ? nullptr : &found->second;
}

const char* Emulator::keepAnswer(int32_t handle, const std::string& answer) {
    if (Connection* open = connection(handle)) {
        open->answer = answer;
        return open->answer.c_str();
    }
    // Answers that belong to no connection (a refused open, a handle that is
    // not open) live until the next such answer on the same thread.
    thread_local std::string loose;
    loose = answer;
    return loose.c_str();
}

void Emulator::startOnFirstUse() {
    if (started_) {
        return;
    }
    started_ = true;
    try {
        configure(configFromEnvironment());
    } catch (const ConfigError& error) {
        configure({});
        configError_ = error.message;
    }
}

void Emulator::configure(EmulatorConfig config) {
    config_ = std::move(config);
    const Clock clock(config_.clock);
    FiscalState initial = initialState(config_, clock.now());
    store_.configure(config_.state, initial);
    device_ = std::make_unique<FiscalRegister>(
        Identity{config_.serial, config_.firmware_version, size_t(config_.line_length)},
        std::move(initial), clock);
    printer_ = Printer(config_.tape, std::chrono::milliseconds(config_.print_ms));
    configError_.clear();
    connections_.clear();
    lastHandle_ = 0;
    tasks_.clear();
    journal_.clear();
    faults_.clear();
}

const char* Emulator::controlText(std::string text) {
    controlText_ = std::move(text);
    return controlText_.c_str();
}

int Emulator::reset(const char* configText) {
    std::lock_guard lock(mutex_);
    try {
        EmulatorConfig config;
        if (configText == nullptr) {
            config = configFromEnvironment();
        } else if (*configText != '\0') {
            config = parseConfig(configText);
        }
        started_ = true;
        configure(std::move(config));
        controlError_.clear();
        return 0;
    } catch (const ConfigError& error) {
        controlError_ = error.message;
        return -1;
    }
}

const char* Emulator::journal() {
    std::lock_guard lock(mutex_);
    return controlText(journal_.text());
}

void Emulator::clearJournal() {
    std::lock_guard lock(mutex_);
    journal_.clear();
}

int Emulator::inject(const char* ruleText) {
    std::lock_guard lock(mutex_);
    startOnFirstUse();
    const int outcome = faults_.add(ruleText);
    controlError_ =
        outcome == 0 ? "" : "fault rule refused: " + std::string(ruleText ? ruleText : "");
    return outcome;
}

void Emulator::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

int Emulator::advanceClock(int64_t seconds) {
    std::lock_guard lock(mutex_);
    startOnFirstUse();
    device_->advanceClock(seconds);
    return 0;
}

const char* Emulator::state() {
    std::lock_guard lock(mutex_);
    startOnFirstUse();
    // The register as it is now, if it can be had; else as this process last saw it.
    registerUnavailable();
    store_.release();
    auto connections = json::array();
    for (const auto& [handle, open] : connections_) {
        connections.push_back({{"handle", handle}, {"fiscal_mode", open.fiscalMode}});
    }
    auto optionalText = [](const std::string& text) { return text.empty() ? json() : json(text); };
    const auto& document = device_->document();
    const json view = {
        {"serial", device_->identity().serial},
        {"firmware_version", device_->identity().firmware_version},
        {"line_length", device_->identity().line_length},
        {"clock", device_->now()},
        {"fd_shift_state", device_->shiftState()},
        {"fiscal", toJson(device_->state())},
        {"document", document ? toJson(*document) : json()},
        {"connections", connections},
        {"pending_tasks", tasks_.pending()},
        {"faults", faults_.size()},
        {"config_error", optionalText(configError_)},
        {"control_error", optionalText(controlError_)},
        {"state_file_error", optionalText(store_.error())},
    };
    return controlText(view.dump(-1, ' ', false, json::error_handler_t::replace));
}

} // namespace korvant3emu
