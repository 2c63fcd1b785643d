// Every operation against every way the device library can misbehave: for each
// library function an operation calls, and each fault the emulator can inject
// into it, the operation must answer the ErrorCode its answer mapping
// documents, leave its output argument as the host passed it, cancel a
// document it opened, call nothing after the failing step, and hand the host
// no block it does not free.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "driver/hardening/hardening_session.h"

namespace korvant::testing {
namespace {

using host::Value;

// How the failing function's own answer is judged.
enum class Mapping {
    TaskStart, // a task function: its result and start answer
    TaskEnd,   // a task function: its final answer ("at": "end")
    Query,     // the poll of a task (korvant3_fremu_query)
    Status,    // get_info, get_state, get_fdstate, fremu_get_money
    FiscalMode,
    Open, // korvant3_open
};

// The driver's errors as its documentation lists them (docs/error-codes.md): the code
// GetLastError gives, and the English text its message begins with. Every row of the matrix
// checks both, so a code is the documented one for what went wrong, not merely some number.
constexpr int kSuccess = 0;
constexpr int kProtocolError = 1;
constexpr int kWrongSerial = 2;
constexpr int kInvalidDevice = 3;
constexpr int kOtherError = 5;
constexpr int kOperationFailed = 6;
constexpr int kIncompatible = 8;
constexpr int kInputParameters = 9;
constexpr int kShiftAlreadyOpen = 10;
constexpr int kShiftTooLong = 11;
constexpr int kPaymentParameters = 12;
constexpr int kNotEnoughMoney = 13;
constexpr int kNotAllowed = 14;
constexpr int kShiftAlreadyClosed = 15;
const std::map<int, std::string> kDocumentedTexts{
    {kSuccess, "No error"},
    {kProtocolError, "Protocol error"},
    {kWrongSerial, "Wrong serial number"},
    {kInvalidDevice, "Invalid Device ID"},
    {kOtherError, "Unknown error"},
    {kOperationFailed, "Operation fails"},
    {kIncompatible, "Incompatible driver version"},
    {kInputParameters, "Input parameters error"},
    {kShiftAlreadyOpen, "Shift is already open"},
    {kShiftTooLong, "Shift is too long (24h)"},
    {kPaymentParameters, "Error in payment parameters"},
    {kNotEnoughMoney, "Not enough money"},
    {kNotAllowed, "Operation not allowed"},
    {kShiftAlreadyClosed, "Shift is already closed"},
};

// A refusal (R 3) by its sub-code, as the register documents it (docs/emulator-answers.md), and
// the driver's error that names the same thing. Any other refusal is an operation that failed.
int refusalError(int extended) {
    static const std::map<int, int> kRefusals{
        {106, kInputParameters},   // a value the register does not take
        {107, kShiftAlreadyOpen},  // opening an open shift
        {108, kShiftTooLong},      // a document in a shift open 24 hours or more
        {109, kPaymentParameters}, // non-cash payments above the total, a negative payment
        {112, kNotEnoughMoney},    // payments below the total, cash out above the drawer
        {113, kNotAllowed},        // not allowed in the register's state
        {114, kShiftAlreadyClosed} // closing a closed shift
    };
    const auto found = kRefusals.find(extended);
    return found == kRefusals.end() ? kOperationFailed : found->second;
}

// An answer whose envelope is well-formed but whose data members all have the
// wrong type: it fails exactly where the operation reads the data.
constexpr const char* kWrongDataTypes =
    R"({"response":0,"extended":0,"data":{"serial":1,"version":2,"line_length":"48",)"
    R"("flash_bank":"0","dev_context":"x","fd_mode":"x","fd_serial":3,"regnum":4,)"
    R"("shift_id":"1","fd_shift_state":"1","fd_number":"x","fd_sign":"x","fd_date":"x",)"
    R"("shift_cash":"1","fd_last_doc":"x","fd_waiting":"x","sales":{"check_count":"x"}}})";

// One way to misbehave: the members added to the rule, and the ErrorCode each
// mapping documents for it (absent: the kind does not apply to that mapping).
// `dataTypes` marks the kind whose outcome depends on whether the operation
// reads the answer's data.
struct FaultKind {
    std::string name;
    nlohmann::json rule;
    std::map<Mapping, int> expected;
    bool dataTypes = false;
};

// The register still does the work and only its answer is spoiled: at the
// start the task exists, at the end the document really changed.
nlohmann::json answerRule(const std::string& text, bool atEnd) {
    nlohmann::json rule{{"answer", text}, {"perform", true}};
    if (atEnd) {
        rule["at"] = "end";
    }
    return rule;
}

std::vector<FaultKind> faultKinds() {
    using M = Mapping;
    std::vector<FaultKind> kinds{
        {"result -1",
         {{"result", -1}},
         {{M::TaskStart, kInvalidDevice},
          {M::Query, kInvalidDevice},
          {M::Status, kInvalidDevice},
          {M::FiscalMode, kInvalidDevice},
          {M::Open, kProtocolError}}},
        {"result -2",
         {{"result", -2}},
         {{M::TaskStart, kProtocolError},
          {M::Query, kProtocolError},
          {M::Status, kProtocolError},
          {M::FiscalMode, kProtocolError},
          {M::Open, kProtocolError}}},
        {"result -8",
         {{"result", -8}},
         {{M::TaskStart, kInputParameters},
          {M::Query, kProtocolError},
          {M::Status, kProtocolError},
          {M::FiscalMode, kProtocolError},
          {M::Open, kProtocolError}}},
        {"result 0", {{"result", 0}}, {{M::Open, kOtherError}}},
        {"R 1",
         {{"response", 1}},
         {{M::TaskStart, 1}, {M::Query, 1}, {M::Status, 1}, {M::FiscalMode, 1}, {M::Open, 1}}},
        {"R 2",
         {{"response", 2}},
         {{M::TaskStart, kInputParameters},
          {M::Query, kSuccess},
          {M::Status, kSuccess},
          {M::FiscalMode, kOtherError},
          {M::Open, kSuccess}}},
        {"R 4",
         {{"response", 4}},
         {{M::TaskStart, kWrongSerial},
          {M::Query, kWrongSerial},
          {M::Status, kWrongSerial},
          {M::FiscalMode, kWrongSerial},
          {M::Open, kSuccess}}},
        {"R 7",
         {{"response", 7}},
         {{M::TaskStart, kIncompatible},
          {M::Query, kIncompatible},
          {M::Status, kIncompatible},
          {M::FiscalMode, kIncompatible},
          {M::Open, kIncompatible}}},
        {"R 5 (unlisted)",
         {{"response", 5}, {"perform", true}},
         {{M::TaskStart, kSuccess},
          {M::Query, kSuccess},
          {M::Status, kSuccess},
          {M::FiscalMode, kOtherError},
          {M::Open, kSuccess}}},
        // The sub-code that lets fiscal-register mode be entered goes with R 3 only.
        {"R 5 E 101", {{"response", 5}, {"extended", 101}}, {{M::FiscalMode, kOtherError}}},
        {"R 0 E 5 at end",
         {{"response", 0}, {"extended", 5}, {"at", "end"}},
         {{M::TaskEnd, kSuccess}}},
        {"R 0 E 5",
         {{"response", 0}, {"extended", 5}},
         {{M::TaskStart, kSuccess},
          {M::Query, kSuccess},
          {M::Status, kSuccess},
          {M::FiscalMode, kSuccess},
          {M::Open, kSuccess}}},
        {"R 1 at end", {{"response", 1}, {"at", "end"}}, {{M::TaskEnd, kProtocolError}}},
        {"R 2 at end",
         {{"response", 2}, {"at", "end"}, {"perform", true}},
         {{M::TaskEnd, kSuccess}}},
        {"R 4 at end", {{"response", 4}, {"at", "end"}}, {{M::TaskEnd, kWrongSerial}}},
        {"R 7 at end", {{"response", 7}, {"at", "end"}}, {{M::TaskEnd, kIncompatible}}},
        {"R 5 at end",
         {{"response", 5}, {"at", "end"}, {"perform", true}},
         {{M::TaskEnd, kSuccess}}},
        {"malformed JSON",
         answerRule("{\"response\":0,", false),
         {{M::TaskStart, 1}, {M::Query, 1}, {M::Status, 1}, {M::FiscalMode, 1}, {M::Open, 1}}},
        {"malformed JSON at end", answerRule("[1,2", true), {{M::TaskEnd, kProtocolError}}},
        {"text response",
         answerRule(R"({"response":"0","extended":0})", false),
         {{M::TaskStart, 1}, {M::Query, 1}, {M::Status, 1}, {M::FiscalMode, 1}, {M::Open, 1}}},
        {"data not an object at end",
         answerRule(R"({"response":0,"data":[1]})", true),
         {{M::TaskEnd, kProtocolError}}},
        {"not an object",
         answerRule("17", false),
         {{M::TaskStart, 1}, {M::Query, 1}, {M::Status, 1}, {M::FiscalMode, 1}, {M::Open, 1}}},
        {"data of wrong types",
         answerRule(kWrongDataTypes, false),
         {{M::TaskStart, kSuccess},
          {M::Query, kSuccess},
          {M::Status, kSuccess},
          {M::FiscalMode, kSuccess},
          {M::Open, kSuccess}},
         true},
        {"data of wrong types at end",
         answerRule(kWrongDataTypes, true),
         {{M::TaskEnd, kSuccess}},
         true},
        // A call that succeeded owes an answer; none at all is no success.
        {"empty answer",
         answerRule("", false),
         {{M::TaskStart, kProtocolError},
          {M::Query, kProtocolError},
          {M::Status, kProtocolError},
          {M::FiscalMode, kProtocolError},
          {M::Open, kProtocolError}}},
        {"empty answer at end", answerRule("", true), {{M::TaskEnd, kProtocolError}}},
        {"code beyond 32 bits",
         answerRule(R"({"response":4294967296,"extended":0})", false),
         {{M::TaskStart, kProtocolError},
          {M::Query, kProtocolError},
          {M::Status, kProtocolError},
          {M::FiscalMode, kProtocolError},
          {M::Open, kProtocolError}}},
        {"values out of range at end",
         answerRule(
             R"({"response":0,"extended":0,"data":{"fd_number":4294967296,"fd_sign":-2147483649,)"
             R"("shift_id":65536,"fd_last_doc":-1}})",
             true),
         {{M::TaskEnd, kSuccess}},
         true},
        {"busy for three polls", {{"busy_polls", 3}}, {{M::TaskStart, kSuccess}}},
        {"busy forever", {{"busy_forever", true}}, {{M::TaskStart, kProtocolError}}},
    };
    // Every sub-code of a refusal, listed or not, at the start and at the end.
    for (const int extended :
         {0, 100, 101, 103, 104, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116}) {
        const std::string name = "R 3 E " + std::to_string(extended);
        const int fiscalMode = extended == 101 ? kSuccess : kOperationFailed;
        // A poll answered busy once is simply polled again.
        const int query = extended == 103 ? kSuccess : refusalError(extended);
        kinds.push_back({name,
                         {{"response", 3}, {"extended", extended}},
                         {{M::TaskStart, refusalError(extended)},
                          {M::Query, query},
                          {M::Status, kSuccess},
                          {M::FiscalMode, fiscalMode},
                          {M::Open, kSuccess}}});
        if (extended != 103) { // a busy final answer is the busy kinds' business
            kinds.push_back({name + " at end",
                             {{"response", 3}, {"extended", extended}, {"at", "end"}},
                             {{M::TaskEnd, refusalError(extended)}}});
        }
    }
    return kinds;
}

// One library call of an operation, in the order the operation makes them.
struct Step {
    std::string function;
    bool task;        // started as a task and polled
    Mapping mapping;  // for other calls: how their answer is judged
    bool readsAnswer; // the operation reads the data of its (final) answer
};

Step task(std::string function, bool readsAnswer = false) {
    return {std::move(function), true, Mapping::TaskStart, readsAnswer};
}
Step status(std::string function) {
    return {std::move(function), false, Mapping::Status, true};
}

struct Operation {
    std::string method;
    Prelude prelude;
    std::function<std::vector<Value>(const std::string& device)> args;
    std::vector<Step> steps;
    std::optional<size_t> output = std::nullopt;   // the argument written on success only
    std::optional<size_t> openDoc = std::nullopt;  // the step that opens a document
    std::optional<size_t> closeDoc = std::nullopt; // the step that closes it
};

// A sale with receipt agent data (so an agent call follows the item) and a text line.
const std::string kSale =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0" )"
    R"(AgentType="1"><AgentData AgentPhone="+7001"/></Parameters><Positions>)"
    R"(<FiscalString Name="Tea" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" )"
    R"(VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1"/>)"
    R"(<TextString Text="thanks"/></Positions><Payments Cash="200"/></CheckPackage>)";
