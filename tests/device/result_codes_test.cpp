#include "device/result_codes.h"

#include <gtest/gtest.h>

using korvant::AnswerMapping;
using korvant::ErrorCode;
using korvant::LibraryCall;
using korvant::Next;
using korvant::Verdict;

namespace {

using E = ErrorCode;

TEST(LibraryResult, MapsByCallKind) {
    struct Row {
        int32_t result;
        LibraryCall call;
        ErrorCode expected;
    };
    const Row rows[] = {
        {0, LibraryCall::Plain, E::NoError},
        {0, LibraryCall::TaskStart, E::NoError},
        {-1, LibraryCall::Plain, E::InvalidDeviceId},
        {-1, LibraryCall::TaskStart, E::InvalidDeviceId},
        {-8, LibraryCall::TaskStart, E::InputParametersError},
        {-8, LibraryCall::Plain, E::ProtocolError},
        {-2, LibraryCall::TaskStart, E::ProtocolError},
        {1, LibraryCall::Plain, E::ProtocolError},
        {INT32_MIN, LibraryCall::TaskStart, E::ProtocolError},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(korvant::libraryResultCode(row.result, row.call), row.expected)
            << "result " << row.result;
    }
}

TEST(SubCode, MapsListedCodesAndOthersToOperationFailed) {
    const std::pair<int32_t, ErrorCode> rows[] = {
        {106, E::InputParametersError},   {107, E::ShiftAlreadyOpen}, {108, E::ShiftTooLong},
        {109, E::PaymentParametersError}, {112, E::NotEnoughMoney},   {113, E::OperationNotAllowed},
        {114, E::ShiftAlreadyClosed},     {110, E::OperationFailed},  {111, E::OperationFailed},
        {103, E::OperationFailed},        {0, E::OperationFailed},    {-106, E::OperationFailed},
    };
    for (const auto& [extended, expected] : rows) {
        EXPECT_EQ(korvant::subCodeError(extended), expected) << "E " << extended;
    }
}

struct AnswerCase {
    AnswerMapping mapping;
    int32_t response;
    int32_t extended;
    Verdict expected;
};

constexpr Verdict finish(ErrorCode code) {
    return {Next::Finish, code};
}
constexpr Verdict kPoll{Next::StartPolling, E::NoError};
constexpr Verdict kBusy{Next::PollAgain, E::NoError};
constexpr Verdict kNoAnswer{Next::FinishWithoutAnswer, E::NoError};

TEST(AnswerMapping, EveryRowOfEveryTable) {
    using M = AnswerMapping;
    const AnswerCase cases[] = {
        // Start of a task.
        {M::TaskStart, 0, 0, kPoll},
        {M::TaskStart, 0, 77, kPoll},
        {M::TaskStart, 1, 0, finish(E::ProtocolError)},
        {M::TaskStart, 2, 0, finish(E::InputParametersError)},
        {M::TaskStart, 3, 103, finish(E::OperationFailed)}, // busy only while polling
        {M::TaskStart, 3, 107, finish(E::ShiftAlreadyOpen)},
        {M::TaskStart, 4, 0, finish(E::WrongSerialNumber)},
        {M::TaskStart, 7, 0, finish(E::IncompatibleDriverVersion)},
        {M::TaskStart, 5, 0, kPoll},
        {M::TaskStart, -1, 0, kPoll},
        // Polls of a running task.
        {M::TaskEnd, 0, 0, finish(E::NoError)},
        {M::TaskEnd, 0, 5, kNoAnswer},
        {M::TaskEnd, 1, 0, finish(E::ProtocolError)},
        {M::TaskEnd, 2, 0, kNoAnswer},
        {M::TaskEnd, 3, 103, kBusy},
        {M::TaskEnd, 3, 112, finish(E::NotEnoughMoney)},
        {M::TaskEnd, 3, 0, finish(E::OperationFailed)},
        {M::TaskEnd, 4, 0, finish(E::WrongSerialNumber)},
        {M::TaskEnd, 7, 0, finish(E::IncompatibleDriverVersion)},
        {M::TaskEnd, 6, 0, kNoAnswer},
        // Calls that answer at once.
        {M::Status, 0, 0, finish(E::NoError)},
        {M::Status, 1, 0, finish(E::ProtocolError)},
        {M::Status, 2, 0, finish(E::NoError)},
        {M::Status, 3, 106, finish(E::NoError)},
        {M::Status, 4, 0, finish(E::WrongSerialNumber)},
        {M::Status, 7, 0, finish(E::IncompatibleDriverVersion)},
        {M::Status, 9, 0, finish(E::NoError)},
        // Entering and leaving fiscal-register mode.
        {M::FiscalMode, 0, 0, finish(E::NoError)},
        {M::FiscalMode, 0, 9, finish(E::NoError)},
        {M::FiscalMode, 3, 101, finish(E::NoError)},
        {M::FiscalMode, 3, 102, finish(E::OperationFailed)},
        {M::FiscalMode, 3, 106, finish(E::OperationFailed)},
        {M::FiscalMode, 1, 0, finish(E::ProtocolError)},
        {M::FiscalMode, 4, 0, finish(E::WrongSerialNumber)},
        {M::FiscalMode, 7, 0, finish(E::IncompatibleDriverVersion)},
        {M::FiscalMode, 2, 0, finish(E::OtherError)},
        {M::FiscalMode, 5, 101, finish(E::OtherError)},
    };
    for (const auto& c : cases) {
        const Verdict verdict = korvant::mapAnswer(c.mapping, c.response, c.extended);
        EXPECT_EQ(verdict, c.expected) << "table " << static_cast<int>(c.mapping) << " R "
                                       << c.response << " E " << c.extended;
    }
}

} // namespace
