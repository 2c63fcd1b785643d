// How the driver recovers from what a shop does to it: a document left open in
// the register by a lost link or a cancel that failed, a closing whose answer
// never came or came unreadable, a register that answers late, a document that
// reached the driver truncated. Each row states the outcome and exactly which
// calls reached the register.

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "driver/hardening/hardening_session.h"
#include "support/process_locale.h"

namespace korvant::testing::recovery_test {
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
// so. The register is asked, and the host is told what the register did: a
// task still running is followed to its end, whose answer then tells; else a
// receipt is judged by the register's last fiscal document and a cash document
// by its drawer (a register need not number cash documents, and one whose
// closing answered success needs no answer text to be made).
struct ClosingFault {
    std::string name;
    std::vector<std::string> rules;
    bool made;
    bool followed = false;        // the closing's task is polled on to its end
    bool answeredSuccess = false; // readable, successful: all a cash document needs
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
         true,
         false,
         true},
        {"fiscal sign beyond 32 bits",
         {atEnd(R"({"response":0,"extended":0,"data":{"fd_number":9,"fd_sign":4294967296}})",
                true)},
         true,
         false,
         true},
        {"success without an answer text",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","response":0,)"
          R"("extended":5})"},
         true,
         false,
         true},
        {"R 1 at the end",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
          R"("response":1,"perform":true})"},
         true},
        {"the poll fails",
         {R"({"function":"korvant3_fremu_query","call":)" + poll + R"(,"result":-2})"},
         true,
         true},
        {"the connection is lost at the poll",
         {R"({"function":"korvant3_fremu_query","call":)" + poll + R"(,"result":-1})"},
         true,
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

int64_t drawerOf(HardeningSession& session) {
    return session.driver().emulator().state()["fiscal"]["shift_cash"].get<int64_t>();
}

TEST(ClosingOutcome, AnUnknownOutcomeIsSettledWithTheRegister) {
    struct Kind {
        Operation operation;
        int closePoll; // which poll of the operation is the closing's
        bool cash;     // settled by the drawer (a cash-in of 150.50), else by number
    };
    for (const Kind& kind :
         {Kind{sale(), 3, false}, Kind{correction(), 3, false}, Kind{cashIn(), 2, true}}) {
        for (const ClosingFault& fault : closingFaults(kind.closePoll)) {
            SCOPED_TRACE(kind.operation.name + ": " + fault.name);
            HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
            ASSERT_TRUE(session.openWithShift());
            const LastDocument before = lastDocumentOf(session);
            const int64_t drawer = drawerOf(session);
            session.driver().clearJournal();
            for (const auto& rule : fault.rules) {
                session.driver().inject(rule);
            }
            auto args = kind.operation.args(session.device());
            const auto result = session.call(kind.operation.method, args);

            Calls expected = kind.operation.calls;
            if (!fault.made) {
                EXPECT_FALSE(result.succeeded());
                EXPECT_EQ(session.lastError().first, kProtocolError);
                expected.insert(expected.end(), {fn("get_state"), fremu("cancel_doc")});
                EXPECT_EQ(session.driver().calls(), expected);
                EXPECT_EQ(lastDocumentOf(session).number, before.number);
                EXPECT_EQ(drawerOf(session), drawer);
                EXPECT_TRUE(session.driver().emulator().state()["document"].is_null());
                continue;
            }
            EXPECT_TRUE(result.succeeded()) << session.lastError().second;
            EXPECT_EQ(session.lastError().first, 0);
            if (!fault.followed && !(kind.cash && fault.answeredSuccess)) {
                expected.push_back(fn("get_state"));
                const Calls evidence = kind.cash ? Calls{fremu("get_money")}
                                                 : Calls{fn("get_fdstate"), fn("get_fdtag")};
                expected.insert(expected.end(), evidence.begin(), evidence.end());
            }
            EXPECT_EQ(session.driver().calls(), expected);
            EXPECT_TRUE(session.driver().emulator().state()["document"].is_null());
            if (kind.cash) {
                EXPECT_EQ(drawerOf(session), drawer + 1505000);
                continue;
            }
            const LastDocument made = lastDocumentOf(session);
            EXPECT_EQ(made.number, before.number + 1);
            const std::string output = result.text(args.size() - 1);
            EXPECT_EQ(xmlAttribute(output, "Parameters", "CheckNumber"),
                      std::to_string(made.number));
            EXPECT_EQ(xmlAttribute(output, "Parameters", "FiscalSign"), std::to_string(made.sign));
            EXPECT_EQ(xmlAttribute(output, "Parameters", "ShiftNumber"),
                      std::to_string(made.shift));
            EXPECT_EQ(xmlAttribute(output, "Parameters", "DateTime"), localDateTime(made.date));
        }
    }
}

// Two things going wrong at once: the closing's answer is lost and a read that
// would settle it fails too, or the register is still at work on it. Settling
// goes on until it knows, within a period as long as the task time-out: a
// failed read is asked again, a task still running is followed to its end, and
// a cancel that fails is followed by another look. Each receipt here was made,
// and each is answered true, once.
TEST(ClosingOutcome, DoubleFaultsAreSettledUntilKnown) {
    const std::string lostAnswer = R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
                                   R"("answer":"","perform":true})";
    struct Row {
        std::string name;
        std::string config; // beyond the clock and the drawer
        std::vector<std::string> rules;
        Calls settling; // the calls after the receipt's own
        bool signKnown = true;
    };
    const std::vector<Row> rows{
        {"get_state fails once",
         "",
         {lostAnswer, R"({"function":"korvant3_get_state","call":1,"result":-1})"},
         {fn("get_state"), fn("get_state"), fn("get_fdstate"), fn("get_fdtag")}},
        {"get_fdstate fails once",
         "",
         {lostAnswer, R"({"function":"korvant3_get_fdstate","call":1,"result":-2})"},
         {fn("get_state"), fn("get_fdstate"), fn("get_fdstate"), fn("get_fdtag")}},
        {"the fiscal sign cannot be read: it only adds, never decides",
         "",
         {lostAnswer, R"({"function":"korvant3_get_fdtag","call":1,"answer":"{\"response\":0"})"},
         {fn("get_state"), fn("get_fdstate"), fn("get_fdtag")},
         false},
        {"a time-out, then the link is down for a moment",
         "",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"busy_forever":true})",
          R"({"function":"korvant3_get_state","call":1,"result":-1})"},
         {fn("get_state"), fn("get_state"), fn("get_fdstate"), fn("get_fdtag")}},
        // The closing takes 1.5 s and shows its document open until it ends; the
        // time-out is 1 s. Its task is followed on, not its document cancelled.
        {"the register is still at work when the time-out comes",
         R"(,"task_ms":{"close_doc":1500})",
         {R"({"function":"korvant3_fremu_close_doc","call":1,"effect":"end"})"},
         {}},
        // The register says the document is open (a moment before it closed it);
        // the cancel is refused, for no document is open: asked again, it was made.
        {"a cancel that fails",
         "",
         {lostAnswer, R"({"function":"korvant3_get_state","call":1,"answer":)"
                      R"("{\"response\":0,\"data\":{\"dev_context\":768,\"doc_kind\":0}}"})"},
         {fn("get_state"), fremu("cancel_doc"), fn("get_state"), fn("get_fdstate"),
          fn("get_fdtag")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HardeningSession session(R"({"clock":1700000000,"cash":1000000)" + row.config + "}");
        ASSERT_TRUE(session.openWithShift());
        const LastDocument before = lastDocumentOf(session);
        session.driver().clearJournal();
        for (const auto& rule : row.rules) {
            session.driver().inject(rule);
        }
        const auto args = sale().args(session.device());
        const auto result = session.call("ProcessCheck", args);
        EXPECT_TRUE(result.succeeded()) << session.lastError().second;
        Calls expected = sale().calls;
        expected.insert(expected.end(), row.settling.begin(), row.settling.end());
        Calls calls = session.driver().calls();
        if (row.settling.empty()) {
            // Only looks at the register between stretches of following the task.
            std::erase(calls, fn("get_state"));
        }
        EXPECT_EQ(calls, expected);
        const LastDocument made = lastDocumentOf(session);
        EXPECT_EQ(made.number, before.number + 1);
        const std::string output = result.text(3);
        EXPECT_EQ(xmlAttribute(output, "Parameters", "CheckNumber"), std::to_string(made.number));
        EXPECT_EQ(xmlAttribute(output, "Parameters", "DateTime"), localDateTime(made.date));
        EXPECT_EQ(xmlAttribute(output, "Parameters", "FiscalSign"),
                  row.signKnown ? std::optional(std::to_string(made.sign)) : std::nullopt);
        EXPECT_EQ(session.driver().emulator().state()["fiscal"]["counters"]["sales"]["check_count"],
                  1);
    }
}