const std::string kRegistration =
    R"(<Parameters CashierName="Admin" CompanyName="Shop" INN="7700000000" TaxationSystems="0" )"
    R"(AgentTypes="" RegistrationReasonCode="4"/>)";

// What the host passes as an output argument; left as it is on failure.
const Value kUntouchedText = Value::text("untouched");
const Value kUntouchedNumber = Value::i4(-7);

std::vector<Value> deviceAndInput(const std::string& device) {
    return {Value::text(device), Value::text(kCashierInput), kUntouchedText};
}

std::vector<Operation> operations() {
    using M = Mapping;
    return {
        {"Open",
         Prelude::Parameters,
         [](auto&) { return std::vector{kUntouchedText}; },
         {{"korvant3_open", false, M::Open, true},
          {"korvant3_fremu_enter", false, M::FiscalMode, false}},
         0},
        {"DeviceTest",
         Prelude::Parameters,
         [](auto&) {
             return std::vector{kUntouchedText, Value::empty()};
         },
         {{"korvant3_open", false, M::Open, true}},
         0},
        {"Close",
         Prelude::Open,
         [](auto& device) { return std::vector{Value::text(device)}; },
         {{"korvant3_fremu_exit", false, M::FiscalMode, false}}},
        {"GetDataKKT",
         Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), kUntouchedText};
         },
         {status("korvant3_get_info"), status("korvant3_get_state"),
          status("korvant3_get_fdstate")},
         1},
        {"GetLineLength",
         Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), kUntouchedNumber};
         },
         {status("korvant3_get_info")},
         1},
        {"GetCurrentStatus",
         Prelude::Open,
         deviceAndInput,
         {status("korvant3_get_fdstate"), status("korvant3_fremu_get_money")},
         2},
        {"OpenShift", Prelude::Open, deviceAndInput, {task("korvant3_fremu_open_shift", true)}, 2},
        {"CloseShift",
         Prelude::OpenWithShift,
         deviceAndInput,
         {task("korvant3_fremu_close_shift", true)},
         2},
        {"ReportCurrentStatusOfSettlements",
         Prelude::Open,
         deviceAndInput,
         {task("korvant3_fremu_report_state", true)},
         2},
        {"ProcessCheck",
         Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::boolean(false), Value::text(kSale),
                                kUntouchedText};
         },
         {task("korvant3_fremu_open_doc"), task("korvant3_fremu_add_item"),
          task("korvant3_fremu_set_agent"), task("korvant3_fremu_add_text"),
          task("korvant3_fremu_close_doc", true)},
         3,
         0,
         4},
        {"ProcessCorrectionCheck",
         Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::text(kCorrection), kUntouchedText};
         },
         {task("korvant3_fremu_open_doc"), task("korvant3_fremu_add_item"),
          task("korvant3_fremu_close_doc", true)},
         2,
         0,
         2},
        {"CashInOutcome",
         Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::text(kCashierInput), Value::r8(150.5)};
         },
         {task("korvant3_fremu_open_doc"), task("korvant3_fremu_close_doc")},
         std::nullopt,
         0,
         1},
        {"PrintTextDocument",
         Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), Value::text(kTextDocument)};
         },
         {task("korvant3_fremu_print")}},
        {"PrintXReport",
         Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::empty()};
         },
         {task("korvant3_fremu_report_x")}},
        {"OperationFN change",
         Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), Value::i4(2), Value::text(kRegistration)};
         },
         {task("korvant3_fremu_registration")}},
        {"OperationFN close archive",
         Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), Value::i4(3), Value::text(kRegistration)};
         },
         {task("korvant3_fremu_close_archive")}},
    };
}

