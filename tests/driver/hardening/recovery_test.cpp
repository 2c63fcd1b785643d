// How the driver recovers from what a shop does to it: a document left open in
// the register by a lost link or a cancel that failed, a closing whose answer
// never came or came unreadable, a register that answers late, a document that
// reached the driver truncated. Each row states the outcome and exactly which
// calls reached the register.

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "driver/hardening/hardening_session.h"

namespace korvant::testing {
namespace {

using host::Value;
using Calls = std::vector<std::string>;

constexpr int kProtocolError = 1;
constexpr int kInputParameters = 9;
constexpr int kNotEnoughMoney = 13;
constexpr int kNotAllowed = 14;

const std::string kSale =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0"/>)"
    R"(<Positions><FiscalString Name="Tea" Quantity="1" PriceWithDiscount="100" VATRate="20" )"
    R"(PaymentMethod="4" CalculationSubject="1"/></Positions><Payments Cash="100"/></CheckPackage>)";

std::string fn(const std::string& name) {
    return "korvant3_" + name;
}
std::string fremu(const std::string& name) {
    return "korvant3_fremu_" + name;
}

// An operation as the host calls it, and the library calls it makes when all goes well.
struct Operation {
    std::string name;
    std::string method;
    std::function<std::vector<Value>(const std::string& device)> args;
    Calls calls;
};

std::vector<Value> withInput(const std::string& device) {
    return {Value::text(device), Value::text(kCashierInput), Value::empty()};
}

Operation sale() {
    return {"sale",
            "ProcessCheck",
            [](const std::string& device) {
                return std::vector{Value::text(device), Value::boolean(false), Value::text(kSale),
                                   Value::empty()};
            },
            {fremu("open_doc"), fremu("add_item"), fremu("close_doc")}};
}

Operation correction() {
    return {"correction",
            "ProcessCorrectionCheck",
            [](const std::string& device) {
                return std::vector{Value::text(device), Value::text(kCorrection), Value::empty()};
            },
            {fremu("open_doc"), fremu("add_item"), fremu("close_doc")}};
}

Operation cashIn() {
    return {
        "cash in",
        "CashInOutcome",
        [](const std::string& device) {
            return std::vector{Value::text(device), Value::text(kCashierInput), Value::r8(150.5)};
        },
        {fremu("open_doc"), fremu("close_doc")}};
}

// Leaves a document open in the register the way a shop does: the receipt's
// closing is refused and the cancel that follows is lost.
void leaveADocumentOpen(HardeningSession& session) {
    session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"response":3,)"
                            R"("extended":112,"at":"end"})");
    session.driver().inject(R"({"function":"korvant3_fremu_cancel_doc","call":1,"result":-2})");
    const auto failed = session.call("ProcessCheck", sale().args(session.device()));
    ASSERT_FALSE(failed.succeeded());
    ASSERT_EQ(session.lastError().first, kNotEnoughMoney);
    ASSERT_FALSE(session.driver().emulator().state()["document"].is_null());
    session.driver().clearJournal();
}