int64_t receiptsMade(HardeningSession& session) {
    return session.driver().emulator().state()["fiscal"]["counters"]["sales"]["check_count"];
}

// The register cannot be asked for the whole settling period: the receipt may
// have been printed. Code 1 with a text of its own, the closing remembered in
// the component's folder, and settled first by the next receipt: the same
// receipt again, made, is answered true with that receipt and not printed
// again; another receipt goes ahead.
TEST(UnknownOutcome, IsSettledByTheNextReceipt) {
    const std::string other = std::string(kSale).replace(kSale.find("Tea"), 3, "Jam");
    for (const bool sameAgain : {true, false}) {
        SCOPED_TRACE(sameAgain ? "the same receipt again" : "another receipt");
        HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
        ASSERT_TRUE(session.openWithShift());
        session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
                                R"("answer":"","perform":true})");
        session.driver().inject(R"({"function":"korvant3_get_state","call":0,"result":-1})");
        const auto unknown = session.call("ProcessCheck", sale().args(session.device()));
        EXPECT_FALSE(unknown.succeeded());
        const auto [code, message] = session.lastError();
        EXPECT_EQ(code, kProtocolError);
        EXPECT_NE(message.find("may have been printed"), std::string::npos) << message;
        {
            const KeptProcessLocale kept;
            session.component().setLocale("ru_RU");
            EXPECT_NE(session.lastError().second.find("чек мог быть напечатан"), std::string::npos);
            session.component().setLocale("en_US");
        }
        EXPECT_EQ(receiptsMade(session), 1);
        const auto record = session.driver().programData().componentFolder() /
                            ("document-" + std::string(kEmulatorSerial) + ".json");
        EXPECT_TRUE(std::filesystem::exists(record));

        session.driver().emulator().clearFaults();
        session.driver().clearJournal();
        if (sameAgain) {
            const LastDocument made = lastDocumentOf(session);
            const auto retried = session.call("ProcessCheck", sale().args(session.device()));
            ASSERT_TRUE(retried.succeeded()) << session.lastError().second;
            EXPECT_EQ(session.driver().calls(),
                      (Calls{fn("get_state"), fn("get_fdstate"), fn("get_fdtag")}));
            EXPECT_EQ(receiptsMade(session), 1) << "printed twice";
            EXPECT_EQ(xmlAttribute(retried.text(3), "Parameters", "CheckNumber"),
                      std::to_string(made.number));
            EXPECT_EQ(xmlAttribute(retried.text(3), "Parameters", "FiscalSign"),
                      std::to_string(made.sign));
            EXPECT_EQ(xmlAttribute(retried.text(3), "Parameters", "DateTime"),
                      localDateTime(made.date));
        } else {
            auto args = sale().args(session.device());
            args[2] = Value::text(other);
            ASSERT_TRUE(session.call("ProcessCheck", args).succeeded())
                << session.lastError().second;
            Calls expected{fn("get_state"), fn("get_fdstate"), fn("get_fdtag")};
            const Calls receipt = sale().calls;
            expected.insert(expected.end(), receipt.begin(), receipt.end());
            EXPECT_EQ(session.driver().calls(), expected);
            EXPECT_EQ(receiptsMade(session), 2);
        }
        EXPECT_FALSE(std::filesystem::exists(record));
        EXPECT_EQ(session.lastError().first, 0);
    }
}