std::string methodOf(const Operation& operation) {
    return operation.method.substr(0, operation.method.find(' '));
}

// One cell of the matrix: a fault in one call of one step.
struct Row {
    size_t step;
    const FaultKind* kind;
    Mapping mapping;
    nlohmann::json rule;
    int expected;
    std::string description;
};

// Whether the register still carried the work out under the fault: a poll's
// fault spoils only that answer, a result rule stops the call before the
// register sees it, and an injected answer does the work when it says so (by
// default when its response is 0).
bool performed(const nlohmann::json& rule, Mapping mapping) {
    if (mapping == Mapping::Query) {
        return true;
    }
    if (rule.contains("result")) {
        return false;
    }
    if (rule.contains("perform")) {
        return rule["perform"].get<bool>();
    }
    return !rule.contains("response") || rule["response"] == 0;
}

// Whether a task's end is answered with success but without an answer text:
// any codes but R 0 E 0 at the end, or at a poll that is not a busy one.
bool endsWithoutAnswer(const nlohmann::json& rule, Mapping mapping) {
    const bool atEnd = mapping == Mapping::TaskEnd || mapping == Mapping::Query;
    if (!atEnd || !rule.contains("response")) {
        return false;
    }
    const int response = rule["response"];
    const int extended = rule.value("extended", 0);
    return (response != 0 || extended != 0) && !(response == 3 && extended == 103);
}

