// A host that runs out of memory: every method that hands a text back is
// called with the host refusing its 1st, 2nd, ... allocation in turn, until
// the method no longer reaches the refused one. Each refusal must give the
// documented outcome (false, the output as the host passed it, the last error
// as documented) and leave no block behind.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/hardening/hardening_session.h"

namespace korvant::testing::allocation_failure_test {
namespace {

using host::Value;

// The last error OpenCashDrawer leaves, so that a method that must not touch
// the last error shows it did not.
constexpr int kUnsupported = 4;

struct TextMethod {
    std::string method;
    Prelude prelude;
    std::function<std::vector<Value>(const std::string& device)> args;
    size_t output;
    // The last error after a refused allocation; nullopt: left as it was.
    std::optional<int> lastError;
    // The library calls that must follow the refusal (the cleanup it causes).
    std::vector<std::string> cleanup = {};
};

const Value kUntouched = Value::text("untouched");

const std::string kSale =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0"/>)"
    R"(<Positions><FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10" VATRate="20" )"
    R"(PaymentMethod="4" CalculationSubject="1"/></Positions><Payments Cash="10"/></CheckPackage>)";
const std::string kCorrection =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1"/><Positions/>)"
    R"(<Payments Cash="0"/></CheckPackage>)";

std::vector<Value> onlyOutput(const std::string&) {
    return {kUntouched};
}
std::vector<Value> deviceInputOutput(const std::string& device) {
    return {Value::text(device), Value::text(kCashierInput), kUntouched};
}

std::vector<TextMethod> textMethods() {
    return {
        {"GetDescription", Prelude::Parameters, onlyOutput, 0, std::nullopt},
        {"GetParameters", Prelude::Parameters, onlyOutput, 0, std::nullopt},
        {"GetAdditionalActions", Prelude::Parameters, onlyOutput, 0, std::nullopt},
        {"GetLastError", Prelude::Parameters, onlyOutput, 0, std::nullopt},
        // A connection the host cannot be told about is ended at once.
        {"Open", Prelude::Parameters, onlyOutput, 0, 0, {"korvant3_fremu_exit", "korvant3_close"}},
        {"DeviceTest", Prelude::Parameters,
         [](auto&) {
             return std::vector{kUntouched, Value::empty()};
         },
         0, 0},
        {"GetDataKKT", Prelude::Open,
         [](auto& device) {
             return std::vector{Value::text(device), kUntouched};
         },
         1, 0},
        {"OpenShift", Prelude::Open, deviceInputOutput, 2, 0},
        {"CloseShift", Prelude::OpenWithShift, deviceInputOutput, 2, 0},
        {"GetCurrentStatus", Prelude::Open, deviceInputOutput, 2, 0},
        {"ReportCurrentStatusOfSettlements", Prelude::Open, deviceInputOutput, 2, 0},
        // The receipt is a fiscal document by then: it stays, uncancelled.
        {"ProcessCheck", Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::boolean(false), Value::text(kSale),
                                kUntouched};
         },
         3, 0},
        {"ProcessCorrectionCheck", Prelude::OpenWithShift,
         [](auto& device) {
             return std::vector{Value::text(device), Value::text(kCorrection), kUntouched};
         },
         2, 0},
    };
}

class AllocationFailure : public ::testing::TestWithParam<TextMethod> {};

TEST_P(AllocationFailure, EveryRefusedAllocationGivesTheDocumentedOutcome) {
    const TextMethod& method = GetParam();
    for (size_t refused = 1;; ++refused) {
        SCOPED_TRACE("allocation " + std::to_string(refused) + " refused");
        HardeningSession session;
        // The last error before the call, for the methods that must keep it.
        session.call("OpenCashDrawer", {Value::empty()});
        ASSERT_TRUE(session.prepare(method.prelude));
        session.driver().clearJournal();
        host::MemoryManager& memory = session.memory();
        const size_t failedBefore = memory.failedAllocations();
        memory.failAllocation(refused);
        const auto args = method.args(session.device());
        const auto result = session.call(method.method, args);
        memory.failAllocation(0);
        ASSERT_TRUE(result.called);
        ASSERT_TRUE(result.result.has_value());

        if (memory.failedAllocations() == failedBefore) {
            // The method needed fewer allocations: it ran to its end.
            EXPECT_NE(result.args[method.output], kUntouched);
            EXPECT_GT(refused, 1u) << "the method hands back no text";
            break;
        }
        if (method.method == "GetLastError") {
            EXPECT_EQ(result.result->integer, kUnsupported) << "the code is answered all the same";
        } else {
            EXPECT_FALSE(result.result->flag);
        }
        EXPECT_EQ(result.args[method.output], kUntouched);
        EXPECT_EQ(session.lastError().first, method.lastError.value_or(kUnsupported));
        const auto calls = session.driver().calls();
        for (const std::string& function : method.cleanup) {
            EXPECT_NE(std::find(calls.begin(), calls.end(), function), calls.end()) << function;
        }
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "korvant3_fremu_cancel_doc"), 0);
        EXPECT_EQ(memory.liveBlocks(), 0u) << "blocks left behind";
        EXPECT_EQ(memory.report(), "");
    }
}

std::string methodName(const ::testing::TestParamInfo<TextMethod>& info) {
    return info.param.method;
}

INSTANTIATE_TEST_SUITE_P(TextMethods, AllocationFailure, ::testing::ValuesIn(textMethods()),
                         methodName);

// The interface's own texts: a refused name is no name, and the component
// stays usable.
TEST(AllocationFailure, MethodNamesAndTheExtensionName) {
    HardeningSession session;
    host::Component& component = session.component();
    for (long number = 0; number < component.nMethods(); ++number) {
        for (long alias : {0L, 1L}) {
            session.memory().failAllocation(1);
            EXPECT_FALSE(component.methodName(number, alias).has_value()) << number;
            EXPECT_EQ(session.memory().failedAllocations(),
                      static_cast<size_t>(number * 2 + alias + 1));
        }
    }
    session.memory().failAllocation(1);
    std::optional<std::u16string> name;
    component.registerExtensionAs(name);
    EXPECT_FALSE(name.has_value());
    EXPECT_EQ(component.methodName(0, 0), u"GetInterfaceRevision");
    EXPECT_EQ(session.memory().liveBlocks(), 0u);
    EXPECT_EQ(session.memory().report(), "");
}

} // namespace
} // namespace korvant::testing::allocation_failure_test