// Every operation the register refuses while a document is open clears a stale
// one and goes on, where it used to fail with code 14 for good.
TEST(StaleDocument, IsCancelledAndTheOperationTriedOnceMore) {
    const auto recovered = [](const std::string& function, Calls rest) {
        Calls calls{function, fn("get_state"), fremu("cancel_doc")};
        calls.insert(calls.end(), rest.begin(), rest.end());
        return calls;
    };
    std::vector<Operation> rows{
        {"sale", "ProcessCheck", sale().args, recovered(fremu("open_doc"), sale().calls)},
        {"correction", "ProcessCorrectionCheck", correction().args,
         recovered(fremu("open_doc"), correction().calls)},
        {"cash in", "CashInOutcome", cashIn().args, recovered(fremu("open_doc"), cashIn().calls)},
        {"X report", "PrintXReport",
         [](const std::string& device) {
             return std::vector{Value::text(device), Value::empty()};
         },
         recovered(fremu("report_x"), {fremu("report_x")})},
        {"shift closing", "CloseShift", withInput,
         recovered(fremu("close_shift"), {fremu("close_shift")})},
        {"settlement report", "ReportCurrentStatusOfSettlements", withInput,
         recovered(fremu("report_state"), {fremu("report_state")})},
        {"text document", "PrintTextDocument",
         [](const std::string& device) {
             return std::vector{Value::text(device), Value::text(kTextDocument)};
         },
         recovered(fremu("print"), {fremu("print")})},
    };
    for (const Operation& row : rows) {
        SCOPED_TRACE(row.name);
        HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
        ASSERT_TRUE(session.openWithShift());
        leaveADocumentOpen(session);
        const auto result = session.call(row.method, row.args(session.device()));
        EXPECT_TRUE(result.succeeded()) << session.lastError().second;
        EXPECT_EQ(session.driver().calls(), row.calls);
        EXPECT_TRUE(session.driver().emulator().state()["document"].is_null());
        // The register refused only the first attempt, for the open document.
        const auto journal = session.driver().journal();
        EXPECT_EQ(journal[1]["answer"]["extended"], 113);
    }
}

// A refusal that is not about an open document costs one question and changes
// nothing; a stale document that cannot be cancelled leaves the refusal as it was.
TEST(StaleDocument, OtherRefusalsAreAnsweredAsBefore) {
    {
        SCOPED_TRACE("shift closed");
        HardeningSession session;
        ASSERT_FALSE(session.open().empty());
        session.driver().clearJournal();
        EXPECT_FALSE(session.call("ProcessCheck", sale().args(session.device())).succeeded());
        EXPECT_EQ(session.lastError().first, kNotAllowed);
        EXPECT_EQ(session.driver().calls(), (Calls{fremu("open_doc"), fn("get_state")}));
    }
    {
        SCOPED_TRACE("the cancel is refused too");
        HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
        ASSERT_TRUE(session.openWithShift());
        leaveADocumentOpen(session);
        session.driver().inject(R"({"function":"korvant3_fremu_cancel_doc","call":1,)"
                                R"("response":3,"extended":106})");
        EXPECT_FALSE(session.call("PrintXReport", {Value::text(session.device()), Value::empty()})
                         .succeeded());
        EXPECT_EQ(session.lastError().first, kNotAllowed);
        EXPECT_EQ(session.driver().calls(),
                  (Calls{fremu("report_x"), fn("get_state"), fremu("cancel_doc")}));
    }
}

// The register's own record of its last fiscal document.
struct LastDocument {
    uint32_t number = 0;
    uint32_t sign = 0;
    int64_t date = 0;
    int64_t shift = 0;
};

LastDocument lastDocumentOf(HardeningSession& session) {
    const auto fiscal = session.driver().emulator().state()["fiscal"];
    return {fiscal["fd_last_doc"].get<uint32_t>(), fiscal["fd_sign"].get<uint32_t>(),
            fiscal["fd_last_date"].get<int64_t>(), fiscal["shift_id"].get<int64_t>()};
}

std::string localDateTime(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    localtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    return text;
}

// A closing the register may have carried out although no readable answer said
// so. The register is asked, and the host is told what the register did.
struct ClosingFault {
    std::string name;
    std::vector<std::string> rules;
    bool made;
};

