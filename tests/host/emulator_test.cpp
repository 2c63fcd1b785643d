// The host's control of the register emulator, and the emulator as korvant-host sets it up.

#include "host/setup/host.h"
#include "host_test_support.h"
#include "support/program_command.h"
#include "support/shell_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace korvant::host;
using namespace korvant::host::testing;

namespace {

HostOptions withEmulator() {
    HostOptions options;
    options.addin = KORVANT_ADDIN_PATH;
    options.emulator = true;
    options.emulatorPath = KORVANT_EMULATOR_PATH;
    return options;
}

} // namespace

TEST(Emulator, ControlFunctions) {
    std::string error;
    auto emulator = Emulator::load(KORVANT_EMULATOR_PATH, error);
    ASSERT_TRUE(emulator) << error;
    EXPECT_GE(emulator->reset(""), 0);
    EXPECT_TRUE(emulator->journal().is_array());
    EXPECT_TRUE(emulator->state().is_object());
    EXPECT_LT(emulator->inject("not a rule"), 0);
    emulator->clearFaults();
    emulator->clearJournal();
    EXPECT_EQ(emulator->journal(), Json::array());

    EXPECT_FALSE(Emulator::load(KORVANT_ADDIN_PATH, error));
    EXPECT_NE(error.find("does not export korvant3emu_reset"), std::string::npos) << error;
}

TEST(Emulator, HostPreparesTheRootAndSharesTheInstance) {
    std::filesystem::path root;
    {
        Host host(withEmulator());
        ASSERT_NE(host.programData(), nullptr);
        root = host.programData()->root();
        EXPECT_TRUE(host.programData()->temporary());
        EXPECT_EQ(environmentVariable(std::string(programDataVariable())), pathText(root));
        const auto config = readFile(host.programData()->libraryConfigPath());
        EXPECT_NE(config.find("[library64]\npath = " +
                              pathText(std::filesystem::absolute(KORVANT_EMULATOR_PATH))),
                  std::string::npos)
            << config;

        // The library opened by the same path is the instance the host controls.
        host.emulator()->clearJournal();
        std::string error;
        auto library = SharedLibrary::open(KORVANT_EMULATOR_PATH, error);
        ASSERT_TRUE(library) << error;
        using Open = int32_t (*)(const char*, int32_t, const char**);
        const char* answer = nullptr;
        library->function<Open>("korvant3_open")("", 5000, &answer);
        const auto journal = host.emulator()->journal();
        ASSERT_FALSE(journal.empty()) << journal;
        EXPECT_EQ(journal.back()["function"], "korvant3_open");
    }
#ifndef _WIN32
    // Windows removes no file that is open, and the add-in, which stays loaded as in 1C, keeps
    // its log in the root open.
    EXPECT_FALSE(std::filesystem::exists(root));
#endif
}

TEST(Emulator, RejectedFaultRuleStopsTheSetUp) {
    auto options = withEmulator();
    options.faults = {"not a rule"};
    try {
        Host host(options);
        ADD_FAILURE() << "the rule was accepted";
    } catch (const HostError& error) {
        EXPECT_NE(std::string(error.what()).find("rejected the fault rule not a rule"),
                  std::string::npos)
            << error.what();
    }
}

TEST(Emulator, ProgramPrintsTheJournalAfterTheCalls) {
    const auto folder = makeTemporaryDirectory("korvant-host-emu-");
    writeFile(folder / "script.json", R"({"calls": [{"method": "GetInterfaceRevision"}]})");
    // korvant-host takes the emulator beside itself.
    const std::string command = korvant::testing::programCommand(KORVANT_HOST_PATH) + " --addin " +
                                shellQuoted(KORVANT_ADDIN_PATH) + " --journal run " +
                                shellQuoted(pathText(folder / "script.json")) + " >" +
                                shellQuoted(pathText(folder / "out")) + " 2>&1";
    const int exitCode = runShellCommand(command);
    const auto out = readFile(folder / "out");
    std::filesystem::remove_all(folder);
    ASSERT_EQ(exitCode, 0) << out;
    std::istringstream lines(out);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(Json::parse(line)["method"], "GetInterfaceRevision");
    // The add-in asked the library its version when it loaded it: the journal's one line.
    std::vector<std::string> functions;
    while (std::getline(lines, line)) {
        const auto entry = Json::parse(line);
        EXPECT_EQ(entry.size(), 1u) << line;
        functions.push_back(entry.at("journal").value("function", ""));
    }
    EXPECT_EQ(functions, std::vector<std::string>{"korvant3_version"}) << out;
}