std::vector<Row> rowsOf(const Operation& operation, const std::vector<FaultKind>& kinds) {
    std::vector<Row> rows;
    size_t polls = 0;
    for (size_t step = 0; step < operation.steps.size(); ++step) {
        const Step& call = operation.steps[step];
        if (call.task) {
            ++polls;
        }
        const std::vector<std::pair<Mapping, std::string>> targets =
            call.task
                ? std::vector<std::pair<Mapping, std::string>>{{Mapping::TaskStart, call.function},
                                                               {Mapping::TaskEnd, call.function},
                                                               {Mapping::Query,
                                                                "korvant3_fremu_query"}}
                : std::vector<std::pair<Mapping, std::string>>{{call.mapping, call.function}};
        for (const auto& [mapping, function] : targets) {
            for (const FaultKind& kind : kinds) {
                const auto expected = kind.expected.find(mapping);
                if (expected == kind.expected.end()) {
                    continue;
                }
                nlohmann::json rule = kind.rule;
                rule["function"] = function;
                // Each task is polled once; the n-th poll belongs to the n-th task.
                rule["call"] = mapping == Mapping::Query ? polls : 1;
                const bool readsData = call.readsAnswer && mapping != Mapping::TaskStart;
                int code =
                    kind.dataTypes ? (readsData ? kProtocolError : kSuccess) : expected->second;
                // A task that ends well without an answer text tells nothing of
                // what it did: an operation that reports its data has none to report.
                if (code == kSuccess && readsData && endsWithoutAnswer(rule, mapping)) {
                    code = kProtocolError;
                }
                // A refused cash query tells no balance.
                if (call.function == "korvant3_fremu_get_money" && rule.value("response", 0) == 3) {
                    code = kProtocolError;
                }
                // A closing that ended without a readable answer is settled with
                // the register: the document it made is reported as made.
                const bool unknown = code == kProtocolError || code == kInvalidDevice;
                if (operation.closeDoc && step == *operation.closeDoc && unknown &&
                    performed(rule, mapping)) {
                    code = kSuccess;
                }
                // An opening refused as not allowed although the register opened
                // the document: the document is found open, cancelled, and the
                // opening tried once more.
                if (operation.openDoc && step == *operation.openDoc && code == kNotAllowed &&
                    performed(rule, mapping)) {
                    code = kSuccess;
                }
                rows.push_back(
                    {step, &kind, mapping, rule, code,
                     operation.method + ": " + kind.name + " in " + function +
                         (mapping == Mapping::Query ? " (poll of " + call.function + ")" : "")});
            }
        }
    }
    return rows;
}

