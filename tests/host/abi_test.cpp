// The host against an add-in whose tables the compiler laid out: every slot must reach the
// function of its name, and the host's own objects must answer the add-in's virtual calls.

#include "host/addin/addin.h"
#include "host/system/system.h"
#include "host_test_support.h"

#include <gtest/gtest.h>

using namespace korvant::host;
using namespace korvant::host::testing;
using Kind = MemoryManager::ProblemKind;

namespace {

class FakeAddIn : public ::testing::Test {
protected:
    void SetUp() override { loadAttached(KORVANT_FAKE_ADDIN_PATH, addin, component); }

    int liveObjects() const {
        std::string error;
        auto library = SharedLibrary::open(KORVANT_FAKE_ADDIN_PATH, error);
        return library->function<int (*)()>("fake_live_objects")();
    }

    // A new component in place of the current one.
    Component& fresh() {
        std::string error;
        component = addin->create(error);
        component->attach();
        return *component;
    }

    CallResult misbehave(int mode) {
        return component->call("Misbehave", {Value::i4(mode), Value::text("host text")});
    }

    std::unique_ptr<AddIn> addin;
    std::unique_ptr<Component> component;
};

TEST_F(FakeAddIn, EverySlotReachesItsFunction) {
    EXPECT_EQ(component->getInfo(), 2000);
    component->done();
    std::optional<std::u16string> extension;
    EXPECT_TRUE(component->registerExtensionAs(extension));
    EXPECT_EQ(extension, u"Fake");
    EXPECT_EQ(component->nProps(), 1);
    EXPECT_EQ(component->findProp("Prop"), 0);
    EXPECT_EQ(component->findProp(u"Other"), -1);
    EXPECT_EQ(component->propName(0, 0), u"Prop");
    EXPECT_EQ(component->propName(0, 1), std::nullopt);
    EXPECT_TRUE(component->isPropReadable(0));
    EXPECT_FALSE(component->isPropWritable(1));
    EXPECT_EQ(component->nMethods(), 3);
    EXPECT_EQ(component->findMethod("Misbehave"), 1);
    EXPECT_EQ(component->findMethod("Локаль"), 2);
    EXPECT_EQ(component->methodName(1, 1), u"Нарушить");
    EXPECT_EQ(component->methodName(3, 0), std::nullopt);
    EXPECT_EQ(component->nParams(0), 1);
    EXPECT_EQ(component->paramDefValue(0, 0), Value::i4(42));
    EXPECT_EQ(component->paramDefValue(0, 1), std::nullopt);
    EXPECT_TRUE(component->hasRetVal(2));
    EXPECT_TRUE(component->callAsProc(0, {Value::empty()}).called);
    EXPECT_FALSE(component->callAsProc(1, {Value::empty()}).called);
    component->setLocale("ru_RU");
    EXPECT_EQ(component->call("Locale", {Value::empty()}).text(0), "ru_RU");
    EXPECT_TRUE(component->memory().problems().empty()) << component->memory().report();
    EXPECT_EQ(component->memory().liveBlocks(), 0u);
}

TEST_F(FakeAddIn, ValuesSurviveTheWayThereAndBack) {
    const Value values[] = {
        Value::empty(),
        Value::ofType(VType::Null),
        Value::integral(VType::I1, -8),
        Value::i2(-300),
        Value::i4(-70000),
        Value::integral(VType::Int, 123456),
        Value::integral(VType::I8, -5'000'000'000),
        Value::integral(VType::UI1, 250),
        Value::integral(VType::UI2, 65000),
        Value::integral(VType::UI4, 4'000'000'000),
        Value::uint(4'000'000'001u),
        Value::integral(VType::UI8, -1), // 2^64 - 1
        Value::integral(VType::Error, -2),
        Value::integral(VType::HResult, 5),
        Value::r4(1.5f),
        Value::r8(-2.25),
        Value::boolean(true),
        Value::pstr("narrow"),
        Value::pstr(""),
        Value::text("Текст 😀"),
        Value::pwstr(u""),
    };
    for (const auto& value : values) {
        const auto answer = component->call("Echo", {value});
        ASSERT_TRUE(answer.called) << value;
        EXPECT_EQ(answer.result, value);
        EXPECT_EQ(answer.args.at(0), value);
    }
    ASSERT_TRUE(component->setPropVal(0, Value::text("kept")));
    EXPECT_EQ(component->propVal(0), Value::text("kept"));
    EXPECT_EQ(component->propVal(1), std::nullopt);
    EXPECT_TRUE(component->memory().problems().empty()) << component->memory().report();
    // The property's copy is the only block left.
    EXPECT_EQ(component->memory().liveBlocks(), 1u);
}

TEST_F(FakeAddIn, WrongArgumentCountIsNotCalledAndFreesTheArguments) {
    const auto answer = component->callAsFunc(0, {Value::text("a"), Value::text("b")});
    EXPECT_FALSE(answer.called);
    EXPECT_EQ(answer.result, std::nullopt);
    EXPECT_EQ(answer.text(1), "b");
    EXPECT_EQ(component->memory().liveBlocks(), 0u);
    EXPECT_THROW(component->call("NoSuchMethod"), std::invalid_argument);
    EXPECT_EQ(component->call("0", {Value::i4(1)}).result, Value::i4(1));
}

TEST_F(FakeAddIn, MemoryFaultsOfTheAddInAreNoticed) {
    struct Case {
        int mode;
        Kind kind;
    };
    const Case cases[] = {{0, Kind::ForeignText},  {1, Kind::DoubleFree},
                          {2, Kind::Overrun},      {4, Kind::TextOverrun},
                          {8, Kind::Unterminated}, {7, Kind::DestructorCalled}};
    for (const auto& c : cases) {
        MemoryManager& memory = fresh().memory();
        ASSERT_TRUE(misbehave(c.mode).succeeded()) << c.mode;
        EXPECT_EQ(memory.problemCount(c.kind), 1u) << c.mode << ": " << memory.report();
        EXPECT_EQ(memory.problems().size(), 1u) << c.mode << ": " << memory.report();
        EXPECT_EQ(memory.liveBlocks(), 0u) << c.mode;
    }
}

TEST_F(FakeAddIn, ABlockLeftBehindStaysLive) {
    misbehave(3);
    EXPECT_EQ(component->memory().liveBlocks(), 1u);
    EXPECT_TRUE(component->memory().problems().empty());
}

TEST_F(FakeAddIn, AnArgumentTextReplacedByTheAddInIsReadAndFreed) {
    // The add-in frees the host's text itself and hands back a new one: allowed.
    const auto answer = misbehave(6);
    EXPECT_EQ(answer.text(1), "new");
    EXPECT_EQ(component->memory().liveBlocks(), 0u);
    EXPECT_TRUE(component->memory().problems().empty()) << component->memory().report();
}

TEST_F(FakeAddIn, EveryConnectionCallIsRecorded) {
    const auto answer = misbehave(5);
    EXPECT_EQ(answer.result, Value::i4(5)) << "GetEventBufferDepth answers the depth set";
    const std::vector<ConnectionCall> expected = {
        {"AddError", {"1001", "src", "descr", "-1"}},
        {"Read", {"prop"}},
        {"Write", {"prop", "{\"type\":\"BOOL\",\"value\":true}"}},
        {"RegisterProfileAs", {"profile"}},
        {"SetEventBufferDepth", {"5"}},
        {"GetEventBufferDepth", {}},
        {"ExternalEvent", {"s", "m", "(null)"}},
        {"CleanEventBuffer", {}},
        {"SetStatusLine", {"busy"}},
        {"ResetStatusLine", {}},
    };
    const auto& calls = component->connection().calls();
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].method, expected[i].method);
        EXPECT_EQ(calls[i].args, expected[i].args) << calls[i].method;
    }
    EXPECT_EQ(component->connection().count("Read"), 1u);
}

TEST_F(FakeAddIn, DeletingThroughAnyInterfaceDestroysTheObject) {
    const int before = liveObjects();
    for (const auto which : {Interface::InitDone, Interface::LanguageExtender, Interface::Locale}) {
        fresh();
        EXPECT_EQ(liveObjects(), before);
        component->deleteThroughInterface(which);
        EXPECT_EQ(liveObjects(), before - 1);
        EXPECT_EQ(component->object(), nullptr);
    }
}

TEST_F(FakeAddIn, ExportsAsGiven) {
    EXPECT_EQ(addin->className(), u"FakeA");
    EXPECT_EQ(std::u16string_view(addin->classNames()), u"FakeA|FakeB");
    void* object = component->object();
    EXPECT_EQ(addin->getClassObject(u"FakeB", &object), 0);
    EXPECT_EQ(object, component->object());
    void* none = nullptr;
    EXPECT_EQ(addin->destroyObject(&none), -1);
    EXPECT_EQ(component->destroy(), 0);
    EXPECT_EQ(component->object(), nullptr);
}

TEST(AddInLoading, MissingLibraryOrExportIsReported) {
    std::string error;
    EXPECT_FALSE(AddIn::load("/nonexistent/libnothing.so", error));
    EXPECT_NE(error.find("/nonexistent/libnothing.so"), std::string::npos) << error;
#ifdef _WIN32
    EXPECT_FALSE(AddIn::load("kernel32.dll", error)); // loads, but is no add-in
#else
    EXPECT_FALSE(AddIn::load("libm.so.6", error));
#endif
    EXPECT_NE(error.find("does not export GetClassNames"), std::string::npos) << error;
}

} // namespace
