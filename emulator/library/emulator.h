#pragma once
// The one emulator of the process: the register, the connections to it, the
// tasks in flight, the journal and the injected faults, behind one mutex. The
// device library functions and the control API both come through here. Every
// call that reads or changes the register takes it from the store for the call
// alone, so processes sharing a state file serve their clients one at a time.

#include "control/config.h"
#include "control/faults.h"
#include "control/journal.h"
#include "library/operations.h"
#include "library/task_queue.h"
#include "printer/printer.h"
#include "protocol/functions.h"
#include "register/fiscal_register.h"
#include "store/register_store.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvant3emu {

class Emulator {
public:
    static Emulator& instance();

    // One call of a device library function. `handle` is the connection handle
    // the function was given (ignored by korvant3_version and korvant3_open),
    // `request` its request text when it takes one, `polled` the task number
    // given to korvant3_fremu_query. Sets the task number handed out and the
    // answer text when the caller passed somewhere to put them.
    int32_t call(Function function, int32_t handle, const char* request, uint32_t polled,
                 uint32_t* task, const char** answer);

    int reset(const char* configText);
    const char* journal();
    void clearJournal();
    int inject(const char* ruleText);
    void clearFaults();
    const char* state();
    int advanceClock(int64_t seconds);

private:
    struct Connection {
        bool fiscalMode = false;
        std::string answer; // the last answer text on this connection
    };

    struct Reply {
        int32_t result = 0;
        std::optional<std::string> answer;
        uint32_t task = 0;
    };

    Emulator() = default;

    Reply dispatch(Function function, int32_t handle, const char* request, uint32_t polled,
                   const CallFaults& faults);
    Reply openConnection(const CallFaults& faults);
    Reply closeConnection(int32_t handle);
    Reply readState(Function function, int32_t handle, const char* request,
                    const CallFaults& faults);
    Reply switchMode(Function function, int32_t handle, const CallFaults& faults);
    Reply pollTask(int32_t handle, uint32_t number, const CallFaults& faults);
    Reply startTask(Function function, int32_t handle, const char* request,
                    const CallFaults& faults);
    struct TaskOutcome {
        nlohmann::json final; // the task's final answer
        bool refused = false;
    };
    // Performs the task's operation when it is the client's turn at the register, unless a
    // fault says otherwise, and gives the task's final answer; nothing while the client must
    // wait (the register another client's, or another process's beyond the wait).
    std::optional<TaskOutcome> attemptTask(const Operation& operation, const Client& client,
                                           const std::optional<InjectedAnswer>& endFault);
    TaskOutcome performTask(const Operation& operation, Connection& connection,
                            const Client& client);
    // The start answer of task `number`, as a fault may change it.
    static Reply startAnswer(uint32_t number, const CallFaults& faults);
    static Reply notOpen(int32_t handle);

    // Takes the register for the rest of the call; the answer to give instead when it cannot
    // be taken: busy (R 3, E 103) while another process keeps it beyond the wait, a failure
    // (R 1) when its state file cannot be used.
    std::optional<Reply> registerUnavailable();
    // Whether a client of the register is still there: its process, and its connection.
    bool present(const Client& client);

    Connection* connection(int32_t handle);
    const char* keepAnswer(int32_t handle, const std::string& answer);

    void startOnFirstUse();
    void configure(EmulatorConfig config);
    const char* controlText(std::string text);

    std::mutex mutex_;
    bool started_ = false;
    EmulatorConfig config_;
    std::string configError_;  // why the configuration from the environment was refused
    std::string controlError_; // why the last reset or injection was refused
    std::unique_ptr<FiscalRegister> device_;
    Printer printer_{{}, {}};
    RegisterStore store_;
    std::map<int32_t, Connection> connections_;
    int32_t lastHandle_ = 0;
    TaskQueue tasks_;
    Journal journal_;
    FaultTable faults_;
    std::string controlText_;
};

} // namespace korvant3emu
