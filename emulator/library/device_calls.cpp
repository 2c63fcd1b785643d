// The device library functions as the emulator answers them: connections, the
// reading calls, fiscal-register mode, and the task protocol, each call taking
// the register as long as it needs it.

#include "device/json_depth.h"
#include "device/tag_dictionary.h"
#include "library/answers.h"
#include "library/emulator.h"
#include "library/operations.h"
#include "protocol/codes.h"
#include "store/client_turns.h"
#include "store/persistence.h"

#include <chrono>

namespace korvant3emu {
namespace {

using nlohmann::json;

std::string text(const json& answer) {
    return answer.dump(-1, ' ', false, json::error_handler_t::replace);
}

constexpr size_t kAnswerDepthLimit = 256;

json taskData(uint32_t number) {
    return {{key(korvant::tag::task_id), number}};
}

int64_t millisecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::optional<Emulator::Reply> Emulator::registerUnavailable() {
    try {
        if (store_.take(*device_, printer_, std::chrono::milliseconds(config_.lock_wait_ms))) {
            return std::nullopt;
        }
        return Reply{result::ok,
                     text(failureAnswer(response::refused, extended::busy,
                                        "the register is busy with another client")),
                     0};
    } catch (const StateFileError& error) {
        return Reply{result::failed, text(failureAnswer(response::failure, 0, error.message)), 0};
    }
}

bool Emulator::present(const Client& client) {
    if (client.process != store_.process()) {
        return store_.processPresent(client.process);
    }
    return connection(client.handle) != nullptr;
}

Emulator::Reply Emulator::notOpen(int32_t handle) {
    return {result::no_connection,
            text(failureAnswer(response::failure, 0,
                               "handle " + std::to_string(handle) + " is not open")),
            0};
}

Emulator::Reply Emulator::openConnection(const CallFaults& faults) {
    if (!configError_.empty()) {
        return {result::failed, text(failureAnswer(response::failure, 0, configError_)), 0};
    }
    if (auto unavailable = registerUnavailable()) {
        unavailable->result = result::failed;
        return *unavailable;
    }
    const int32_t handle = ++lastHandle_;
    connections_[handle] = Connection{};
    const json answer = envelope(response::ok, extended::none, openData(*device_));
    return {handle, faults.start ? faults.start->applyTo(answer) : text(answer), 0};
}

Emulator::Reply Emulator::closeConnection(int32_t handle) {
    if (connection(handle) == nullptr) {
        return {result::no_connection, std::nullopt, 0};
    }
    connections_.erase(handle);
    tasks_.dropConnection(handle);
    return {};
}

Emulator::Reply Emulator::readState(Function function, int32_t handle, const char* request,
                                    const CallFaults& faults) {
    if (connection(handle) == nullptr) {
        return notOpen(handle);
    }
    if (auto unavailable = registerUnavailable()) {
        return *unavailable;
    }
    json data;
    switch (function) {
    case Function::get_info:
        data = infoData(*device_);
        break;
    case Function::get_state: {
        const auto& document = device_->document();
        const bool foreign = document && document->owner &&
                             *document->owner != Client{store_.process(), handle} &&
                             present(*document->owner);
        data = stateData(*device_, !foreign);
        break;
    }
    case Function::get_fdstate:
        data = fdStateData(*device_);
        break;
    case Function::fremu_get_money:
        data = moneyData(*device_);
        break;
    default: {
        int64_t number = 0;
        try {
            number = Request::parse(request).number(korvant::tag::fd_tag);
        } catch (const BadRequest& bad) {
            return {result::bad_request, text(failureAnswer(response::bad_request, 0, bad.message)),
                    0};
        }
        const auto value = number > 0 && number < 0x10000
                               ? tagValue(*device_, static_cast<uint16_t>(number))
                               : std::nullopt;
        if (!value) {
            return {result::ok,
                    text(failureAnswer(response::refused, extended::bad_parameters,
                                       "the register keeps no such tag")),
                    0};
        }
        data = {{key(korvant::tag::fd_tag), number}, {key(static_cast<uint16_t>(number)), *value}};
    }
    }
    // Reading changes nothing, so an injected answer keeps the data whatever
    // its codes.
    const json answer = envelope(response::ok, extended::none, std::move(data));
    return {result::ok, faults.start ? faults.start->applyTo(answer) : text(answer), 0};
}

Emulator::Reply Emulator::switchMode(Function function, int32_t handle, const CallFaults& faults) {
    Connection* open = connection(handle);
    if (open == nullptr) {
        return notOpen(handle);
    }
    const bool entering = function == Function::fremu_enter;
    json answer;
    if (open->fiscalMode == entering) {
        answer = failureAnswer(response::refused, extended::mode_unchanged,
                               entering ? "already in fiscal-register mode"
                                        : "not in fiscal-register mode");
    } else {
        answer = envelope(response::ok, extended::none);
        if (!faults.start || faults.start->perform) {
            open->fiscalMode = entering;
        }
    }
    return {result::ok, faults.start ? faults.start->applyTo(answer) : text(answer), 0};
}

Emulator::Reply Emulator::pollTask(int32_t handle, uint32_t number, const CallFaults& faults) {
    if (connection(handle) == nullptr) {
        return notOpen(handle);
    }
    const json busy = envelope(response::refused, extended::busy, taskData(number));
    // A poll answered by injection alone leaves the task as it was.
    if (faults.start && !faults.start->perform) {
        return {result::ok, faults.start->applyTo(busy), 0};
    }
    std::string answer;
    switch (tasks_.poll(handle, number, answer)) {
    case TaskQueue::Poll::unknown:
        answer = text(failureAnswer(response::refused, extended::unknown_task,
                                    "no such task on this connection"));
        break;
    case TaskQueue::Poll::busy:
        answer = text(busy);
        break;
    case TaskQueue::Poll::done:
        break;
    }
    if (faults.start) {
        // A final answer that is no JSON (or nests too deep to be handled as
        // such) gets the injected codes on an empty envelope.
        const bool usable = !korvant::nestsDeeperThan(answer, kAnswerDepthLimit);
        const json parsed =
            usable ? json::parse(answer, nullptr, false) : json(json::value_t::discarded);
        answer = faults.start->applyTo(parsed.is_discarded() ? envelope(0, 0) : parsed);
    }
    return {result::ok, answer, 0};
}

Emulator::Reply Emulator::startTask(Function function, int32_t handle, const char* request,
                                    const CallFaults& faults) {
    Connection* open = connection(handle);
    if (open == nullptr) {
        return notOpen(handle);
    }
    // An injected start answer that stands for a refusal: no task, nothing done.
    if (faults.start && !faults.start->perform) {
        return {result::ok, faults.start->applyTo(envelope(0, 0, taskData(0))), 0};
    }
    Operation operation;
    try {
        operation = prepareOperation(function, Request::parse(request));
    } catch (const BadRequest& bad) {
        return {result::bad_request, text(failureAnswer(response::bad_request, 0, bad.message)), 0};
    }
    const Client client{store_.process(), handle};
    const std::optional<InjectedAnswer> endFault = faults.end;
    const auto finalText = [endFault](const TaskOutcome& outcome) {
        return endFault ? endFault->applyTo(outcome.final) : text(outcome.final);
    };
    const TaskAttempt attempt = [this, operation, client, endFault,
                                 finalText]() -> std::optional<std::string> {
        const auto done = attemptTask(operation, client, endFault);
        return done ? std::optional(finalText(*done)) : std::nullopt;
    };
    const TaskTiming timing{faults.busy_polls.value_or(config_.busy_polls[function]),
                            config_.task_ms[function], faults.busy_forever};
    if (faults.effect_at_end) {
        const uint32_t number =
            tasks_.addWaiting(handle, function, attempt, timing, TaskQueue::WorkAt::end);
        return startAnswer(number, faults);
    }
    // A connection's tasks are done in the order they came: behind one that waits, a task waits.
    const std::optional<TaskOutcome> outcome =
        tasks_.waiting(handle) ? std::nullopt : attemptTask(operation, client, endFault);
    if (outcome && outcome->refused && config_.refusals_at_start && !faults.end) {
        return {result::ok, text(outcome->final), 0};
    }
    const uint32_t number = outcome ? tasks_.add(handle, function, finalText(*outcome), timing)
                                    : tasks_.addWaiting(handle, function, attempt, timing);
    return startAnswer(number, faults);
}

Emulator::Reply Emulator::startAnswer(uint32_t number, const CallFaults& faults) {
    const json start = envelope(response::ok, extended::none, taskData(number));
    return {result::ok, faults.start ? faults.start->applyTo(start) : text(start), number};
}

std::optional<Emulator::TaskOutcome>
Emulator::attemptTask(const Operation& operation, const Client& client,
                      const std::optional<InjectedAnswer>& endFault) {
    if (endFault && !endFault->perform) {
        return TaskOutcome{envelope(response::ok, extended::none, closingData(*device_)), false};
    }
    if (auto unavailable = registerUnavailable()) {
        if (unavailable->result == result::ok) {
            return std::nullopt; // busy: tried again at the next poll
        }
        return TaskOutcome{json::parse(*unavailable->answer), true};
    }
    Connection* open = connection(client.handle);
    const auto& document = device_->document();
    if (open == nullptr ||
        !takeTurn(
            store_.waiting(), client, document ? document->owner : std::nullopt,
            [this](const Client& other) { return present(other); }, millisecondsSince1970())) {
        return std::nullopt;
    }
    return performTask(operation, *open, client);
}

Emulator::TaskOutcome Emulator::performTask(const Operation& operation, Connection& connection,
                                            const Client& client) {
    const int64_t lastDocument = device_->state().last.number;
    TaskOutcome outcome;
    PrintJob printing;
    try {
        refuseUnless(connection.fiscalMode, extended::not_in_mode,
                     "the connection is not in fiscal-register mode");
        operation(*device_);
        device_->claimDocument(client);
        // Stored before it is answered, and printed only once stored.
        printing = printer_.job(device_->takePrintouts());
        store_.store(*device_, printing, device_->state().last.number != lastDocument);
        outcome.final = envelope(response::ok, extended::none, closingData(*device_));
    } catch (const Refusal& refusal) {
        printing = {};
        device_->discardPrintouts();
        device_->takeChanges();
        json data = closingData(*device_);
        data["message"] = refusal.reason;
        outcome = {envelope(response::refused, refusal.extended, std::move(data)), true};
    }
    printer_.print(printing);
    return outcome;
}

} // namespace korvant3emu
