// The component shell in-process: method table, dispatcher, host values, errors.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>

#include "addin/add_in_korvant.h"
#include "addin/dispatcher.h"
#include "addin/method_table.h"
#include "addin/text_catalog.h"
#include "nativeapi/utf.h"
#include "operations/device_id.h"
#include "operations/host_values.h"
#include "support/process_locale.h"
#include "support/test_memory.h"

using namespace korvant;
using korvant::testing::TestMemory;
using nativeapi::tVariant;

namespace {

WideString wide(std::string_view utf8) {
    return fromUtf8(utf8);
}

tVariant emptyValue() {
    tVariant value{};
    value.vt = nativeapi::VTYPE_EMPTY;
    return value;
}

tVariant hostText(const WideString& text) {
    tVariant value{};
    value.vt = nativeapi::VTYPE_PWSTR;
    value.wstr.pwstrVal = const_cast<WCHAR_T*>(text.c_str());
    value.wstr.wstrLen = static_cast<uint32_t>(text.size());
    return value;
}

std::string resultText(const tVariant& value) {
    EXPECT_EQ(value.vt, nativeapi::VTYPE_PWSTR);
    return utf16ToUtf8(
        std::u16string(value.wstr.pwstrVal, value.wstr.pwstrVal + value.wstr.wstrLen));
}

// The number the host calls a method by, found by its English name as the host finds it.
long methodNumber(std::string_view name) {
    const long number = findMethod(name);
    EXPECT_GE(number, 0) << name;
    return number;
}

class ComponentMethods : public ::testing::Test {
protected:
    void SetUp() override {
        TextCatalog::select(Language::English);
        component.setMemManager(&memory);
    }
    void TearDown() override { TextCatalog::select(Language::English); }

    // CallAsFunc with `count` empty arguments.
    bool call(long number, tVariant& result, long count) {
        std::vector<tVariant> params(static_cast<size_t>(count), emptyValue());
        return component.CallAsFunc(number, &result, params.data(), count);
    }
    bool call(std::string_view method, tVariant& result, long count) {
        return call(methodNumber(method), result, count);
    }
    std::pair<int32_t, std::string> lastError() { return lastError(component); }
    std::pair<int32_t, std::string> lastError(AddInKorvant& of) {
        tVariant result = emptyValue();
        tVariant message = emptyValue();
        EXPECT_TRUE(of.CallAsFunc(methodNumber("GetLastError"), &result, &message, 1));
        EXPECT_EQ(result.vt, nativeapi::VTYPE_I4);
        return {result.lVal, message.vt == nativeapi::VTYPE_PWSTR ? resultText(message) : ""};
    }

