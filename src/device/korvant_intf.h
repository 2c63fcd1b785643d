#pragma once
// The binding of the device library: loads it, binds its 25 functions, and
// offers the calls the fiscal operations make. Every call returns an ErrorCode
// (NoError for success) and, when asked, copies the library's answer text out.
// Nothing here throws on a malformed answer: that is ProtocolError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/error_code.h"
#include "device/korvant_functions.h"
#include "device/responses.h"
#include "device/result_codes.h"
#include "device/task_policy.h"
#include "platform/dynamic_library.h"
#include "platform/path_text.h"

namespace korvant {

class KorvantIntf {
public:
    // The time-out handed to every library call.
    static constexpr int32_t kTimeoutMs = 5000;

    KorvantIntf();
    // Neither the library nor any connection is released: the library may
    // still hold connections that other code relies on.
    ~KorvantIntf() = default;
    KorvantIntf(const KorvantIntf&) = delete;
    KorvantIntf& operator=(const KorvantIntf&) = delete;

    // Loads the library and binds all 25 functions; loaded() tells the outcome.
    // Does nothing once loaded. A library that lacked some function is released
    // by the next load.
    void load(const PathText& path);
    bool loaded() const { return loaded_; }

    // Uses the given functions as if a library had been bound (tests, and any
    // library linked in). A missing function makes its calls fail with
    // DriverLoadError.
    void useFunctions(const KorvantFunctions& functions);
    const KorvantFunctions& functions() const { return functions_; }

    // The library's version as "major.minor.patch"; empty when not loaded.
    std::string version() const;

    void setTaskPolicy(const TaskPolicy& policy) { policy_ = policy; }
    const TaskPolicy& taskPolicy() const { return policy_; }
    void setClock(TaskClock clock) { clock_ = std::move(clock); }
    const TaskClock& clock() const { return clock_; }

    // Connecting. `handle` receives the connection handle whenever the library
    // gave one (0 otherwise), also when the answer then fails the call, so the
    // caller can close it.
    ErrorCode open(const std::string& address, std::string_view expectedSerial, int32_t& handle,
                   std::string* answer = nullptr);
    // The same with the answer read into the register's description of itself.
    ErrorCode open(const std::string& address, std::string_view expectedSerial, int32_t& handle,
                   KorvantResponseOpen& opened);
    void close(int32_t handle);
    // Fiscal-register mode, entered after open and left before close.
    ErrorCode enter(int32_t handle);
    ErrorCode exit(int32_t handle);

    // Calls that answer at once.
    ErrorCode getInfo(int32_t handle, std::string* answer = nullptr);
    ErrorCode getFdState(int32_t handle, std::string* answer = nullptr);
    ErrorCode getState(int32_t handle, std::string* answer = nullptr);
    ErrorCode getMoney(int32_t handle, std::string* answer = nullptr);
    // The same calls with their answers read into records: the call's code when
    // it failed, else the reading's (ProtocolError for an answer that does not
    // read as its record).
    ErrorCode getInfo(int32_t handle, KorvantResponseGetInfo& info);
    ErrorCode getFdState(int32_t handle, KorvantResponseGetFdState& storage);
    ErrorCode getState(int32_t handle, KorvantResponseGetState& state);
    ErrorCode getMoney(int32_t handle, KorvantResponseGetMoney& money);
    // One value the register keeps, named by the request's "fd_tag".
    ErrorCode getFdTag(int32_t handle, const std::string& request, std::string* answer = nullptr);
    // One unsigned number the register keeps, named by its tag (the last
    // fiscal sign, for one): ProtocolError when the answer does not carry it.
    ErrorCode getFdTag(int32_t handle, uint16_t fdTag, uint32_t& value);

    // Tasks: started, then polled until the register has finished. `answer`
    // receives the final answer text on success; it is empty when the task
    // ended without one.
    ErrorCode runTask(int32_t handle, TaskFn function, const std::string& request,
                      std::string* answer = nullptr);
    ErrorCode runCommand(int32_t handle, CommandFn function, std::string* answer = nullptr);

    // The task the last task call started and stopped following before its end
    // was seen: it was still busy at the time-out, or a poll of it failed. It may
    // still be running, and its end may yet be read with awaitTask. Nothing when
    // the last task ended (or never started).
    std::optional<uint32_t> unfinishedTask() const { return unfinishedTask_; }
    // Follows such a task further, until `deadline`, as runTask would have: its
    // code, and the final answer in `answer` on success. A register that no
    // longer knows the task (its end was answered to a poll whose answer was
    // lost) gives ProtocolError: its outcome is not to be read from the task.
    ErrorCode awaitTask(int32_t handle, uint32_t task, TaskClock::TimePoint deadline,
                        std::string* answer);

    ErrorCode openShift(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode closeShift(int32_t handle, const std::string& request, std::string* answer = nullptr);
    // The shift tasks with their final answers read into the register's record
    // of the shift: the task's code when it failed, else the reading's.
    ErrorCode openShift(int32_t handle, const std::string& request, KorvantResponseQuery& shift);
    ErrorCode closeShift(int32_t handle, const std::string& request, KorvantResponseQuery& shift);
    ErrorCode openDoc(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode addItem(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode addText(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode setAgent(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode closeDoc(int32_t handle, const std::string& request, std::string* answer = nullptr);
    // The closing with its final answer read into the record of the fiscal
    // document it made. An answer that does not name the document's number is
    // no such record: ProtocolError, as for one that does not read at all.
    ErrorCode closeDoc(int32_t handle, const std::string& request, KorvantResponseQuery& closed);
    ErrorCode print(int32_t handle, const std::string& request, std::string* answer = nullptr);
    ErrorCode registration(int32_t handle, const std::string& request,
                           std::string* answer = nullptr);
    ErrorCode closeArchive(int32_t handle, const std::string& request,
                           std::string* answer = nullptr);
    ErrorCode cancelDoc(int32_t handle);
    ErrorCode reportX(int32_t handle, std::string* answer = nullptr);
    ErrorCode reportState(int32_t handle, std::string* answer = nullptr);
    // The settlement report with its final answer read into the register's record.
    ErrorCode reportState(int32_t handle, KorvantResponseQuery& report);

private:
    void release();
    ErrorCode call(CallFn function, AnswerMapping mapping, int32_t handle, std::string* answer);
    // A status call whose answer is read into `record`: the call's code when it
    // failed, else the reading's.
    template <typename Record> ErrorCode query(CallFn function, int32_t handle, Record& record);
    ErrorCode judgeCall(int32_t result, const char* text, AnswerMapping mapping,
                        std::string* answer);
    ErrorCode followTask(int32_t handle, TaskClock::TimePoint started, int32_t result,
                         uint32_t task, const char* answerText, std::string* answer);
    // Polls until the task ends or `deadline` (none: for ever); `resumed` for a
    // task an earlier call stopped following.
    ErrorCode pollTask(int32_t handle, TaskClock::TimePoint started,
                       std::optional<TaskClock::TimePoint> deadline, uint32_t task, bool resumed,
                       std::string* answer);

    bool loaded_ = false;
    platform::LibraryHandle module_ = nullptr;
    KorvantFunctions functions_;
    TaskPolicy policy_;
    TaskClock clock_;
    std::optional<uint32_t> unfinishedTask_;
};

} // namespace korvant
