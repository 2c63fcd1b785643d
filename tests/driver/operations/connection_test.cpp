// Open, Close and DeviceTest against the emulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "operations_fixture.h"
#include "support/new_process.h"

namespace korvant::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ConnectionTest : public ::testing::Test {
protected:
    void setParameters(std::string_view serial) {
        session.call("SetParameter", {Value::text("Serial"), Value::text(serial)});
        session.call("SetParameter", {Value::text("Ipaddr"), Value::text(kEmulatorAddress)});
    }

    host::CallResult open() { return session.call("Open", {Value::empty()}); }

    int32_t lastCode() { return session.lastError().first; }

    // Whether the identifier still names the current device: a status query
    // answers only then.
    bool isCurrent(const std::string& identifier) {
        const auto result = session.call(
            "GetCurrentStatus", {Value::text(identifier), Value::text(""), Value::empty()});
        return result.succeeded();
    }

    DriverSession session;
};

TEST_F(ConnectionTest, OpenEntersFiscalModeAndNamesTheConnection) {
    setParameters(kEmulatorSerial);
    const auto result = open();
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.text(0), "korvant1");
    EXPECT_EQ(lastCode(), 0);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_fremu_enter"));
    const auto journal = session.journal();
    EXPECT_EQ(journal[0]["address"], kEmulatorAddress);
    EXPECT_EQ(journal[1]["handle"], 1);
}

// The log is in the folder of the process's first component: this session's, in a new process.
TEST_F(ConnectionTest, OpenLogsTheIdentifierThenTheComponentVersion) {
    inNewProcess([&] {
        ASSERT_EQ(session.open(), "korvant1");
        std::ifstream log(session.programData().defaultLogPath());
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) {
            const auto where = line.find("[AddInKorvant::openDevice@");
            if (where != std::string::npos) {
                lines.push_back(line.substr(line.find("] ", where) + 2));
            }
        }
        EXPECT_THAT(lines, ElementsAre("korvant1", "1.0.36.326"));
    });
}

TEST_F(ConnectionTest, OpenWithAnotherSerialClosesTheConnection) {
    setParameters("0000000000000999");
    const auto result = open();
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 2);
    EXPECT_EQ(result.args[0].type, host::VType::Empty);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_close"));
}

// The library hands the connection back also when its answer fails the open;
// a failed Open leaves no connection behind.
TEST_F(ConnectionTest, OpenRefusedByTheOpenAnswerClosesTheConnection) {
    struct Case {
        std::string rule;
        int32_t code;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {R"({"function":"korvant3_open","call":1,"response":1})",
         1,
         {"korvant3_open", "korvant3_close"}},
        {R"({"function":"korvant3_open","call":1,"response":7})",
         8,
         {"korvant3_open", "korvant3_close"}},
        {R"({"function":"korvant3_open","call":1,"answer":"not json"})",
         1,
         {"korvant3_open", "korvant3_close"}},
        // No handle at all: nothing to close.
        {R"({"function":"korvant3_open","call":1,"result":-2})", 1, {"korvant3_open"}},
    };
    setParameters(kEmulatorSerial);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        session.clearJournal();
        session.inject(c.rule);
        EXPECT_FALSE(open().succeeded());
        EXPECT_EQ(lastCode(), c.code);
        EXPECT_EQ(session.calls(), c.calls);
    }
}

TEST_F(ConnectionTest, FiscalModeAnswersDecideOpen) {
    struct Case {
        std::string fault;
        int32_t code;
    };
    // One answer of each outcome; what every answer code becomes is the fault matrix's.
    const std::vector<Case> cases = {
        {R"("response":3,"extended":101)", 0},
        {R"("response":3,"extended":102)", 6},
    };
    setParameters(kEmulatorSerial);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        session.clearJournal();
        session.inject(R"({"function":"korvant3_fremu_enter","call":1,)" + c.fault + "}");
        const auto result = open();
        EXPECT_EQ(result.succeeded(), c.code == 0);
        EXPECT_EQ(lastCode(), c.code);
        if (c.code == 0) {
            EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_fremu_enter"));
            continue;
        }
        EXPECT_THAT(session.calls(),
                    ElementsAre("korvant3_open", "korvant3_fremu_enter", "korvant3_close"));
    }
}

TEST_F(ConnectionTest, CloseLeavesFiscalModeAndEndsTheConnection) {
    const std::string device = session.open();
    session.clearJournal();
    EXPECT_TRUE(session.call("Close", {Value::text(device)}).succeeded());
    EXPECT_EQ(lastCode(), 0);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_exit", "korvant3_close"));
    EXPECT_FALSE(isCurrent(device));
    EXPECT_EQ(lastCode(), 3);
}

TEST_F(ConnectionTest, CloseOfAnotherDeviceCallsNothing) {
    session.open();
    session.clearJournal();
    EXPECT_FALSE(session.call("Close", {Value::text("korvant7")}).succeeded());
    EXPECT_EQ(lastCode(), 3);
    EXPECT_THAT(session.calls(), IsEmpty());
}

TEST_F(ConnectionTest, FailedCloseKeepsTheDeviceCurrent) {
    const std::string device = session.open();
    session.inject(R"({"function":"korvant3_fremu_exit","call":1,"response":3,"extended":102})");
    session.clearJournal();
    EXPECT_FALSE(session.call("Close", {Value::text(device)}).succeeded());
    EXPECT_EQ(lastCode(), 6);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_exit"));
    EXPECT_TRUE(isCurrent(device));
}

