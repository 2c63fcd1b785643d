// OpenShift and CloseShift against the emulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "documents/date_time.h"
#include "operations_fixture.h"

namespace korvant::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kOpenShift = "korvant3_fremu_open_shift";
constexpr std::string_view kCloseShift = "korvant3_fremu_close_shift";

class ShiftTest : public OpenDeviceTest {
protected:
    host::CallResult openShift(std::string_view input = R"(CashierName="Иванов")") {
        return callOnDevice("OpenShift", {Value::text(inputParameters(input)), Value::empty()});
    }
    host::CallResult closeShift(std::string_view input = R"(CashierName="Иванов")") {
        return callOnDevice("CloseShift", {Value::text(inputParameters(input)), Value::empty()});
    }
};

TEST_F(ShiftTest, RequestsNameTheCashier) {
    struct Case {
        std::string input;
        std::string request;
    };
    const std::vector<Case> cases = {
        {R"(CashierName="Иванов И.И." CashierINN="500100732259")",
         R"({"user_inn":"500100732259","user_name":"Иванов И.И."})"},
        {R"(CashierName="Иванов И.И." CashierINN="")", R"({"user_name":"Иванов И.И."})"},
        {R"(CashierName="Иванов И.И." CashierInn="500100732259")",
         R"({"user_name":"Иванов И.И."})"},
        {"", R"({"user_name":""})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        session.clearJournal();
        EXPECT_TRUE(openShift(c.input).succeeded());
        EXPECT_TRUE(closeShift(c.input).succeeded());
        EXPECT_THAT(session.requestTextsTo(kOpenShift), ElementsAre(c.request));
        EXPECT_THAT(session.requestTextsTo(kCloseShift), ElementsAre(c.request));
    }
}

TEST_F(ShiftTest, OpenShiftReportsTheOpenedShift) {
    const auto result = openShift();
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(lastCode(), 0);
    EXPECT_EQ(result.text(2),
              outputParameters("DateTime=\"" + FormatDateTime(1700000000) +
                               R"(" ShiftNumber="1" ShiftState="2" )"
                               R"(FNError="false" FNFail="false" FNOverflow="false")"));
}

TEST_F(ShiftTest, CloseShiftReportsStateBalanceBacklogAndCounters) {
    ASSERT_TRUE(openShift().succeeded());
    session.inject(finalAnswerRule(
        kCloseShift,
        R"({"response":0,"extended":0,"data":{"fd_date":1700000100,"shift_id":12,)"
        R"("fd_shift_state":0,"fd_error":1,"fd_fail":0,"fd_overflow":1,"shift_cash":1001000,)"
        R"("fd_waiting":2,"fd_waiting_document":17,"fd_waiting_date":1700000050,)"
        R"("sales":{"check_count":3,"check_total":1234500},)"
        R"("buys":{"check_count":1,"check_total":10000},)"
        R"("sales_return":{"check_count":2,"check_total":500000},)"
        R"("buys_return":{"check_count":4,"check_total":1001000},)"
        R"("sales_correction":{"check_count":5,"check_total":20000},)"
        R"("buys_correction":{"check_count":6,"check_total":30000}}})"));
    const auto result = closeShift();
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(
        result.text(2),
        outputParameters(
            "DateTime=\"" + FormatDateTime(1700000100) +
                R"(" ShiftNumber="12" ShiftState="1" FNError="true" FNFail="false" )"
                R"(FNOverflow="true" CashBalance="100.1" BacklogDocumentsCounter="2" )"
                R"(BacklogDocumentFirstNumber="17" BacklogDocumentFirstDateTime=")" +
                FormatDateTime(1700000050) + "\"",
            R"(<CountersOperationType1><Parameters CheckCount="3" TotalChecksAmount="123.45" )"
            R"(CorrectionCheckCount="5" TotalCorrectionChecksAmount="2"/></CountersOperationType1>)"
            R"(<CountersOperationType3><Parameters CheckCount="1" TotalChecksAmount="1" )"
            R"(CorrectionCheckCount="6" TotalCorrectionChecksAmount="3"/></CountersOperationType3>)"
            R"(<CountersOperationType2><Parameters CheckCount="2" TotalChecksAmount="50" )"
            R"(CorrectionCheckCount="0" TotalCorrectionChecksAmount="0"/></CountersOperationType2>)"
            R"(<CountersOperationType4><Parameters CheckCount="4" )"
            R"(TotalChecksAmount="100.1" CorrectionCheckCount="0" )"
            R"(TotalCorrectionChecksAmount="0"/></CountersOperationType4>)"));
}

