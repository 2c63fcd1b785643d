// A whole shift as a host works it, from Open to Close, on an offline register
// (every fiscal document stays in the backlog), with the fixed clock giving each
// fiscal document the next second.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "documents/date_time.h"
#include "operations_fixture.h"

namespace korvant::testing {
namespace {

using ::testing::ElementsAre;

constexpr int64_t kClock = 1700000000;

std::string dateTime(int64_t seconds) {
    return "\"" + FormatDateTime(seconds) + "\"";
}

TEST(ShiftSessionTest, WholeShiftFromOpenToClose) {
    DriverSession session(R"({"clock":1700000000,"registration":{"fd_mode":2}})");
    const std::string device = session.open();
    ASSERT_EQ(device, "korvant1");
    const auto onDevice = [&](std::string_view method, std::vector<Value> rest) {
        rest.insert(rest.begin(), Value::text(device));
        return session.call(method, std::move(rest));
    };
    const std::string cashier =
        inputParameters(R"(CashierName="Иванов И.И." CashierINN="500100732259")");

    // Fiscal document 2: the shift opening.
    const auto opened = onDevice("OpenShift", {Value::text(cashier), Value::empty()});
    ASSERT_TRUE(opened.succeeded());
    EXPECT_EQ(opened.text(2), outputParameters("DateTime=" + dateTime(kClock) +
                                               R"( ShiftNumber="1" ShiftState="2" FNError="false" )"
                                               R"(FNFail="false" FNOverflow="false")"));

    // Cash in 1000.50, cash out 200.25: the register's non-fiscal documents, which move the
    // drawer and take no fiscal number.
    ASSERT_TRUE(onDevice("CashInOutcome", {Value::text(cashier), Value::r8(1000.5)}).succeeded());
    ASSERT_TRUE(onDevice("CashInOutcome", {Value::text(cashier), Value::r8(-200.25)}).succeeded());

    ASSERT_TRUE(onDevice("PrintTextDocument",
                         {Value::text("<Document><Positions><TextString Text=\"Спасибо\"/>"
                                      "<TextString Text=\"за покупку\"/><Barcode Type=\"QR\" "
                                      "Value=\"https://example.com\"/></Positions></Document>")})
                    .succeeded());
    ASSERT_TRUE(onDevice("PrintXReport", {Value::text(cashier)}).succeeded());

    const auto width = onDevice("GetLineLength", {Value::i4(0)});
    ASSERT_TRUE(width.succeeded());
    EXPECT_EQ(width.args[1], Value::i4(48));

    const auto status = onDevice("GetCurrentStatus", {Value::text(cashier), Value::empty()});
    ASSERT_TRUE(status.succeeded());
    EXPECT_EQ(status.text(2),
              outputParameters(R"(ShiftNumber="1" ShiftState="2" CheckNumber="2" )"
                               R"(ShiftClosingCheckNumber="0" BacklogDocumentsCounter="1" )"
                               R"(BacklogDocumentFirstNumber="2" BacklogDocumentFirstDateTime=)" +
                               dateTime(kClock) + R"( CashBalance="800.25")"));

    // Fiscal document 3: the settlement report.
    const auto settlements =
        onDevice("ReportCurrentStatusOfSettlements", {Value::text(cashier), Value::empty()});
    ASSERT_TRUE(settlements.succeeded());
    EXPECT_EQ(settlements.text(2),
              outputParameters(R"(ShiftState="2" BacklogDocumentsCounter="2" )"
                               R"(BacklogDocumentFirstNumber="2" BacklogDocumentFirstDateTime=)" +
                               dateTime(kClock) + R"( CashBalance="800.25")"));

    // Fiscal document 4: the shift closing. Cash documents count as no receipts.
    const auto closed = onDevice("CloseShift", {Value::text(cashier), Value::empty()});
    ASSERT_TRUE(closed.succeeded());
    const std::string zeros = R"(<Parameters CheckCount="0" TotalChecksAmount="0" )"
                              R"(CorrectionCheckCount="0" TotalCorrectionChecksAmount="0"/>)";
    EXPECT_EQ(
        closed.text(2),
        outputParameters("DateTime=" + dateTime(kClock + 2) +
                             R"( ShiftNumber="1" ShiftState="1" FNError="false" )"
                             R"(FNFail="false" FNOverflow="false" CashBalance="800.25" )"
                             R"(BacklogDocumentsCounter="3" BacklogDocumentFirstNumber="2" )"
                             R"(BacklogDocumentFirstDateTime=)" +
                             dateTime(kClock),
                         "<CountersOperationType1>" + zeros + "</CountersOperationType1>" +
                             "<CountersOperationType3>" + zeros + "</CountersOperationType3>" +
                             "<CountersOperationType2>" + zeros + "</CountersOperationType2>" +
                             "<CountersOperationType4>" + zeros + "</CountersOperationType4>"));

    ASSERT_TRUE(session.call("Close", {Value::text(device)}).succeeded());

    EXPECT_THAT(
        session.requestTextsTo("korvant3_fremu_open_doc"),
        ElementsAre(R"({"doc_kind":2,"user_inn":"500100732259","user_name":"Иванов И.И."})",
                    R"({"doc_kind":3,"user_inn":"500100732259","user_name":"Иванов И.И."})"));
    EXPECT_THAT(session.requestTextsTo("korvant3_fremu_close_doc"),
                ElementsAre(R"({"cash":10005000})", R"({"cash":2002500})"));
    EXPECT_THAT(session.requestTextsTo("korvant3_fremu_print"),
                ElementsAre(R"({"text":"Спасибо\nза покупку","text_type":1})",
                            R"({"text":"https://example.com","text_type":5})"));
    EXPECT_THAT(session.calls(),
                ElementsAre("korvant3_open", "korvant3_fremu_enter", "korvant3_fremu_open_shift",
                            "korvant3_fremu_open_doc", "korvant3_fremu_close_doc",
                            "korvant3_fremu_open_doc", "korvant3_fremu_close_doc",
                            "korvant3_fremu_print", "korvant3_fremu_print",
                            "korvant3_fremu_report_x", "korvant3_get_info", "korvant3_get_fdstate",
                            "korvant3_fremu_get_money", "korvant3_fremu_report_state",
                            "korvant3_fremu_close_shift", "korvant3_fremu_exit", "korvant3_close"));
}

} // namespace
} // namespace korvant::testing