std::vector<ClosingFault> closingFaults(int closePoll) {
    const std::string poll = std::to_string(closePoll);
    const auto atEnd = [](const std::string& answer, bool perform) {
        return R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","answer":)" +
               nlohmann::json(answer).dump() + R"(,"perform":)" + (perform ? "true" : "false") +
               "}";
    };
    return {
        {"empty final answer", {atEnd("", true)}, true},
        {"unreadable final answer", {atEnd("{\"response\":0,", true)}, true},
        {"document number beyond 32 bits",
         {atEnd(R"({"response":0,"extended":0,"data":{"fd_number":-2147483649,"fd_sign":7}})",
                true)},
         true},
        {"fiscal sign beyond 32 bits",
         {atEnd(R"({"response":0,"extended":0,"data":{"fd_number":9,"fd_sign":4294967296}})",
                true)},
         true},
        {"success without an answer text",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","response":0,)"
          R"("extended":5})"},
         true},
        {"R 1 at the end",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
          R"("response":1,"perform":true})"},
         true},
        {"the poll fails",
         {R"({"function":"korvant3_fremu_query","call":)" + poll + R"(,"result":-2})"},
         true},
        {"the connection is lost at the poll",
         {R"({"function":"korvant3_fremu_query","call":)" + poll + R"(,"result":-1})"},
         true},
        {"the task never ends (time-out)",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"busy_forever":true})"},
         true},
        {"empty answer, not done", {atEnd("", false)}, false},
        {"the library fails at the start",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"result":-2})"},
         false},
    };
}

TEST(ClosingOutcome, AnUnknownOutcomeIsSettledWithTheRegister) {
    struct Kind {
        Operation operation;
        int closePoll; // which poll of the operation is the closing's
        bool hasOutput;
    };
    for (const Kind& kind :
         {Kind{sale(), 3, true}, Kind{correction(), 3, true}, Kind{cashIn(), 2, false}}) {
        for (const ClosingFault& fault : closingFaults(kind.closePoll)) {
            SCOPED_TRACE(kind.operation.name + ": " + fault.name);
            HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
            ASSERT_TRUE(session.openWithShift());
            const LastDocument before = lastDocumentOf(session);
            session.driver().clearJournal();
            for (const auto& rule : fault.rules) {
                session.driver().inject(rule);
            }
            auto args = kind.operation.args(session.device());
            const auto result = session.call(kind.operation.method, args);

            Calls expected = kind.operation.calls;
            expected.push_back(fn("get_state"));
            if (fault.made) {
                EXPECT_TRUE(result.succeeded()) << session.lastError().second;
                EXPECT_EQ(session.lastError().first, 0);
                expected.push_back(fn("get_fdstate"));
                expected.push_back(fn("get_fdtag"));
                EXPECT_EQ(session.driver().calls(), expected);
                const LastDocument made = lastDocumentOf(session);
                EXPECT_EQ(made.number, before.number + 1);
                if (kind.hasOutput) {
                    const std::string output = result.text(args.size() - 1);
                    EXPECT_EQ(xmlAttribute(output, "Parameters", "CheckNumber"),
                              std::to_string(made.number));
                    EXPECT_EQ(xmlAttribute(output, "Parameters", "FiscalSign"),
                              std::to_string(made.sign));
                    EXPECT_EQ(xmlAttribute(output, "Parameters", "ShiftNumber"),
                              std::to_string(made.shift));
                    EXPECT_EQ(xmlAttribute(output, "Parameters", "DateTime"),
                              localDateTime(made.date));
                }
            } else {
                EXPECT_FALSE(result.succeeded());
                EXPECT_EQ(session.lastError().first, kProtocolError);
                expected.push_back(fremu("cancel_doc"));
                EXPECT_EQ(session.driver().calls(), expected);
                EXPECT_EQ(lastDocumentOf(session).number, before.number);
            }
            EXPECT_TRUE(session.driver().emulator().state()["document"].is_null());
        }
    }
}

// A refusal in the register's own words is a known outcome: nothing is asked.
TEST(ClosingOutcome, ARefusalIsNoUnknownOutcome) {
    HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
    ASSERT_TRUE(session.openWithShift());
    session.driver().clearJournal();
    session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"response":3,)"
                            R"("extended":112,"at":"end"})");
    EXPECT_FALSE(session.call("ProcessCheck", sale().args(session.device())).succeeded());
    EXPECT_EQ(session.lastError().first, kNotEnoughMoney);
    Calls expected = sale().calls;
    expected.push_back(fremu("cancel_doc"));
    EXPECT_EQ(session.driver().calls(), expected);
}

