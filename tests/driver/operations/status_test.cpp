// GetCurrentStatus and ReportCurrentStatusOfSettlements against the emulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "documents/date_time.h"
#include "operations_fixture.h"

namespace korvant::testing {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kStorageState =
    R"({"response":0,"data":{"shift_id":5,"fd_shift_state":1,"fd_last_doc":42,)"
    R"("shift_doc_number":7,"fd_waiting":3,"fd_waiting_document":40,"fd_waiting_date":1700000050}})";

class StatusTest : public OpenDeviceTest {
protected:
    host::CallResult currentStatus() {
        return callOnDevice("GetCurrentStatus",
                            {Value::text(inputParameters("")), Value::text("untouched")});
    }

    void injectStorageState() {
        session.inject(nlohmann::json{
            {"function", "korvant3_get_fdstate"}, {"call", 1}, {"answer", kStorageState}}
                           .dump());
    }
};

TEST_F(StatusTest, CurrentStatusReadsStorageThenCash) {
    injectStorageState();
    session.inject(
        R"({"function":"korvant3_fremu_get_money","call":1,"answer":"{\"response\":0,\"data\":{\"shift_cash\":1001000}}"})");
    const auto result = currentStatus();
    ASSERT_TRUE(result.succeeded());
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_get_fdstate", "korvant3_fremu_get_money"));
    EXPECT_EQ(result.text(2),
              outputParameters(R"(ShiftNumber="5" ShiftState="2" CheckNumber="42" )"
                               R"(ShiftClosingCheckNumber="7" BacklogDocumentsCounter="3" )"
                               R"(BacklogDocumentFirstNumber="40" BacklogDocumentFirstDateTime=")" +
                               FormatDateTime(1700000050) + R"(" CashBalance="100.1")"));
}

// The cash query judges its answer itself: only R 1, 4 and 7 fail it. A refused
// query, or an answer without the drawer's cash, tells no balance: that is no
// balance of 0. (Every other answer code is the fault matrix's.)
TEST_F(StatusTest, CashQueryOutcomes) {
    struct Case {
        std::string fault;
        int32_t code;
    };
    const std::vector<Case> cases = {
        {R"("response":2)", 0},
        {R"("response":3)", 1},
        {R"("answer":"{}")", 1},
        {R"("answer":"{\"response\":0,\"data\":{\"shift_cash\":null}}")", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        session.inject(R"({"function":"korvant3_fremu_get_money","call":1,)" + c.fault + "}");
        const auto result = currentStatus();
        EXPECT_EQ(result.succeeded(), c.code == 0);
        EXPECT_EQ(lastCode(), c.code);
        if (c.code != 0) {
            EXPECT_EQ(result.text(2), "untouched");
            continue;
        }
        EXPECT_EQ(xmlAttribute(result.text(2), "Parameters", "CashBalance"), "0");
        EXPECT_EQ(xmlAttribute(result.text(2), "Parameters", "ShiftState"), "1");
    }
}

// The issue's case: "data":{} read as shift 0, closed, while the shift is open.
TEST_F(StatusTest, AStorageAnswerWithoutItsMembersIsAProtocolError) {
    ASSERT_TRUE(callOnDevice("OpenShift", {Value::text(""), Value::empty()}).succeeded());
    for (const char* answer :
         {R"({"response":0,"data":{}})", R"({"response":0,"data":null})", R"({"response":0})",
          R"({"response":0,"data":{"shift_id":5,"fd_shift_state":1,"fd_last_doc":42,)"
          R"("shift_doc_number":7,"fd_waiting":3,"fd_waiting_document":40}})"}) {
        SCOPED_TRACE(answer);
        session.inject(
            nlohmann::json{{"function", "korvant3_get_fdstate"}, {"call", 1}, {"answer", answer}}
                .dump());
        const auto result = currentStatus();
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(lastCode(), 1);
        EXPECT_EQ(result.text(2), "untouched");
    }
}

TEST_F(StatusTest, FailedStorageQueryAsksNoCash) {
    session.inject(R"({"function":"korvant3_get_fdstate","call":1,"result":-1})");
    const auto result = currentStatus();
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 3);
    EXPECT_EQ(result.text(2), "untouched");
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_get_fdstate"));
}

TEST_F(StatusTest, SettlementsReportWritesStateBacklogAndCash) {
    session.inject(finalAnswerRule(
        "korvant3_fremu_report_state",
        R"({"response":0,"data":{"fd_date":1700000100,"shift_id":9,"fd_shift_state":2,)"
        R"("fd_waiting":1,"fd_waiting_document":4,"fd_waiting_date":0,"shift_cash":1234599}})"));
    const auto result = callOnDevice("ReportCurrentStatusOfSettlements",
                                     {Value::text(inputParameters("")), Value::empty()});
    ASSERT_TRUE(result.succeeded());
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_report_state"));
    EXPECT_EQ(result.text(2),
              outputParameters(R"(ShiftState="3" BacklogDocumentsCounter="1" )"
                               R"(BacklogDocumentFirstNumber="4" BacklogDocumentFirstDateTime=")" +
                               FormatDateTime(0) + R"(" CashBalance="123.45")"));
}

TEST_F(StatusTest, ASettlementsReportWithoutItsMembersIsAProtocolError) {
    session.inject(finalAnswerRule(
        "korvant3_fremu_report_state",
        R"({"response":0,"data":{"fd_shift_state":1,"fd_waiting":0,"fd_waiting_date":0}})"));
    const auto result = callOnDevice("ReportCurrentStatusOfSettlements",
                                     {Value::text(""), Value::text("untouched")});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 1);
    EXPECT_EQ(result.text(2), "untouched");
}

// Input parameters that are not a well-formed document are refused before the
// register is asked, as every other method refuses them.
TEST_F(StatusTest, MalformedInputParametersAreRefused) {
    for (const std::string method :
         {"GetCurrentStatus", "ReportCurrentStatusOfSettlements", "PrintXReport"}) {
        for (const char* input : {"<InputParameters><Parameters", R"(<A B="&nope;"/>)"}) {
            SCOPED_TRACE(method + " " + input);
            session.clearJournal();
            std::vector<Value> args{Value::text(input)};
            if (method != "PrintXReport") {
                args.push_back(Value::text("untouched"));
            }
            const auto result = callOnDevice(method, args);
            EXPECT_FALSE(result.succeeded());
            EXPECT_EQ(lastCode(), 9);
            EXPECT_TRUE(session.calls().empty());
        }
    }
}

TEST_F(StatusTest, RefusedSettlementsReportLeavesTheOutputUntouched) {
    session.inject(
        R"({"function":"korvant3_fremu_report_state","call":1,"response":3,"extended":113})");
    const auto result = callOnDevice("ReportCurrentStatusOfSettlements",
                                     {Value::text(""), Value::text("untouched")});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 14);
    EXPECT_EQ(result.text(2), "untouched");
}

} // namespace
} // namespace korvant::testing