// A cash document is settled by the drawer: the same cash-in again, which the
// drawer shows made, moves no more money.
TEST(UnknownOutcome, ACashDocumentIsSettledByTheDrawer) {
    HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
    ASSERT_TRUE(session.openWithShift());
    const int64_t drawer = drawerOf(session);
    session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
                            R"("answer":"","perform":true})");
    session.driver().inject(R"({"function":"korvant3_fremu_get_money","call":0,"result":-2})");
    EXPECT_FALSE(session.call("CashInOutcome", cashIn().args(session.device())).succeeded());
    EXPECT_EQ(session.lastError().first, kProtocolError);
    session.driver().emulator().clearFaults();
    session.driver().clearJournal();
    EXPECT_TRUE(session.call("CashInOutcome", cashIn().args(session.device())).succeeded())
        << session.lastError().second;
    EXPECT_EQ(session.driver().calls(), (Calls{fn("get_state"), fremu("get_money")}));
    EXPECT_EQ(drawerOf(session), drawer + 1505000);
}

// Without the number of the document before the closing, a closing whose
// answer was lost is unknown: "made" is never concluded merely because no
// document is open.
TEST(UnknownOutcome, WithoutABaselineNothingIsConcludedMade) {
    HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
    ASSERT_TRUE(session.openWithShift());
    session.driver().inject(R"({"function":"korvant3_fremu_open_doc","call":1,"at":"end",)"
                            R"("answer":"{\"response\":0,\"extended\":0,\"data\":{}}",)"
                            R"("perform":true})");
    session.driver().inject(R"({"function":"korvant3_get_fdstate","call":0,"result":-2})");
    session.driver().inject(R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end",)"
                            R"("answer":"","perform":true})");
    EXPECT_FALSE(session.call("ProcessCheck", sale().args(session.device())).succeeded());
    EXPECT_EQ(session.lastError().first, kProtocolError);
    EXPECT_NE(session.lastError().second.find("may have been printed"), std::string::npos);
    EXPECT_TRUE(session.driver().emulator().state()["document"].is_null());
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
} // namespace korvant::testing::recovery_test
