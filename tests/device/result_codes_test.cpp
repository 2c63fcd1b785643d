// The library's own results by the kind of call. What its answers' codes become is the fault
// matrix's (tests/driver/hardening/fault_matrix_test.cpp): every documented answer, end to end,
// in every operation.
#include "device/result_codes.h"

#include <gtest/gtest.h>

using korvant::ErrorCode;
using korvant::LibraryCall;

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

} // namespace
