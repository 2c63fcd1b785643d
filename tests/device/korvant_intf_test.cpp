#include "device/korvant_intf.h"

#include <functional>

#include <gtest/gtest.h>

#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "fake_functions.h"

using fake::kAccepted;
using fake::Reply;
using korvant::ErrorCode;
using korvant::KorvantIntf;
using korvant::TaskPolicy;

namespace {

constexpr const char* kBusy = R"({"response":3,"extended":103})";
constexpr const char* kDone = R"({"response":0,"extended":0,"data":{"fd_number":7}})";

class KorvantIntfTest : public testing::Test {
protected:
    void SetUp() override { fake::bind(intf); }

    int polls() const {
        int count = 0;
        for (const auto& call : fake::state.calls) {
            count += call.function == "query";
        }
        return count;
    }

    KorvantIntf intf;
};

TEST_F(KorvantIntfTest, TaskIsPolledUntilDone) {
    fake::script({{0, kAccepted}, {0, kBusy}, {0, kBusy}, {0, kBusy}, {0, kDone}});
    std::string answer;
    EXPECT_EQ(intf.runTask(9, intf.functions().fremu_open_doc, R"({"doc_kind":0})", &answer),
              ErrorCode::NoError);
    EXPECT_EQ(answer, kDone);
    EXPECT_EQ(fake::state.sleeps, 3);
    // The first waits of a task are the shortest ones.
    EXPECT_EQ(fake::state.now.time_since_epoch(), 3 * korvant::kMinPollDelay);
    ASSERT_EQ(fake::state.calls.size(), 5u);
    const auto& start = fake::state.calls.front();
    EXPECT_EQ(start.function, "open_doc");
    EXPECT_EQ(start.handle, 9);
    EXPECT_EQ(start.timeoutMs, 5000);
    EXPECT_EQ(start.task, 0u); // the out task number starts at 0
    EXPECT_EQ(start.request, R"({"doc_kind":0})");
    for (size_t i = 1; i < fake::state.calls.size(); ++i) {
        EXPECT_EQ(fake::state.calls[i].handle, 9);
        EXPECT_EQ(fake::state.calls[i].timeoutMs, 5000);
        EXPECT_EQ(fake::state.calls[i].task, 42u);
    }
}

TEST_F(KorvantIntfTest, StartOutcomes) {
    struct Row {
        Reply start;
        ErrorCode expected;
        int polls;
    };
    const Row rows[] = {
        {{-1, kAccepted}, ErrorCode::InvalidDeviceId, 0},
        {{-8, kAccepted}, ErrorCode::InputParametersError, 0},
        {{-5, kAccepted}, ErrorCode::ProtocolError, 0},
        {{0, kBusy}, ErrorCode::OperationFailed, 0}, // not busy before the task runs
        {{0, R"({"response":3,"extended":114})"}, ErrorCode::ShiftAlreadyClosed, 0},
        {{0, R"({"response":2})"}, ErrorCode::InputParametersError, 0},
        {{0, R"({"response":7})"}, ErrorCode::IncompatibleDriverVersion, 0},
        {{0, "{oops"}, ErrorCode::ProtocolError, 0},
        {{0, R"({"response":5})"}, ErrorCode::NoError, 1}, // unlisted: polled
        {{0, R"({"extended":9})"}, ErrorCode::NoError, 1}, // no response: R 0
        // A call that succeeded owes an answer: none at all is no "accepted".
        {{0, std::nullopt}, ErrorCode::ProtocolError, 0},
        {{0, ""}, ErrorCode::ProtocolError, 0},
        {{0, R"({"response":4294967296})"}, ErrorCode::ProtocolError, 0}, // beyond 32 bits
    };
    for (const auto& row : rows) {
        fake::bind(intf);
        fake::script({row.start, {0, kDone}});
        EXPECT_EQ(intf.openShift(1, "null"), row.expected) << row.start.answer.value_or("(none)");
        EXPECT_EQ(polls(), row.polls) << row.start.answer.value_or("(none)");
    }
}

TEST_F(KorvantIntfTest, EndOutcomes) {
    struct Row {
        Reply end;
        ErrorCode expected;
        const char* answer;
    };
    const Row rows[] = {
        {{0, kDone}, ErrorCode::NoError, kDone},
        {{0, R"({"response":0,"extended":5,"data":{"fd_number":7}})"}, ErrorCode::NoError, ""},
        {{0, R"({"response":2})"}, ErrorCode::NoError, ""},
        {{0, R"({"response":9})"}, ErrorCode::NoError, ""},
        {{0, R"({"response":1})"}, ErrorCode::ProtocolError, "untouched"},
        {{0, R"({"response":3,"extended":109})"}, ErrorCode::PaymentParametersError, "untouched"},
        {{0, R"({"response":3,"extended":110})"}, ErrorCode::OperationFailed, "untouched"},
        {{0, R"({"response":4})"}, ErrorCode::WrongSerialNumber, "untouched"},
        {{0, R"({"response":7})"}, ErrorCode::IncompatibleDriverVersion, "untouched"},
        {{0, R"({"response":[0]})"}, ErrorCode::ProtocolError, "untouched"},
        {{-1, kDone}, ErrorCode::InvalidDeviceId, "untouched"},
        {{-8, kDone}, ErrorCode::ProtocolError, "untouched"}, // -8 only counts when starting
        // An empty final answer is no success whose fields all read zero.
        {{0, ""}, ErrorCode::ProtocolError, "untouched"},
        {{0, std::nullopt}, ErrorCode::ProtocolError, "untouched"},
        {{0, R"({"response":0,"extended":-2147483649})"}, ErrorCode::ProtocolError, "untouched"},
    };
    for (const auto& row : rows) {
        fake::bind(intf);
        fake::script({{0, kAccepted}, row.end});
        std::string answer = "untouched";
        EXPECT_EQ(intf.closeDoc(1, "{}", &answer), row.expected) << row.end.answer.value_or("");
        EXPECT_EQ(answer, row.answer) << row.end.answer.value_or("");
    }
}

TEST_F(KorvantIntfTest, TaskEndingWithoutTextReadsAsAnswerWithoutData) {
    fake::script({{0, kAccepted}, {0, R"({"response":0,"extended":5})"}});
    std::string answer;
    ASSERT_EQ(intf.closeShift(1, "{}", &answer), ErrorCode::NoError);
    korvant::KorvantResponseQuery query;
    EXPECT_EQ(korvant::parseResponse(answer, query), ErrorCode::NoError);
    EXPECT_EQ(query.shift_id, 0);
}

TEST_F(KorvantIntfTest, ForeverBusyTaskTimesOut) {
    intf.setTaskPolicy(TaskPolicy{std::chrono::milliseconds(200), std::chrono::seconds(1)});
    fake::script({{0, kAccepted}});
    fake::state.whenEmpty = Reply{0, kBusy};
    std::string answer = "untouched";
    EXPECT_EQ(intf.addItem(1, "{}", &answer), ErrorCode::ProtocolError);
    EXPECT_EQ(answer, "untouched");
    EXPECT_EQ(fake::state.sleeps, 5);
    EXPECT_EQ(polls(), 6);
}

TEST_F(KorvantIntfTest, ZeroTimeoutWaitsAsLongAsItTakes) {
    intf.setTaskPolicy(TaskPolicy{std::chrono::milliseconds(200), std::chrono::seconds(0)});
    fake::script({{0, kAccepted}});
    for (int i = 0; i < 5000; ++i) {
        fake::script({{0, kBusy}});
    }
    fake::script({{0, kDone}});
    EXPECT_EQ(intf.addItem(1, "{}"), ErrorCode::NoError);
    EXPECT_EQ(fake::state.sleeps, 5000);
}

TEST_F(KorvantIntfTest, PollIntervalComesFromThePolicy) {
    intf.setTaskPolicy(TaskPolicy{std::chrono::milliseconds(50), std::chrono::seconds(600)});
    fake::script({{0, kAccepted}, {0, kBusy}, {0, kBusy}, {0, kDone}});
    EXPECT_EQ(intf.addText(1, "{}"), ErrorCode::NoError);
    EXPECT_EQ(fake::state.now.time_since_epoch(), std::chrono::milliseconds(100));
}

TEST_F(KorvantIntfTest, NamedOperationsCallTheirFunctions) {
    using Op = std::function<ErrorCode(KorvantIntf&)>;
    const std::pair<Op, const char*> rows[] = {
        {[](KorvantIntf& k) { return k.openShift(1, "{}"); }, "open_shift"},
        {[](KorvantIntf& k) { return k.closeShift(1, "{}"); }, "close_shift"},
        {[](KorvantIntf& k) { return k.openDoc(1, "{}"); }, "open_doc"},
        {[](KorvantIntf& k) { return k.addItem(1, "{}"); }, "add_item"},
        {[](KorvantIntf& k) { return k.addText(1, "{}"); }, "add_text"},
        {[](KorvantIntf& k) { return k.setAgent(1, "{}"); }, "set_agent"},
        {[](KorvantIntf& k) { return k.closeDoc(1, "{}"); }, "close_doc"},
        {[](KorvantIntf& k) { return k.print(1, "{}"); }, "print"},
        {[](KorvantIntf& k) { return k.registration(1, "{}"); }, "registration"},
        {[](KorvantIntf& k) { return k.closeArchive(1, "{}"); }, "close_archive"},
        {[](KorvantIntf& k) { return k.cancelDoc(1); }, "cancel_doc"},
        {[](KorvantIntf& k) { return k.reportX(1); }, "report_x"},
        {[](KorvantIntf& k) { return k.reportState(1); }, "report_state"},
    };
    for (const auto& [operation, function] : rows) {
        fake::bind(intf);
        fake::script({{0, kAccepted}, {0, kDone}});
        EXPECT_EQ(operation(intf), ErrorCode::NoError) << function;
        ASSERT_EQ(fake::state.calls.size(), 2u) << function;
        EXPECT_EQ(fake::state.calls[0].function, function);
        EXPECT_EQ(fake::state.calls[1].function, "query");
    }
}

TEST_F(KorvantIntfTest, OpenOutcomes) {
    struct Row {
        Reply reply;
        const char* expectedSerial;
        ErrorCode expected;
        int32_t handle;
    };
    const char* good = R"({"response":0,"data":{"serial":"0012345","version":"2.1.0"}})";
    const Row rows[] = {
        {{5, good}, "0012345", ErrorCode::NoError, 5},
        {{0, good}, "0012345", ErrorCode::OtherError, 0},
        {{-3, good}, "0012345", ErrorCode::ProtocolError, 0},
        {{5, good}, "0012346", ErrorCode::WrongSerialNumber, 5},
        {{5, good}, "", ErrorCode::WrongSerialNumber, 5},
        {{5, good}, "001234", ErrorCode::WrongSerialNumber, 5},
        {{5, R"({"response":1,"data":{"serial":"0012345"}})"},
         "0012345",
         ErrorCode::ProtocolError,
         5},
        {{5, R"({"response":7})"}, "0012345", ErrorCode::IncompatibleDriverVersion, 5},
        {{5, R"({"response":3,"data":{"serial":"0012345"}})"}, "0012345", ErrorCode::NoError, 5},
        {{5, R"({"data":{"serial":0}})"}, "0012345", ErrorCode::ProtocolError, 5},
        {{5, std::nullopt}, "", ErrorCode::ProtocolError, 5},
        {{5, ""}, "", ErrorCode::ProtocolError, 5},
    };
    for (const auto& row : rows) {
        fake::bind(intf);
        fake::script({row.reply});
        int32_t handle = -1;
        EXPECT_EQ(intf.open("192.168.0.7:5555", row.expectedSerial, handle), row.expected)
            << row.reply.result << " " << row.reply.answer.value_or("(none)");
        EXPECT_EQ(handle, row.handle);
        EXPECT_EQ(fake::state.calls.at(0).request, "192.168.0.7:5555");
        EXPECT_EQ(fake::state.calls.at(0).timeoutMs, 5000);
    }
}

TEST_F(KorvantIntfTest, OpenCopiesTheAnswerOnlyOnSuccess) {
    const char* good = R"({"data":{"serial":"77"}})";
    fake::script({{3, good}});
    int32_t handle = 0;
    std::string answer;
    ASSERT_EQ(intf.open("addr", "77", handle, &answer), ErrorCode::NoError);
    EXPECT_EQ(answer, good);

    fake::script({{3, good}});
    answer = "untouched";
    EXPECT_EQ(intf.open("addr", "78", handle, &answer), ErrorCode::WrongSerialNumber);
    EXPECT_EQ(answer, "untouched");
}

TEST_F(KorvantIntfTest, StatusCalls) {
    using Call = std::function<ErrorCode(KorvantIntf&, std::string*)>;
    const std::pair<Call, const char*> calls[] = {
        {[](KorvantIntf& k, std::string* a) { return k.getInfo(4, a); }, "get_info"},
        {[](KorvantIntf& k, std::string* a) { return k.getFdState(4, a); }, "get_fdstate"},
        {[](KorvantIntf& k, std::string* a) { return k.getState(4, a); }, "get_state"},
        {[](KorvantIntf& k, std::string* a) { return k.getMoney(4, a); }, "get_money"},
        {[](KorvantIntf& k, std::string* a) { return k.getFdTag(4, R"({"fd_tag":60})", a); },
         "get_fdtag"},
    };
    const std::pair<Reply, ErrorCode> rows[] = {
        {{0, R"({"response":0})"}, ErrorCode::NoError},
        {{0, R"({"response":3,"extended":106})"}, ErrorCode::NoError},
        {{0, R"({"response":1})"}, ErrorCode::ProtocolError},
        {{0, R"({"response":4})"}, ErrorCode::WrongSerialNumber},
        {{0, R"({"response":7})"}, ErrorCode::IncompatibleDriverVersion},
        {{0, "]"}, ErrorCode::ProtocolError},
        {{-1, "{}"}, ErrorCode::InvalidDeviceId},
        {{-8, "{}"}, ErrorCode::ProtocolError},
        {{0, ""}, ErrorCode::ProtocolError},
    };
    for (const auto& [call, function] : calls) {
        for (const auto& [reply, expected] : rows) {
            fake::bind(intf);
            fake::script({reply});
            std::string answer = "untouched";
            EXPECT_EQ(call(intf, &answer), expected) << function << " " << *reply.answer;
            EXPECT_EQ(answer, expected == ErrorCode::NoError ? *reply.answer : "untouched");
            ASSERT_EQ(fake::state.calls.size(), 1u);
            EXPECT_EQ(fake::state.calls[0].function, function);
            EXPECT_EQ(fake::state.calls[0].handle, 4);
            EXPECT_EQ(fake::state.calls[0].timeoutMs, 5000);
        }
    }
}

// The typed queries answer the call's code when it failed and the reading's
// when it did not: a record is filled only from an answer the call accepted.
TEST_F(KorvantIntfTest, TypedQueriesReadTheirRecords) {
    struct Row {
        Reply reply;
        ErrorCode expected;
        int32_t lineLength;
    };
    const Row rows[] = {
        {{0, R"({"response":0,"data":{"line_length":48}})"}, ErrorCode::NoError, 48},
        {{0, R"({"response":0})"}, ErrorCode::NoError, 0},
        {{0, R"({"response":4,"data":{"line_length":48}})"}, ErrorCode::WrongSerialNumber, 0},
        {{-1, R"({"data":{"line_length":48}})"}, ErrorCode::InvalidDeviceId, 0},
        {{0, R"({"response":0,"data":{"line_length":"wide"}})"}, ErrorCode::ProtocolError, 0},
    };
    for (const auto& [reply, expected, lineLength] : rows) {
        fake::bind(intf);
        fake::script({reply});
        korvant::KorvantResponseGetInfo info;
        EXPECT_EQ(intf.getInfo(4, info), expected) << *reply.answer;
        if (expected == ErrorCode::NoError) {
            EXPECT_EQ(info.line_length, lineLength) << *reply.answer;
        }
        ASSERT_EQ(fake::state.calls.size(), 1u);
        EXPECT_EQ(fake::state.calls[0].function, "get_info");
    }
    // The other three read their own records from their own functions.
    fake::bind(intf);
    fake::script({{0, R"({"response":0,"data":{"fd_last_doc":12}})"},
                  {0, R"({"response":0,"data":{"dev_context":512}})"},
                  {0, R"({"response":0,"data":{"shift_cash":5000000012300}})"}});
    korvant::KorvantResponseGetFdState storage;
    korvant::KorvantResponseGetState registerState;
    korvant::KorvantResponseGetMoney money;
    EXPECT_EQ(intf.getFdState(4, storage), ErrorCode::NoError);
    EXPECT_EQ(intf.getState(4, registerState), ErrorCode::NoError);
    EXPECT_EQ(intf.getMoney(4, money), ErrorCode::NoError);
    EXPECT_EQ(storage.fd_last_doc, 12);
    EXPECT_TRUE(registerState.documentOpen());
    // Ten-thousandths beyond 32 bits: the drawer of a busy shift.
    EXPECT_EQ(money.shift_cash_units, 5000000012300);
    EXPECT_DOUBLE_EQ(money.shift_cash, 500000001.23);
    EXPECT_EQ(fake::state.calls.at(0).function, "get_fdstate");
    EXPECT_EQ(fake::state.calls.at(1).function, "get_state");
    EXPECT_EQ(fake::state.calls.at(2).function, "get_money");
}

// A value the register keeps is asked for by its tag and read by its name; an
// answer without it is no value.
TEST_F(KorvantIntfTest, TypedTagQueryAsksByTagAndReadsTheNumber) {
    const std::pair<Reply, ErrorCode> rows[] = {
        {{0, R"({"response":0,"data":{"fd_sign":4294967295}})"}, ErrorCode::NoError},
        {{0, R"({"response":0,"data":{"fd_number":5}})"}, ErrorCode::ProtocolError},
        {{0, R"({"response":0,"data":{"fd_sign":-1}})"}, ErrorCode::NoError}, // the same 32 bits
        {{0, R"({"response":0,"data":{"fd_sign":4294967296}})"}, ErrorCode::ProtocolError},
        {{0, R"({"response":4,"data":{"fd_sign":5}})"}, ErrorCode::WrongSerialNumber},
    };
    for (const auto& [reply, expected] : rows) {
        fake::bind(intf);
        fake::script({reply});
        uint32_t sign = 17;
        EXPECT_EQ(intf.getFdTag(4, korvant::tag::fd_sign, sign), expected) << *reply.answer;
        EXPECT_EQ(sign, expected == ErrorCode::NoError ? 4294967295u : 17u) << *reply.answer;
        ASSERT_EQ(fake::state.calls.size(), 1u);
        EXPECT_EQ(fake::state.calls[0].request,
                  R"({"fd_tag":)" + std::to_string(korvant::tag::fd_sign) + "}");
    }
    // Opening reads the register's description of itself only once it is accepted.
    fake::bind(intf);
    fake::script({{3, R"({"data":{"serial":"77","version":"2.1"}})"}});
    int32_t handle = 0;
    korvant::KorvantResponseOpen opened;
    ASSERT_EQ(intf.open("addr", "77", handle, opened), ErrorCode::NoError);
    EXPECT_EQ(opened.version, "2.1");
    fake::script({{3, R"({"data":{"serial":"78","version":"2.1"}})"}});
    korvant::KorvantResponseOpen other;
    EXPECT_EQ(intf.open("addr", "77", handle, other), ErrorCode::WrongSerialNumber);
    EXPECT_EQ(other.version, "");
}

TEST_F(KorvantIntfTest, TypedTasksReadTheRegistersRecord) {
    struct Row {
        Reply end;
        ErrorCode expected;
        uint32_t number;
    };
    // A closing's record must name the document it made: without the number
    // the outcome is unknown, as for an answer that does not read.
    const Row rows[] = {
        {{0, R"({"response":0,"data":{"fd_number":8,"fd_sign":99,"shift_id":2}})"},
         ErrorCode::NoError,
         8},
        {{0, R"({"response":0,"data":{"shift_id":2}})"}, ErrorCode::ProtocolError, 0},
        {{0, R"({"response":0,"extended":5})"}, ErrorCode::ProtocolError, 0},
        {{0, R"({"response":0,"data":{"fd_number":8,"shift_id":"two"}})"},
         ErrorCode::ProtocolError,
         0},
        {{0, R"({"response":3,"extended":109})"}, ErrorCode::PaymentParametersError, 0},
    };
    for (const auto& [end, expected, number] : rows) {
        fake::bind(intf);
        fake::script({{0, kAccepted}, end});
        korvant::KorvantResponseQuery closed;
        EXPECT_EQ(intf.closeDoc(3, "{}", closed), expected) << *end.answer;
        EXPECT_EQ(closed.fd_number, number) << *end.answer;
        EXPECT_EQ(fake::state.calls.at(0).function, "close_doc");
    }
    // The shift tasks and the settlement report read theirs from their own functions;
    // a shift record needs no document number.
    using Task = std::function<ErrorCode(korvant::KorvantResponseQuery&)>;
    const std::pair<const char*, Task> tasks[] = {
        {"open_shift", [&](auto& shift) { return intf.openShift(3, "{}", shift); }},
        {"close_shift", [&](auto& shift) { return intf.closeShift(3, "{}", shift); }},
        {"report_state", [&](auto& report) { return intf.reportState(3, report); }},
    };
    for (const auto& [function, task] : tasks) {
        fake::bind(intf);
        fake::script(
            {{0, kAccepted}, {0, R"({"response":0,"data":{"shift_id":5,"shift_cash":125000}})"}});
        korvant::KorvantResponseQuery shift;
        EXPECT_EQ(task(shift), ErrorCode::NoError) << function;
        EXPECT_EQ(shift.shift_id, 5) << function;
        EXPECT_EQ(shift.shift_cash, 12.5) << function;
        EXPECT_EQ(fake::state.calls.at(0).function, function);
    }
}

TEST_F(KorvantIntfTest, FiscalModeCalls) {
    const std::pair<Reply, ErrorCode> rows[] = {
        {{0, R"({"response":0})"}, ErrorCode::NoError},
        {{0, R"({"response":3,"extended":101})"}, ErrorCode::NoError},
        {{0, R"({"response":3,"extended":102})"}, ErrorCode::OperationFailed},
        {{0, R"({"response":2})"}, ErrorCode::OtherError},
        {{0, R"({"response":4})"}, ErrorCode::WrongSerialNumber},
        {{-1, "{}"}, ErrorCode::InvalidDeviceId},
        {{-2, "{}"}, ErrorCode::ProtocolError},
        {{0, ""}, ErrorCode::ProtocolError},
    };
    for (const auto& [reply, expected] : rows) {
        fake::bind(intf);
        fake::script({reply, reply});
        EXPECT_EQ(intf.enter(2), expected) << *reply.answer;
        EXPECT_EQ(intf.exit(2), expected) << *reply.answer;
        EXPECT_EQ(fake::state.calls.at(0).function, "enter");
        EXPECT_EQ(fake::state.calls.at(1).function, "exit");
    }
}

TEST(KorvantIntfUnbound, CallsFailWithDriverLoadError) {
    KorvantIntf intf;
    EXPECT_FALSE(intf.loaded());
    int32_t handle = 9;
    EXPECT_EQ(intf.open("a", "b", handle), ErrorCode::DriverLoadError);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(intf.getInfo(1), ErrorCode::DriverLoadError);
    EXPECT_EQ(intf.cancelDoc(1), ErrorCode::DriverLoadError);
    EXPECT_EQ(intf.openDoc(1, "{}"), ErrorCode::DriverLoadError);
    EXPECT_EQ(intf.version(), "");
    intf.close(1); // nothing to call, nothing happens
}

} // namespace
