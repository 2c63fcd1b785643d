// The add-in itself, loaded and called through the host in this process, as 1C:Enterprise
// would. Every test ends with the host's memory checks: nothing handed back from a foreign
// block, nothing freed twice, nothing left behind.

#include "host/addin/addin.h"
#include "host/setup/program_data_root.h"
#include "host_test_support.h"
#include "support/process_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

using namespace korvant::host;
using namespace korvant::host::testing;

namespace {

class RealAddIn : public ::testing::Test {
protected:
    void SetUp() override { loadAttached(KORVANT_ADDIN_PATH, addin, component); }

    void TearDown() override {
        if (component) {
            // The language is the library's, shared with later tests (the process locale
            // SetLocale also switched is given back by `locale`).
            component->setLocale("en_US");
            EXPECT_TRUE(component->memory().problems().empty()) << component->memory().report();
            EXPECT_EQ(component->memory().liveBlocks(), 0u);
        }
    }

    CallResult lastError() { return component->call("GetLastError", {Value::empty()}); }

    korvant::testing::KeptProcessLocale locale;
    ProgramDataRoot root; // an empty root: no library configured
    std::unique_ptr<AddIn> addin;
    std::unique_ptr<Component> component;
};

TEST_F(RealAddIn, ExportsAnswerAsTheHostExpects) {
    const HostChar* names = addin->classNames();
    EXPECT_EQ(std::u16string_view(names), u"AddInKorvant");
    EXPECT_EQ(addin->classNames(), names) << "the same buffer on every call";

    void* object = component->object();
    EXPECT_EQ(addin->getClassObject(u"Anything", &object), 0);
    EXPECT_EQ(object, component->object()) << "a non-null pointer is left as it was";
    EXPECT_EQ(addin->getClassObject(nullptr, nullptr), 0);

    std::string error;
    auto other = addin->create(error, u"AnyName");
    ASSERT_TRUE(other) << error;
    EXPECT_EQ(other->getInfo(), 2000);
    EXPECT_EQ(other->destroy(), 0);

    void* none = nullptr;
    EXPECT_EQ(addin->destroyObject(&none), -1);
    EXPECT_EQ(addin->destroyObject(nullptr), -1);
}

TEST_F(RealAddIn, InterfaceBasics) {
    EXPECT_EQ(component->getInfo(), 2000);
    component->done();
    EXPECT_EQ(component->nProps(), 0);
    EXPECT_EQ(component->findProp("Anything"), -1);
    EXPECT_EQ(component->propName(0, 0), std::nullopt);
    EXPECT_EQ(component->propVal(0), std::nullopt);
    EXPECT_FALSE(component->setPropVal(0, Value::i4(1)));
    EXPECT_FALSE(component->isPropReadable(0));
    EXPECT_FALSE(component->isPropWritable(0));
    EXPECT_EQ(component->paramDefValue(0, 0), std::nullopt);
    // Statements are refused only where a function call would be: a wrong count, no method.
    for (const auto& [number, called] :
         {std::pair{0L, true}, std::pair{2L, true}, std::pair{28L, false}, std::pair{29L, false}}) {
        EXPECT_EQ(component->callAsProc(number, {Value::empty()}).called, called) << number;
    }
    EXPECT_FALSE(component->init(nullptr)) << "Init answers whether a connection was given";
    EXPECT_TRUE(component->init());

    std::optional<std::u16string> name;
    EXPECT_TRUE(component->registerExtensionAs(name));
    EXPECT_EQ(name, u"Korvant");
    component->memory().failAllocation(1);
    EXPECT_TRUE(component->registerExtensionAs(name)) << "a failed allocation still answers true";
    EXPECT_EQ(name, std::nullopt);
}

TEST_F(RealAddIn, WithoutMemoryManagerNoTextIsHandedBack) {
    std::string error;
    auto bare = addin->create(error);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->setMemManager(nullptr));
    std::optional<std::u16string> name;
    EXPECT_FALSE(bare->registerExtensionAs(name));
    EXPECT_EQ(bare->methodName(0, 0), std::nullopt);
    EXPECT_EQ(bare->memory().allocations(), 0u);
}

TEST_F(RealAddIn, MethodTable) {
    EXPECT_EQ(component->nMethods(), 29);
    EXPECT_EQ(component->findMethod("GetInterfaceRevision"), 0);
    EXPECT_EQ(component->findMethod("ПолучитьРевизиюИнтерфейса"), 0);
    EXPECT_EQ(component->findMethod("getinterfacerevision"), -1);
    EXPECT_EQ(component->findMethod("ConfirmKM"), 28);
    EXPECT_EQ(component->findMethod("ОткрытьДенежныйЯщик"), 22);
    EXPECT_EQ(component->methodName(28, 1), u"ПодтвердитьКМ");
    EXPECT_EQ(component->methodName(5, 0), u"Open");
    EXPECT_EQ(component->methodName(29, 0), std::nullopt);
    EXPECT_EQ(component->methodName(0, 2), std::nullopt);
    EXPECT_EQ(component->methodName(-1, 0), std::nullopt);
    EXPECT_EQ(component->nParams(14), 4);
    EXPECT_EQ(component->nParams(29), 0);
    EXPECT_TRUE(component->hasRetVal(0));
    EXPECT_FALSE(component->hasRetVal(29));
}