    // The process locale SetLocale switches, given back after the test.
    korvant::testing::KeptProcessLocale locale;
    TestMemory memory;
    AddInKorvant component;
};

TEST_F(ComponentMethods, FindsMethodsByExactEnglishOrRussianName) {
    EXPECT_EQ(component.FindMethod(wide("GetInterfaceRevision").c_str()), 0);
    EXPECT_EQ(component.FindMethod(wide("ПолучитьРевизиюИнтерфейса").c_str()), 0);
    EXPECT_EQ(component.FindMethod(wide("getinterfacerevision").c_str()), -1);
    EXPECT_EQ(component.FindMethod(wide("ConfirmKM").c_str()), 28);
    EXPECT_EQ(component.FindMethod(wide("СформироватьЧек").c_str()), 14);
    EXPECT_EQ(component.FindMethod(wide(" Open").c_str()), -1);
    EXPECT_EQ(component.FindMethod(nullptr), -1);
    EXPECT_EQ(component.GetNMethods(), 29);
}

TEST_F(ComponentMethods, MethodNamesAndCounts) {
    const WCHAR_T* name = component.GetMethodName(28, 1);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(toUtf8(name), "ПодтвердитьКМ");
    EXPECT_EQ(component.GetMethodName(29, 0), nullptr);
    EXPECT_EQ(component.GetMethodName(0, 2), nullptr);
    EXPECT_EQ(component.GetMethodName(-1, 0), nullptr);
    EXPECT_EQ(component.GetNParams(methodNumber("ProcessCheck")), 4);
    EXPECT_EQ(component.GetNParams(29), 0);
    EXPECT_TRUE(component.HasRetVal(methodNumber("GetInterfaceRevision")));
    EXPECT_FALSE(component.HasRetVal(29));
    EXPECT_FALSE(component.HasRetVal(-1));
}

TEST_F(ComponentMethods, PropertiesAreAbsent) {
    EXPECT_EQ(component.GetInfo(), 2000);
    EXPECT_EQ(component.GetNProps(), 0);
    EXPECT_EQ(component.FindProp(wide("Anything").c_str()), -1);
}

// 1C calls a method as a statement whenever the code does not use its value, and raises when
// CallAsProc answers false: a statement must be refused exactly where a function call is, and
// leave the same last error behind.
TEST_F(ComponentMethods, StatementsRunAndAreRefusedExactlyAsFunctionCalls) {
    AddInKorvant functions;
    functions.setMemManager(&memory);
    for (long number = -1; number <= 29; ++number) {
        for (long count = 0; count <= 4; ++count) {
            std::vector<tVariant> asFunction(static_cast<size_t>(count), emptyValue());
            std::vector<tVariant> asStatement(asFunction);
            tVariant result = emptyValue();
            const bool called = functions.CallAsFunc(number, &result, asFunction.data(), count);
            EXPECT_EQ(component.CallAsProc(number, asStatement.data(), count), called)
                << "method " << number << " with " << count << " arguments";
            EXPECT_EQ(lastError(), lastError(functions)) << "method " << number;
        }
    }
}

TEST_F(ComponentMethods, StatementWritesItsTextArguments) {
    tVariant form = emptyValue();
    ASSERT_TRUE(component.CallAsProc(methodNumber("GetParameters"), &form, 1));
    EXPECT_NE(resultText(form).find("<Settings>"), std::string::npos);
}

TEST_F(ComponentMethods, InterfaceRevisionIgnoresTheArgumentCount) {
    tVariant result = emptyValue();
    ASSERT_TRUE(call("GetInterfaceRevision", result, 5));
    EXPECT_EQ(result.vt, nativeapi::VTYPE_I4);
    EXPECT_EQ(result.lVal, 3005);
}

TEST_F(ComponentMethods, WrongCountIsRefusedWithoutTouchingAnything) {
    tVariant result = emptyValue();
    result.lVal = 77;
    EXPECT_FALSE(call("Open", result, 2));
    EXPECT_EQ(result.vt, nativeapi::VTYPE_EMPTY);
    EXPECT_EQ(result.lVal, 77);
    EXPECT_EQ(lastError().first, 0);
    EXPECT_FALSE(call(29, result, 0));
    EXPECT_FALSE(call(-1, result, 0));
}

// A check copy and the cash drawer are called with any number of arguments; the marking-code
// methods only with theirs. Each answers false with code 4, so the cashier is told why.
TEST_F(ComponentMethods, UnsupportedMethodsAnswerFalseWithCodeFour) {
    struct Case {
        std::string_view method;
        long goodCount;
        bool anyCount;
    };
    for (const Case c : {Case{"PrintCheckCopy", 2, true}, Case{"OpenCashDrawer", 1, true},
                         Case{"OpenSessionRegistrationKM", 1, false},
                         Case{"CloseSessionRegistrationKM", 1, false}, Case{"RequestKM", 3, false},
                         Case{"GetProcessingKMResult", 3, false}, Case{"ConfirmKM", 3, false}}) {
        const long number = methodNumber(c.method);
        AddInKorvant fresh;
        fresh.setMemManager(&memory);
        std::vector<tVariant> params(3, emptyValue());
        tVariant result = emptyValue();
        ASSERT_TRUE(fresh.CallAsFunc(number, &result, params.data(), c.goodCount)) << c.method;
        EXPECT_EQ(result.vt, nativeapi::VTYPE_BOOL);
        EXPECT_FALSE(result.bVal);
        EXPECT_EQ(lastError(fresh).first, 4) << c.method;
        const long otherCount = c.goodCount == 1 ? 3 : 1;
        EXPECT_EQ(fresh.CallAsFunc(number, &result, params.data(), otherCount), c.anyCount)
            << c.method;
    }
}

TEST_F(ComponentMethods, AdditionalActionIsNotOfferedAndKeepsTheLastError) {
    tVariant result = emptyValue();
    ASSERT_TRUE(call("OpenCashDrawer", result, 0));
    ASSERT_TRUE(call("DoAdditionalAction", result, 1));
    EXPECT_EQ(result.vt, nativeapi::VTYPE_BOOL);
    EXPECT_FALSE(result.bVal);
    EXPECT_EQ(lastError().first, 4);
    EXPECT_FALSE(call("DoAdditionalAction", result, 2));
}

TEST_F(ComponentMethods, OpenCashDrawerReportsUnsupportedInBothLanguages) {
    tVariant result = emptyValue();
    ASSERT_TRUE(call("OpenCashDrawer", result, 7));
    EXPECT_EQ(result.vt, nativeapi::VTYPE_BOOL);
    EXPECT_FALSE(result.bVal);
    EXPECT_EQ(lastError(), std::make_pair(4, std::string("Unsupported")));
    EXPECT_EQ(lastError().first, 4) << "GetLastError does not reset the code";
    component.SetLocale(wide("ru_RU").c_str());
    EXPECT_EQ(lastError(), std::make_pair(4, std::string("Не поддерживается")));
}

TEST_F(ComponentMethods, LocaleSelectsRussianOnlyForLowerCaseRu) {
    struct Case {
        const char* locale;
        const char* message;
    };
    for (const Case c :
         {Case{"ru_RU", "Нет ошибки"}, Case{"ru", "Нет ошибки"}, Case{"ru-RU", "Нет ошибки"},
          Case{"RU", "No error"}, Case{"en_US", "No error"}, Case{"", "No error"}}) {
        component.SetLocale(wide(c.locale).c_str());
        EXPECT_EQ(lastError().second, c.message) << c.locale;
    }
    component.SetLocale(nullptr);
    EXPECT_EQ(lastError().second, "No error");
}

TEST_F(ComponentMethods, DeviceMethodsReportLibraryNotLoaded) {
    for (long number : {5L, 6L, 7L, 10L, 12L, 13L, 14L, 15L, 16L, 17L, 18L, 20L, 21L, 23L}) {
        tVariant result = emptyValue();
        const long count = component.GetNParams(number);
        ASSERT_TRUE(call(number, result, count)) << number;
        EXPECT_EQ(result.vt, nativeapi::VTYPE_BOOL);
        EXPECT_FALSE(result.bVal);
        EXPECT_EQ(lastError(), std::make_pair(7, std::string("Error loading driver library")));
    }
}

TEST_F(ComponentMethods, AdditionalActionsAreAnEmptyDocument) {
    tVariant result = emptyValue();
    tVariant actions = emptyValue();
    ASSERT_TRUE(component.CallAsFunc(methodNumber("GetAdditionalActions"), &result, &actions, 1));
    EXPECT_TRUE(result.bVal);
    EXPECT_EQ(resultText(actions), R"(<?xml version="1.0" encoding="UTF-8"?><Actions/>)");
}

TEST_F(ComponentMethods, HostAllocationFailureIsTheOutcome) {
    memory.failAt = memory.allocations + 1;
    tVariant result = emptyValue();
    tVariant actions = emptyValue();
    ASSERT_TRUE(component.CallAsFunc(methodNumber("GetAdditionalActions"), &result, &actions, 1));
    EXPECT_FALSE(result.bVal);
    EXPECT_EQ(actions.vt, nativeapi::VTYPE_EMPTY);
}

TEST_F(ComponentMethods, RegisterExtensionAsAllocatesSixteenBytes) {
    WCHAR_T* name = nullptr;
    ASSERT_TRUE(component.RegisterExtensionAs(&name));
    EXPECT_EQ(memory.lastBytes, 16u);
    EXPECT_EQ(toUtf8(name), "Korvant");
    AddInKorvant without;
    EXPECT_FALSE(without.RegisterExtensionAs(&name));
}

TEST_F(ComponentMethods, InitReturnsWhetherAConnectionWasGiven) {
    int connection = 0;
    EXPECT_TRUE(component.Init(&connection));
    EXPECT_FALSE(component.Init(nullptr));
}

TEST(Dispatcher, AnExceptionInAMethodBecomesAFalseOutcome) {
    ComponentState state;
    const MethodInfo throwing{"Throw",
                              "Бросить",
                              0,
                              1,
                              ArgumentCheck::Exact,
                              [](ComponentState&, const HostArgs&) -> MethodOutcome {
                                  throw std::runtime_error("boom");
                              }};
    tVariant result = emptyValue();
    EXPECT_TRUE(invokeMethod(state, throwing, &result, nullptr, 0));
    EXPECT_EQ(result.vt, nativeapi::VTYPE_BOOL);
    EXPECT_FALSE(result.bVal);
    EXPECT_EQ(state.lastError, ErrorCode::OtherError);
}

TEST(DeviceId, ScansLikeKorvantPercentD) {
    struct Case {
        const char* text;
        std::optional<int32_t> number;
    };
    const Case cases[] = {
        {"korvant1", 1},
        {"korvant1 ", 1},
        {"korvant+1", 1},
        {"korvant 12abc", 12},
        {"korvant-3", -3},
        {"Korvant1", std::nullopt},
        {"korvant", std::nullopt},
        {"1", std::nullopt},
        {"korvantx1", std::nullopt},
        {"korvant99999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseDeviceId(c.text), c.number) << c.text;
    }
    EXPECT_EQ(formatDeviceId(42), "korvant42");
}

TEST(DeviceId, IdentifierMustNameTheOpenDevice) {
    ComponentState state;
    state.currentDevice = 1;
    const WideString texts[] = {wide("korvant1"), wide("korvant2")};
    tVariant args[] = {hostText(texts[0]), hostText(texts[1])};
    // The library is not loaded: even the open device's identifier gives 7.
    EXPECT_FALSE(beginDeviceOperation(state, HostArgs(nullptr, &args[0], 1)));
    EXPECT_EQ(state.lastError, ErrorCode::DriverLoadError);

    state.library->useFunctions({});
    const auto session = beginDeviceOperation(state, HostArgs(nullptr, &args[0], 1));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->handle, 1);
    EXPECT_EQ(state.lastError, ErrorCode::NoError);
    // Another device's identifier gives 3.
    EXPECT_FALSE(beginDeviceOperation(state, HostArgs(nullptr, &args[1], 1)));
    EXPECT_EQ(state.lastError, ErrorCode::InvalidDeviceId);
}

TEST(HostValues, ReadsHostTextToItsTerminatorWhateverItsLength) {
    const WideString text = wide("korvant1");
    tVariant value = hostText(text);
    value.wstr.wstrLen = 3;
    EXPECT_EQ(HostArgs(nullptr, &value, 1).text(0), "korvant1");
    value.wstr.pwstrVal = nullptr;
    EXPECT_EQ(HostArgs(nullptr, &value, 1).text(0), "");
    EXPECT_EQ(HostArgs(nullptr, nullptr, 3).text(2), "");
    tVariant number{};
    number.vt = nativeapi::VTYPE_I4;
    EXPECT_EQ(HostArgs(nullptr, &number, 1).text(0), "");
}

TEST(HostValues, ResultTextsCarryTheirTerminatingZero) {
    TestMemory memory;
    const struct {
        std::string_view text;
        uint32_t length;
    } cases[] = {{"", 0}, {"Нет ошибки", 10}, {"😀", 2}, {std::string_view("ab\0cd", 5), 2}};
    for (const auto& c : cases) {
        tVariant value = emptyValue();
        ASSERT_TRUE(setResultString(&memory, value, c.text));
        EXPECT_EQ(value.vt, nativeapi::VTYPE_PWSTR);
        EXPECT_EQ(value.wstr.wstrLen, c.length) << c.text;
        EXPECT_EQ(memory.lastBytes, (c.length + 1) * sizeof(WCHAR_T)) << c.text;
        EXPECT_EQ(value.wstr.pwstrVal[c.length], 0) << c.text;
    }
    tVariant untouched = emptyValue();
    EXPECT_FALSE(setResultString(nullptr, untouched, "x"));
    EXPECT_EQ(untouched.vt, nativeapi::VTYPE_EMPTY);
}

TEST(HostValues, CopyToHostBufferFillsAndTerminates) {
    WCHAR_T storage[8];
    std::fill(std::begin(storage), std::end(storage), WCHAR_T('#'));
    WCHAR_T* buffer = storage;
    const WideString text = wide("Korvant");
    EXPECT_EQ(copyToHostBuffer(&buffer, text.c_str(), 8), 7u);
    EXPECT_EQ(WideString(storage), text);
    EXPECT_EQ(storage[7], 0);
}

} // namespace
