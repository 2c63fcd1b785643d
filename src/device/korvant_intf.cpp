#include "device/korvant_intf.h"

#include <optional>
#include <type_traits>

#include "config/log.h"
#include "device/envelope.h"
#include "device/request.h"
#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "platform/file_system.h"

namespace korvant {

namespace {

// The library's answer buffer, read in place and copied only when it is kept,
// always before the next call. A null one is read as no text rather than trusted.
std::string_view answerIn(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

std::string copyAnswer(const char* text) {
    return std::string(answerIn(text));
}

// The verdict on an answer text by one of the answer tables. A call that
// succeeded owes an answer: a null or empty text, like one that is not a
// well-formed answer, is ProtocolError, never an answer whose fields all read
// as zero.
Verdict judge(std::string_view text, AnswerMapping mapping) {
    AnswerCodes codes;
    if (text.empty() || readAnswerCodes(text, codes) != ErrorCode::NoError) {
        return {Next::Finish, ErrorCode::ProtocolError};
    }
    return mapAnswer(mapping, codes.response, codes.extended);
}

// A refusal or failure that came with an answer is logged with it: the
// register's message says why (a state it could not store, a value it refused),
// which the host's error code alone does not.
void logFailure(std::string_view where, ErrorCode code, const char* text) {
    if (code != ErrorCode::NoError && !answerIn(text).empty()) {
        KORVANT_LOG(where, "code ", static_cast<int32_t>(code), ", answer: ", answerIn(text));
    }
}

// A call's answer read into its record: the call's code when it failed, else
// the reading's.
template <typename Record>
ErrorCode readAnswer(ErrorCode called, const std::string& answer, Record& record) {
    return called != ErrorCode::NoError ? called : parseResponse(answer, record);
}

} // namespace

KorvantIntf::KorvantIntf() : clock_(TaskClock::system()) {}

void KorvantIntf::load(const PathText& path) {
    constexpr const char* kWhere = "KorvantIntf::load";
    if (loaded_) {
        return;
    }
    release();
    KORVANT_LOG(kWhere, "Search library in ", path.empty() ? "(null)" : pathToUtf8(path));
    // The loader reads the file: a FIFO or a device there would block the host.
    if (fileKind(path) == FileKind::Other) {
        KORVANT_LOG(kWhere, "Load library error: not a regular file");
        return;
    }
    module_ = platform::openLibrary(path);
    if (module_ == nullptr) {
        KORVANT_LOG(kWhere, "Load library error:", platform::lastErrorText());
        return;
    }
    int bound = 0;
    forEachFunction(functions_, [&](const char* name, auto& slot) {
        void* address = platform::findSymbol(module_, name);
        if (address == nullptr) {
            KORVANT_LOG(kWhere, "procedure not found");
            return;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
        ++bound;
    });
    loaded_ = bound == kKorvantFunctionCount;
}

void KorvantIntf::release() {
    platform::closeLibrary(module_);
    module_ = nullptr;
    functions_ = KorvantFunctions{};
}

void KorvantIntf::useFunctions(const KorvantFunctions& functions) {
    functions_ = functions;
    loaded_ = true;
}

std::string KorvantIntf::version() const {
    if (!loaded_ || functions_.version == nullptr) {
        return {};
    }
    int32_t major = 0, minor = 0, patch = 0, build = 0;
    functions_.version(&major, &minor, &patch, &build);
    return std::to_string(major) + '.' + std::to_string(minor) + '.' + std::to_string(patch);
}

ErrorCode KorvantIntf::open(const std::string& address, std::string_view expectedSerial,
                            int32_t& handle, std::string* answer) {
    constexpr const char* kWhere = "KorvantIntf::open";
    handle = 0;
    if (functions_.open == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    KORVANT_LOG(kWhere, address);
    const char* text = nullptr;
    const int32_t result = functions_.open(address.c_str(), kTimeoutMs, &text);
    KORVANT_LOG(kWhere, result);
    if (result == 0) {
        return ErrorCode::OtherError;
    }
    if (result < 0) {
        return ErrorCode::ProtocolError;
    }
    handle = result;
    const std::string answerText = copyAnswer(text);
    if (answerText.empty()) {
        return ErrorCode::ProtocolError;
    }
    KorvantResponseOpen opened;
    if (const auto code = parseResponse(answerText, opened); code != ErrorCode::NoError) {
        return code;
    }
    if (opened.response == 1) {
        return ErrorCode::ProtocolError;
    }
    if (opened.response == 7) {
        return ErrorCode::IncompatibleDriverVersion;
    }
    if (opened.serial != expectedSerial) {
        return ErrorCode::WrongSerialNumber;
    }
    if (answer != nullptr) {
        *answer = answerText;
    }
    return ErrorCode::NoError;
}

ErrorCode KorvantIntf::open(const std::string& address, std::string_view expectedSerial,
                            int32_t& handle, KorvantResponseOpen& opened) {
    std::string answer;
    const ErrorCode code = open(address, expectedSerial, handle, &answer);
    return readAnswer(code, answer, opened);
}

void KorvantIntf::close(int32_t handle) {
    if (functions_.close != nullptr) {
        functions_.close(handle);
    }
}

ErrorCode KorvantIntf::enter(int32_t handle) {
    return call(functions_.fremu_enter, AnswerMapping::FiscalMode, handle, nullptr);
}

ErrorCode KorvantIntf::exit(int32_t handle) {
    return call(functions_.fremu_exit, AnswerMapping::FiscalMode, handle, nullptr);
}

ErrorCode KorvantIntf::getInfo(int32_t handle, std::string* answer) {
    return call(functions_.get_info, AnswerMapping::Status, handle, answer);
}

ErrorCode KorvantIntf::getFdState(int32_t handle, std::string* answer) {
    return call(functions_.get_fdstate, AnswerMapping::Status, handle, answer);
}

ErrorCode KorvantIntf::getState(int32_t handle, std::string* answer) {
    return call(functions_.get_state, AnswerMapping::Status, handle, answer);
}

ErrorCode KorvantIntf::getMoney(int32_t handle, std::string* answer) {
    return call(functions_.fremu_get_money, AnswerMapping::Status, handle, answer);
}

template <typename Record>
ErrorCode KorvantIntf::query(CallFn function, int32_t handle, Record& record) {
    std::string answer;
    const ErrorCode called = call(function, AnswerMapping::Status, handle, &answer);
    return readAnswer(called, answer, record);
}

ErrorCode KorvantIntf::getInfo(int32_t handle, KorvantResponseGetInfo& info) {
    return query(functions_.get_info, handle, info);
}

ErrorCode KorvantIntf::getFdState(int32_t handle, KorvantResponseGetFdState& storage) {
    return query(functions_.get_fdstate, handle, storage);
}

ErrorCode KorvantIntf::getState(int32_t handle, KorvantResponseGetState& state) {
    return query(functions_.get_state, handle, state);
}

ErrorCode KorvantIntf::getMoney(int32_t handle, KorvantResponseGetMoney& money) {
    return query(functions_.fremu_get_money, handle, money);
}

ErrorCode KorvantIntf::getFdTag(int32_t handle, const std::string& request, std::string* answer) {
    if (functions_.get_fdtag == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    const char* text = nullptr;
    const int32_t result = functions_.get_fdtag(handle, kTimeoutMs, request.c_str(), &text);
    return judgeCall(result, text, AnswerMapping::Status, answer);
}

ErrorCode KorvantIntf::getFdTag(int32_t handle, uint16_t fdTag, uint32_t& value) {
    Request request;
    request.set(tag::fd_tag, static_cast<int32_t>(fdTag));
    std::string answer;
    const ErrorCode called = getFdTag(handle, request.text(), &answer);
    if (called != ErrorCode::NoError) {
        return called;
    }
    const auto member = unsignedMember(answer, fdTag);
    if (!member) {
        return ErrorCode::ProtocolError;
    }
    value = *member;
    return ErrorCode::NoError;
}

ErrorCode KorvantIntf::call(CallFn function, AnswerMapping mapping, int32_t handle,
                            std::string* answer) {
    if (function == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    const char* text = nullptr;
    const int32_t result = function(handle, kTimeoutMs, &text);
    return judgeCall(result, text, mapping, answer);
}

ErrorCode KorvantIntf::judgeCall(int32_t result, const char* text, AnswerMapping mapping,
                                 std::string* answer) {
    if (result != 0) {
        return libraryResultCode(result, LibraryCall::Plain);
    }
    const Verdict verdict = judge(answerIn(text), mapping);
    if (verdict.code == ErrorCode::NoError && answer != nullptr) {
        *answer = copyAnswer(text);
    }
    logFailure("KorvantIntf::call", verdict.code, text);
    return verdict.code;
}

ErrorCode KorvantIntf::runTask(int32_t handle, TaskFn function, const std::string& request,
                               std::string* answer) {
    unfinishedTask_.reset();
    if (function == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    uint32_t task = 0;
    const char* text = nullptr;
    const auto started = clock_.now();
    const int32_t result = function(handle, kTimeoutMs, &task, request.c_str(), &text);
    return followTask(handle, started, result, task, text, answer);
}

ErrorCode KorvantIntf::runCommand(int32_t handle, CommandFn function, std::string* answer) {
    unfinishedTask_.reset();
    if (function == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    uint32_t task = 0;
    const char* text = nullptr;
    const auto started = clock_.now();
    const int32_t result = function(handle, kTimeoutMs, &task, &text);
    return followTask(handle, started, result, task, text, answer);
}

ErrorCode KorvantIntf::followTask(int32_t handle, TaskClock::TimePoint started, int32_t result,
                                  uint32_t task, const char* answerText, std::string* answer) {
    if (result != 0) {
        return libraryResultCode(result, LibraryCall::TaskStart);
    }
    const Verdict start = judge(answerIn(answerText), AnswerMapping::TaskStart);
    if (start.next != Next::StartPolling) {
        logFailure("KorvantIntf::runTask", start.code, answerText);
        return start.code;
    }
    std::optional<TaskClock::TimePoint> deadline;
    if (policy_.timeout.count() > 0) {
        deadline = started + policy_.timeout;
    }
    return pollTask(handle, started, deadline, task, false, answer);
}

ErrorCode KorvantIntf::awaitTask(int32_t handle, uint32_t task, TaskClock::TimePoint deadline,
                                 std::string* answer) {
    unfinishedTask_.reset();
    return pollTask(handle, clock_.now(), deadline, task, true, answer);
}

ErrorCode KorvantIntf::pollTask(int32_t handle, TaskClock::TimePoint started,
                                std::optional<TaskClock::TimePoint> deadline, uint32_t task,
                                bool resumed, std::string* answer) {
    // An answer of the register that no longer knows the task.
    constexpr int32_t kRefused = 3;
    constexpr int32_t kUnknownTask = 104;
    if (functions_.fremu_query == nullptr) {
        return ErrorCode::DriverLoadError;
    }
    for (;;) {
        const char* text = nullptr;
        const int32_t result = functions_.fremu_query(handle, kTimeoutMs, task, &text);
        if (result != 0) {
            // The poll's answer was lost, not the task: it may still run.
            unfinishedTask_ = task;
            return libraryResultCode(result, LibraryCall::Plain);
        }
        AnswerCodes codes;
        if (resumed && readAnswerCodes(answerIn(text), codes) == ErrorCode::NoError &&
            codes.response == kRefused && codes.extended == kUnknownTask) {
            KORVANT_LOG("KorvantIntf::runTask", "task ", task,
                        " is no longer known: its end was answered before");
            return ErrorCode::ProtocolError;
        }
        const Verdict verdict = judge(answerIn(text), AnswerMapping::TaskEnd);
        switch (verdict.next) {
        case Next::Finish:
            if (verdict.code == ErrorCode::NoError && answer != nullptr) {
                *answer = copyAnswer(text);
            }
            logFailure("KorvantIntf::runTask", verdict.code, text);
            return verdict.code;
        case Next::FinishWithoutAnswer:
            if (answer != nullptr) {
                answer->clear();
            }
            return verdict.code;
        case Next::PollAgain:
        case Next::StartPolling:
            break;
        }
        const auto now = clock_.now();
        if (deadline && now >= *deadline) {
            KORVANT_LOG(
                "KorvantIntf::runTask", "task ", task, " still busy after ",
                std::chrono::duration_cast<std::chrono::milliseconds>(now - started).count(),
                " ms");
            unfinishedTask_ = task;
            return ErrorCode::ProtocolError;
        }
        clock_.sleep(pollWait(policy_, started, now, deadline));
    }
}

ErrorCode KorvantIntf::openShift(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_open_shift, request, answer);
}

ErrorCode KorvantIntf::openShift(int32_t handle, const std::string& request,
                                 KorvantResponseQuery& shift) {
    std::string answer;
    const ErrorCode called = openShift(handle, request, &answer);
    return readAnswer(called, answer, shift);
}

ErrorCode KorvantIntf::closeShift(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_close_shift, request, answer);
}

ErrorCode KorvantIntf::closeShift(int32_t handle, const std::string& request,
                                  KorvantResponseQuery& shift) {
    std::string answer;
    const ErrorCode called = closeShift(handle, request, &answer);
    return readAnswer(called, answer, shift);
}

ErrorCode KorvantIntf::openDoc(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_open_doc, request, answer);
}

ErrorCode KorvantIntf::addItem(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_add_item, request, answer);
}

ErrorCode KorvantIntf::addText(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_add_text, request, answer);
}

ErrorCode KorvantIntf::setAgent(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_set_agent, request, answer);
}

ErrorCode KorvantIntf::closeDoc(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_close_doc, request, answer);
}

ErrorCode KorvantIntf::closeDoc(int32_t handle, const std::string& request,
                                KorvantResponseQuery& closed) {
    std::string answer;
    const ErrorCode closing = closeDoc(handle, request, &answer);
    if (closing == ErrorCode::NoError && !unsignedMember(answer, tag::fd_number)) {
        return ErrorCode::ProtocolError;
    }
    return readAnswer(closing, answer, closed);
}

ErrorCode KorvantIntf::print(int32_t handle, const std::string& request, std::string* answer) {
    return runTask(handle, functions_.fremu_print, request, answer);
}

ErrorCode KorvantIntf::registration(int32_t handle, const std::string& request,
                                    std::string* answer) {
    return runTask(handle, functions_.fremu_registration, request, answer);
}

ErrorCode KorvantIntf::closeArchive(int32_t handle, const std::string& request,
                                    std::string* answer) {
    return runTask(handle, functions_.fremu_close_archive, request, answer);
}

ErrorCode KorvantIntf::cancelDoc(int32_t handle) {
    return runCommand(handle, functions_.fremu_cancel_doc);
}

ErrorCode KorvantIntf::reportX(int32_t handle, std::string* answer) {
    return runCommand(handle, functions_.fremu_report_x, answer);
}

ErrorCode KorvantIntf::reportState(int32_t handle, std::string* answer) {
    return runCommand(handle, functions_.fremu_report_state, answer);
}

ErrorCode KorvantIntf::reportState(int32_t handle, KorvantResponseQuery& report) {
    std::string answer;
    const ErrorCode called = reportState(handle, &answer);
    return readAnswer(called, answer, report);
}

} // namespace korvant