class FaultMatrix : public ::testing::TestWithParam<Operation> {
protected:
    static bool called(const std::vector<std::string>& calls, const std::string& function) {
        return std::find(calls.begin(), calls.end(), function) != calls.end();
    }

    // The documented consequences of one row's outcome.
    void check(const Operation& operation, const Row& row, const host::CallResult& result,
               const std::vector<Value>& args, HardeningSession& session) {
        const bool success = row.expected == kSuccess;
        ASSERT_TRUE(result.called);
        ASSERT_TRUE(result.result.has_value());
        EXPECT_EQ(result.result->flag, success);
        const auto [code, message] = session.lastError();
        EXPECT_EQ(code, row.expected);
        EXPECT_EQ(message.rfind(kDocumentedTexts.at(row.expected), 0), 0u) << message;

        if (operation.output && !success) {
            EXPECT_EQ(result.args[*operation.output], args[*operation.output])
                << "the output argument was written";
        }
        if (operation.output && success && operation.method != "GetLineLength") {
            EXPECT_EQ(result.args[*operation.output].type, host::VType::PWStr);
        }
        const auto calls = session.driver().calls();
        // Nothing after the failing step.
        if (!success) {
            for (size_t later = row.step + 1; later < operation.steps.size(); ++later) {
                const std::string& function = operation.steps[later].function;
                const bool repeated = function == operation.steps[row.step].function;
                EXPECT_TRUE(repeated || !called(calls, function)) << function << " was called";
            }
        }
        // An opened document that was not closed is cancelled; so is one whose
        // opening has an unknown outcome (a protocol error), since it may be open,
        // and one found open after the opening was refused as not allowed.
        if (operation.openDoc) {
            const bool mayBeOpen =
                row.step > *operation.openDoc ||
                (row.step == *operation.openDoc && row.expected == kProtocolError);
            const bool foundOpen =
                row.step == *operation.openDoc && success && row.rule.value("extended", 0) == 113;
            EXPECT_EQ(called(calls, "korvant3_fremu_cancel_doc"),
                      (!success && mayBeOpen) || foundOpen);
        }
        EXPECT_EQ(session.memory().liveBlocks(), 0u) << "blocks left behind";
        EXPECT_EQ(session.memory().report(), "");
    }
};