// A second Open gives up the first connection only once the second works.
TEST_F(ConnectionTest, SecondOpenEndsTheEarlierConnectionAfterSucceeding) {
    const std::string first = session.open();
    session.clearJournal();
    const auto second = open();
    ASSERT_TRUE(second.succeeded());
    EXPECT_EQ(second.text(0), "korvant2");
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_fremu_enter",
                                             "korvant3_fremu_exit", "korvant3_close"));
    const auto journal = session.journal();
    EXPECT_EQ(journal[2]["handle"], 1);
    EXPECT_EQ(journal[3]["handle"], 1);
    EXPECT_FALSE(isCurrent(first));
    EXPECT_TRUE(isCurrent("korvant2"));
}

TEST_F(ConnectionTest, FailedSecondOpenKeepsTheWorkingDevice) {
    const std::string first = session.open();
    setParameters("0000000000000999");
    EXPECT_FALSE(open().succeeded());
    EXPECT_EQ(lastCode(), 2);
    EXPECT_TRUE(isCurrent(first));
}

TEST_F(ConnectionTest, OpenWhoseIdentifierTheHostCannotTakeLeavesNoConnection) {
    setParameters(kEmulatorSerial);
    session.clearJournal();
    session.component().memory().failAllocation(1);
    EXPECT_FALSE(open().succeeded());
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_fremu_enter",
                                             "korvant3_fremu_exit", "korvant3_close"));
    EXPECT_FALSE(isCurrent("korvant1"));
}

TEST_F(ConnectionTest, DeviceTestDescribesTheRegisterWithoutKeepingIt) {
    const std::string device = session.open();
    session.clearJournal();
    const auto result = session.call("DeviceTest", {Value::empty(), Value::text("kept")});
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.text(0), "Корвант-21Ф версия 2.1.0; зав.номер 0000000000000001");
    EXPECT_EQ(result.text(1), "kept");
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_close"));
    EXPECT_EQ(session.journal()[1]["handle"], 2);
    EXPECT_TRUE(isCurrent(device));
}

TEST_F(ConnectionTest, DeviceTestDescriptionOmitsWhatTheRegisterDoesNotTell) {
    struct Case {
        std::string answer;
        std::string serial;
        std::string description;
    };
    const std::vector<Case> cases = {
        {R"({"response":0,"data":{"serial":"0012345"}})", "0012345",
         "Корвант-21Ф зав.номер 0012345"},
        {R"({"response":0,"data":{"version":"2.1.0","serial":"0012345"}})", "0012345",
         "Корвант-21Ф версия 2.1.0; зав.номер 0012345"},
        {R"({"response":0,"data":{"version":"3.0.1"}})", "", "Корвант-21Ф версия 3.0.1;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        setParameters(c.serial);
        session.inject(R"({"function":"korvant3_open","call":1,"answer":)" +
                       nlohmann::json(c.answer).dump() + "}");
        const auto result = session.call("DeviceTest", {Value::empty(), Value::empty()});
        EXPECT_TRUE(result.succeeded());
        EXPECT_EQ(result.text(0), c.description);
    }
}

TEST_F(ConnectionTest, DeviceTestOfAnotherRegisterFailsAndClosesIt) {
    setParameters("0000000000000999");
    const auto result = session.call("DeviceTest", {Value::text("before"), Value::empty()});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 2);
    EXPECT_EQ(result.text(0), "before");
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_open", "korvant3_close"));
}

// A library that could not be loaded when the component started (its
// configuration was being rewritten, say) is loaded again by Open and
// DeviceTest: the component does not stay on code 7 for the rest of the session.
TEST_F(ConnectionTest, OpenAndDeviceTestLoadALibraryThatFailedToLoad) {
    const auto libraryConfig = session.programData().libraryConfigPath();
    const auto aside = libraryConfig.string() + ".aside";
    std::filesystem::rename(libraryConfig, aside);
    std::string error;
    const auto addin = host::AddIn::load(KORVANT_ADDIN_PATH, error);
    ASSERT_TRUE(addin) << error;
    const auto component = addin->create(error);
    ASSERT_TRUE(component && component->attach()) << error;
    const auto code = [&] {
        return component->call("GetLastError", {Value::empty()}).result->integer;
    };
    component->call("SetParameter", {Value::text("Serial"), Value::text(kEmulatorSerial)});
    component->call("SetParameter", {Value::text("Ipaddr"), Value::text(kEmulatorAddress)});
    EXPECT_FALSE(component->call("DeviceTest", {Value::empty(), Value::empty()}).succeeded());
    EXPECT_EQ(code(), 7);

    std::filesystem::rename(aside, libraryConfig);
    EXPECT_TRUE(component->call("DeviceTest", {Value::empty(), Value::empty()}).succeeded());
    const auto opened = component->call("Open", {Value::empty()});
    ASSERT_TRUE(opened.succeeded());
    EXPECT_EQ(code(), 0);
    const std::vector<Value> closing{Value::text(opened.text(0))};
    EXPECT_TRUE(component->call("Close", closing).succeeded());

    // Open alone mends it too.
    std::filesystem::rename(libraryConfig, aside);
    const auto late = addin->create(error);
    ASSERT_TRUE(late && late->attach()) << error;
    std::filesystem::rename(aside, libraryConfig);
    late->call("SetParameter", {Value::text("Serial"), Value::text(kEmulatorSerial)});
    late->call("SetParameter", {Value::text("Ipaddr"), Value::text(kEmulatorAddress)});
    EXPECT_TRUE(late->call("Open", {Value::empty()}).succeeded());
}

} // namespace
} // namespace korvant::testing