// The number a closing is judged against costs no device time when the opening's
// answer carries it; a register whose answers do not is asked once, after the opening.
TEST(ClosingOutcome, TheLastDocumentBeforeTheReceiptComesFromTheOpening) {
    HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
    ASSERT_TRUE(session.openWithShift());
    session.driver().clearJournal();
    ASSERT_TRUE(session.call("ProcessCheck", sale().args(session.device())).succeeded());
    EXPECT_EQ(session.driver().calls(), sale().calls);

    session.driver().clearJournal();
    session.driver().inject(R"({"function":"korvant3_fremu_open_doc","call":1,"at":"end",)"
                            R"("answer":"{\"response\":0,\"extended\":0,\"data\":{}}",)"
                            R"("perform":true})");
    session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
                            R"("answer":"","perform":false})");
    EXPECT_FALSE(session.call("ProcessCheck", sale().args(session.device())).succeeded());
    EXPECT_EQ(session.driver().calls(),
              (Calls{fremu("open_doc"), fn("get_fdstate"), fremu("add_item"), fremu("close_doc"),
                     fn("get_state"), fremu("cancel_doc")}));
}

// The time-out bounds the whole task: a poll interval far longer than it is cut
// at the deadline, so a register that never finishes costs the time-out, not
// the interval.
TEST(TaskTimeout, BoundsTheWaitWhateverThePollInterval) {
    HardeningSession session(R"({"clock":1700000000})", 20000);
    ASSERT_TRUE(session.openWithShift());
    session.driver().inject(R"({"function":"korvant3_fremu_report_x","call":1,)"
                            R"("busy_forever":true})");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        session.call("PrintXReport", {Value::text(session.device()), Value::empty()}).succeeded());
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(session.lastError().first, kProtocolError);
    // The time-out is one second; the interval would have been twenty.
    EXPECT_LT(waited, std::chrono::seconds(10));
    EXPECT_GE(waited, std::chrono::seconds(HardeningSession::kTaskTimeoutSeconds));
}

// A document that reached the driver truncated, or that is no XML, is refused
// before anything reaches the register: acting on what could be read of it
// would print a receipt without its cashier, or print nothing and say it did.
TEST(UnreadableInput, IsRefusedWithNothingSent) {
    struct Row {
        std::string method;
        std::function<std::vector<Value>(const std::string&)> args;
    };
    const std::string cut = kSale.substr(0, kSale.size() / 2);
    const std::string input = std::string(kCashierInput).substr(0, 40);
    const std::vector<Row> rows{
        {"ProcessCheck",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::boolean(false), Value::text(cut),
                                Value::empty()};
         }},
        {"ProcessCorrectionCheck",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::text(kCorrection.substr(0, 99)),
                                Value::empty()};
         }},
        {"PrintTextDocument",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::text(kTextDocument.substr(0, 30))};
         }},
        {"CashInOutcome",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::text(input), Value::r8(10)};
         }},
        {"OpenShift",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::text(input), Value::empty()};
         }},
        {"CloseShift",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::text("not xml"), Value::empty()};
         }},
        {"OperationFN",
         [&](const std::string& device) {
             return std::vector{Value::text(device), Value::i4(2),
                                Value::text(R"(<Parameters CompanyName="Shop")")};
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.method);
        HardeningSession session;
        ASSERT_FALSE(session.open().empty());
        session.driver().clearJournal();
        EXPECT_FALSE(session.call(row.method, row.args(session.device())).succeeded());
        EXPECT_EQ(session.lastError().first, kInputParameters);
        EXPECT_EQ(session.driver().journal(), nlohmann::json::array());
    }
}

} // namespace
} // namespace korvant::testing