TEST_P(FaultMatrix, EveryFaultGivesTheDocumentedOutcome) {
    const Operation& operation = GetParam();
    const auto kinds = faultKinds();
    for (const Row& row : rowsOf(operation, kinds)) {
        SCOPED_TRACE(row.description);
        HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
        ASSERT_TRUE(session.prepare(operation.prelude));
        session.driver().clearJournal();
        session.driver().inject(row.rule.dump());
        const auto args = operation.args(session.device());
        const auto result = session.call(methodOf(operation), args);
        check(operation, row, result, args, session);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FaultMatrix, WithoutFaultsTheOperationSucceeds) {
    const Operation& operation = GetParam();
    HardeningSession session(R"({"clock":1700000000,"cash":1000000})");
    ASSERT_TRUE(session.prepare(operation.prelude));
    session.driver().clearJournal();
    const auto result = session.call(methodOf(operation), operation.args(session.device()));
    EXPECT_TRUE(result.succeeded()) << session.lastError().second;
    const auto calls = session.driver().calls();
    for (const Step& step : operation.steps) {
        EXPECT_TRUE(called(calls, step.function)) << step.function;
    }
}

// A register that opened the document but never reported it finished: the
// document is cancelled, so the till can take the next receipt.
TEST(DocumentRecovery, AnOpeningThatNeverFinishedLeavesNoDocumentOpen) {
    HardeningSession session;
    ASSERT_TRUE(session.openWithShift());
    session.driver().inject(
        R"({"function":"korvant3_fremu_open_doc","call":1,"busy_forever":true})");
    const auto receipt = [&] {
        return session.call("ProcessCheck", {Value::text(session.device()), Value::boolean(false),
                                             Value::text(kSale), Value::empty()});
    };
    EXPECT_FALSE(receipt().succeeded());
    EXPECT_EQ(session.lastError().first, kProtocolError);
    EXPECT_TRUE(receipt().succeeded()) << session.lastError().second;
}

std::string operationName(const ::testing::TestParamInfo<Operation>& info) {
    std::string name = info.param.method;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultMatrix, ::testing::ValuesIn(operations()), operationName);

} // namespace
} // namespace korvant::testing