TEST_F(RealAddIn, DispatcherAnswers) {
    const std::vector<Value> five(5, Value::empty());
    EXPECT_EQ(component->call("GetInterfaceRevision", five).result, Value::i4(3005));
    EXPECT_EQ(component->call("GetInterfaceRevision").result, Value::i4(3005));

    const auto wrongCount = component->call("Open", {Value::text(""), Value::text("")});
    EXPECT_FALSE(wrongCount.called);
    EXPECT_EQ(wrongCount.result, std::nullopt);
    const auto copy = component->call("PrintCheckCopy", {Value::empty(), Value::text("0")});
    EXPECT_TRUE(copy.called);
    EXPECT_EQ(copy.result, Value::boolean(false));
    EXPECT_EQ(lastError().result, Value::i4(4));

    const auto km = component->call("RequestKM", std::vector<Value>(3, Value::empty()));
    EXPECT_TRUE(km.called);
    EXPECT_EQ(km.result, Value::boolean(false));
    EXPECT_FALSE(component->call("RequestKM", {Value::empty()}).called);
}

TEST_F(RealAddIn, LastErrorInBothLanguages) {
    const auto fresh = lastError();
    EXPECT_EQ(fresh.result, Value::i4(0));
    EXPECT_EQ(fresh.text(0), "No error");

    const auto drawer = component->call("OpenCashDrawer", {Value::text("")});
    EXPECT_TRUE(drawer.called);
    EXPECT_EQ(drawer.result, Value::boolean(false));
    const auto unsupported = lastError();
    EXPECT_EQ(unsupported.result, Value::i4(4));
    EXPECT_EQ(unsupported.text(0), "Unsupported");
    EXPECT_EQ(lastError().result, Value::i4(4)) << "reading the error does not reset it";

    component->setLocale("ru_RU");
    EXPECT_EQ(lastError().text(0), "Не поддерживается");
    component->setLocale("en_US");
    EXPECT_EQ(lastError().text(0), "Unsupported");
}

// SetLocale sets the process locale the host names, except the numeric category: the host's
// own reading and printing of numbers must not change under it.
TEST_F(RealAddIn, SetLocaleLeavesTheHostsNumbersAlone) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    // A locale of this machine with a decimal comma, named as a host would name it here.
    std::string chosen;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "Russian_Russia.1251"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    std::setlocale(LC_ALL, before.c_str());
    if (chosen.empty()) {
        GTEST_SKIP() << "no Russian locale on this machine";
    }
    const std::string collate = std::setlocale(LC_COLLATE, nullptr);

    component->setLocale(chosen);
    const std::string collateAfter = std::setlocale(LC_COLLATE, nullptr);
    const std::string numericAfter = std::setlocale(LC_NUMERIC, nullptr);
    const std::string point = std::localeconv()->decimal_point;
    const double read = std::strtod("-150.5", nullptr);
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 2.5);
    std::setlocale(LC_ALL, before.c_str());

    EXPECT_NE(collateAfter, collate) << "the other categories follow the host";
    EXPECT_EQ(numericAfter, numeric);
    EXPECT_EQ(point, ".");
    EXPECT_EQ(read, -150.5);
    EXPECT_STREQ(printed, "2.5");
}

TEST_F(RealAddIn, OpenWithoutDeviceLibrary) {
    const auto open = component->call("Open", {Value::text("")});
    EXPECT_TRUE(open.called);
    EXPECT_EQ(open.result, Value::boolean(false));
    const auto error = lastError();
    EXPECT_EQ(error.result, Value::i4(7));
    EXPECT_EQ(error.text(0), "Error loading driver library");
}

TEST_F(RealAddIn, AdditionalActions) {
    const auto actions = component->call("GetAdditionalActions", {Value::text("")});
    EXPECT_TRUE(actions.succeeded());
    EXPECT_EQ(actions.text(0), R"(<?xml version="1.0" encoding="UTF-8"?><Actions/>)");
}

TEST_F(RealAddIn, FailedHostAllocations) {
    auto& memory = component->memory();
    memory.failAllocation(1);
    const auto actions = component->call("GetAdditionalActions", {Value::text("before")});
    EXPECT_TRUE(actions.called);
    EXPECT_EQ(actions.result, Value::boolean(false));
    EXPECT_EQ(actions.args.at(0), Value::text("before")) << "the argument is left as it was";

    component->call("OpenCashDrawer", {Value::text("")});
    memory.failAllocation(1);
    const auto error = component->call("GetLastError", {Value::text("before")});
    EXPECT_EQ(error.result, Value::i4(4)) << "the code is answered all the same";
    EXPECT_EQ(error.text(0), "before");

    memory.failAllocation(1);
    EXPECT_EQ(component->methodName(0, 0), std::nullopt);
    EXPECT_EQ(memory.failedAllocations(), 3u);
}

TEST_F(RealAddIn, DeletingThroughAnyInterface) {
    std::string error;
    for (const auto which : {Interface::InitDone, Interface::LanguageExtender, Interface::Locale}) {
        auto other = addin->create(error);
        ASSERT_TRUE(other) << error;
        other->attach();
        other->deleteThroughInterface(which);
        EXPECT_EQ(other->object(), nullptr);
    }
}

} // namespace