// A closing whose answer writes its fiscal sign as a signed number (the same 32
// bits) closes the shift and says so.
TEST_F(ShiftTest, ASignWrittenSignedIsTheSameSign) {
    ASSERT_TRUE(openShift().succeeded());
    const std::string counter = R"({"check_count":0,"check_total":0})";
    const std::string answer =
        R"({"response":0,"extended":0,"data":{"fd_date":1700000100,"fd_number":9,)"
        R"("fd_sign":-1294967296,"shift_id":1,"fd_shift_state":0,"fd_error":0,"fd_fail":0,)"
        R"("fd_overflow":0,"shift_cash":0,"fd_waiting":0,"fd_waiting_document":0,)"
        R"("fd_waiting_date":0,"sales":)" +
        counter + R"(,"buys":)" + counter + R"(,"sales_return":)" + counter +
        R"(,"buys_return":)" + counter + R"(,"sales_correction":)" + counter +
        R"(,"buys_correction":)" + counter + "}}";
    session.inject(nlohmann::json{{"function", kCloseShift},
                                  {"call", 1},
                                  {"at", "end"},
                                  {"answer", answer},
                                  {"perform", true}}
                       .dump());
    const auto result = closeShift();
    ASSERT_TRUE(result.succeeded()) << session.lastError().second;
    EXPECT_EQ(xmlAttribute(result.text(2), "Parameters", "ShiftState"), "1");
    EXPECT_EQ(session.emulator().state()["fd_shift_state"], 0);
}

TEST_F(ShiftTest, UnknownShiftStateWritesNoShiftState) {
    session.inject(finalAnswerRule(
        kOpenShift, R"({"response":0,"data":{"fd_date":1700000000,"shift_id":7,"fd_shift_state":3,)"
                    R"("fd_error":0,"fd_fail":0,"fd_overflow":0}})"));
    const auto result = openShift();
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.text(2),
              outputParameters("DateTime=\"" + FormatDateTime(1700000000) +
                               R"(" ShiftNumber="7" )"
                               R"(FNError="false" FNFail="false" FNOverflow="false")"));
}

// A final answer that lacks what the host is told is no shift 0 and no closed
// shift: it is a protocol error, and the output stays as the host passed it.
TEST_F(ShiftTest, AnAnswerWithoutItsMembersIsAProtocolError) {
    const std::string shiftDocument =
        R"("fd_date":1700000000,"shift_id":1,"fd_shift_state":1,"fd_error":0,"fd_fail":0,)"
        R"("fd_overflow":0)";
    const struct {
        std::string_view function;
        std::string answer;
    } cases[] = {
        {kOpenShift, R"({"response":0})"},
        {kOpenShift, R"({"response":0,"data":{}})"},
        {kOpenShift, R"({"response":0,"data":{"fd_date":1700000000,"shift_id":1}})"},
        {kCloseShift, R"({"response":0,"data":null})"},
        // A closing reports the drawer, the backlog and the counters too.
        {kCloseShift, R"({"response":0,"data":{)" + shiftDocument + "}}"},
    };
    // The injected answers leave the register as it was: the closings find the
    // shift this opens.
    bool shiftOpen = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        if (c.function == kCloseShift && !shiftOpen) {
            ASSERT_TRUE(openShift().succeeded());
            shiftOpen = true;
        }
        session.inject(finalAnswerRule(c.function, c.answer));
        const auto result =
            callOnDevice(c.function == kOpenShift ? "OpenShift" : "CloseShift",
                         {Value::text(inputParameters("")), Value::text("as the host passed it")});
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(lastCode(), 1);
        EXPECT_EQ(result.text(2), "as the host passed it");
    }
}

TEST_F(ShiftTest, RefusalsLeaveTheOutputUntouched) {
    struct Case {
        std::string method;
        std::string rule; // empty: the register's own refusal
        int32_t code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"CloseShift", "", 15, "Shift is already closed"},
        {"OpenShift", "", 0, ""},
        {"OpenShift", "", 10, "Shift is already open"},
        {"CloseShift",
         R"({"function":"korvant3_fremu_close_shift","call":1,"response":3,"extended":108,"at":"end"})",
         11, "Shift is too long (24h)"},
        {"CloseShift", R"({"function":"korvant3_fremu_close_shift","call":1,"result":-1})", 3, ""},
        {"CloseShift",
         R"({"function":"korvant3_fremu_close_shift","call":1,"answer":"[1]","at":"end"})", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method + " " + c.rule);
        if (!c.rule.empty()) {
            session.inject(c.rule);
        }
        const auto result = callOnDevice(
            c.method, {Value::text(inputParameters("")), Value::text("as the host passed it")});
        EXPECT_EQ(result.succeeded(), c.code == 0);
        const auto [code, message] = session.lastError();
        EXPECT_EQ(code, c.code);
        if (!c.message.empty()) {
            EXPECT_EQ(message, c.message);
        }
        if (c.code != 0) {
            EXPECT_EQ(result.text(2), "as the host passed it");
        }
    }
}

TEST_F(ShiftTest, IdentifierIsCheckedBeforeAnyDeviceCall) {
    struct Case {
        std::string identifier;
        bool accepted;
    };
    const std::vector<Case> cases = {{device + "abc", true},
                                     {"K" + device.substr(1), false},
                                     {device + "0", false},
                                     {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        session.clearJournal();
        const auto result =
            session.call("OpenShift", {Value::text(c.identifier), Value::text(""), Value::empty()});
        if (c.accepted) {
            EXPECT_THAT(session.calls(), ElementsAre(kOpenShift));
            continue;
        }
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(lastCode(), 3);
        EXPECT_THAT(session.calls(), IsEmpty());
    }
}

} // namespace
} // namespace korvant::testing
