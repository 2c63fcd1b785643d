#include "device/result_codes.h"

#include <optional>
#include <span>

namespace korvant {

namespace {

using E = ErrorCode;

constexpr int32_t kInvalidHandle = -1;
constexpr int32_t kBadRequest = -8;

struct SubCodeRow {
    int32_t extended;
    ErrorCode code;
};

constexpr SubCodeRow kSubCodes[] = {
    {106, E::InputParametersError},   {107, E::ShiftAlreadyOpen}, {108, E::ShiftTooLong},
    {109, E::PaymentParametersError}, {112, E::NotEnoughMoney},   {113, E::OperationNotAllowed},
    {114, E::ShiftAlreadyClosed},
};

constexpr std::nullopt_t kAny = std::nullopt;

// One row of an answer table; the first row that matches decides. With
// `bySubCode` the code comes from the sub-code map instead of `code`.
struct AnswerRow {
    std::optional<int32_t> response;
    std::optional<int32_t> extended;
    Next next;
    ErrorCode code;
    bool bySubCode = false;
};

constexpr AnswerRow kTaskStart[] = {
    {0, kAny, Next::StartPolling, E::NoError},
    {1, kAny, Next::Finish, E::ProtocolError},
    {2, kAny, Next::Finish, E::InputParametersError},
    {3, kAny, Next::Finish, E::OperationFailed, true},
    {4, kAny, Next::Finish, E::WrongSerialNumber},
    {7, kAny, Next::Finish, E::IncompatibleDriverVersion},
    {kAny, kAny, Next::StartPolling, E::NoError},
};

constexpr AnswerRow kTaskEnd[] = {
    {0, 0, Next::Finish, E::NoError},
    {0, kAny, Next::FinishWithoutAnswer, E::NoError},
    {1, kAny, Next::Finish, E::ProtocolError},
    {2, kAny, Next::FinishWithoutAnswer, E::NoError},
    {3, 103, Next::PollAgain, E::NoError},
    {3, kAny, Next::Finish, E::OperationFailed, true},
    {4, kAny, Next::Finish, E::WrongSerialNumber},
    {7, kAny, Next::Finish, E::IncompatibleDriverVersion},
    {kAny, kAny, Next::FinishWithoutAnswer, E::NoError},
};

constexpr AnswerRow kStatus[] = {
    {1, kAny, Next::Finish, E::ProtocolError},
    {4, kAny, Next::Finish, E::WrongSerialNumber},
    {7, kAny, Next::Finish, E::IncompatibleDriverVersion},
    {kAny, kAny, Next::Finish, E::NoError},
};

constexpr AnswerRow kFiscalMode[] = {
    {0, kAny, Next::Finish, E::NoError},
    {3, 101, Next::Finish, E::NoError},
    {1, kAny, Next::Finish, E::ProtocolError},
    {4, kAny, Next::Finish, E::WrongSerialNumber},
    {7, kAny, Next::Finish, E::IncompatibleDriverVersion},
    {3, kAny, Next::Finish, E::OperationFailed},
    {kAny, kAny, Next::Finish, E::OtherError},
};

std::span<const AnswerRow> table(AnswerMapping mapping) {
    switch (mapping) {
    case AnswerMapping::TaskStart:
        return kTaskStart;
    case AnswerMapping::TaskEnd:
        return kTaskEnd;
    case AnswerMapping::Status:
        return kStatus;
    case AnswerMapping::FiscalMode:
        return kFiscalMode;
    }
    return kStatus;
}

bool matches(const std::optional<int32_t>& pattern, int32_t value) {
    return !pattern || *pattern == value;
}

} // namespace

ErrorCode libraryResultCode(int32_t result, LibraryCall call) {
    if (result == 0) {
        return E::NoError;
    }
    if (result == kInvalidHandle) {
        return E::InvalidDeviceId;
    }
    if (result == kBadRequest && call == LibraryCall::TaskStart) {
        return E::InputParametersError;
    }
    return E::ProtocolError;
}

ErrorCode subCodeError(int32_t extended) {
    for (const auto& row : kSubCodes) {
        if (row.extended == extended) {
            return row.code;
        }
    }
    return E::OperationFailed;
}

Verdict mapAnswer(AnswerMapping mapping, int32_t response, int32_t extended) {
    for (const auto& row : table(mapping)) {
        if (matches(row.response, response) && matches(row.extended, extended)) {
            return {row.next, row.bySubCode ? subCodeError(extended) : row.code};
        }
    }
    // Every table ends with a row that matches anything.
    return {Next::Finish, E::ProtocolError};
}

} // namespace korvant
