// Session scripts, the command line, and the prepared shared root.

#include "host/cli/command_line.h"
#include "host/script/script.h"
#include "host/setup/program_data_root.h"
#include "host_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace korvant::host;
using namespace korvant::host::testing;

TEST(Script, ReadsLocaleCallsAndArguments) {
    const auto script = parseScript(R"({
        "comment": "first look",
        "locale": "ru_RU",
        "calls": [
            {"method": "GetLastError", "args": [null]},
            {"method": 22, "comment": "drawer"},
            {"method": "Подключить", "args": ["${device}", 1, 2.5, true,
                                             {"type": "PSTR", "value": "p"}]}
        ]})");
    EXPECT_EQ(script.locale, "ru_RU");
    ASSERT_EQ(script.calls.size(), 3u);
    EXPECT_EQ(script.calls[0].method, "GetLastError");
    EXPECT_EQ(script.calls[0].number, std::nullopt);
    EXPECT_EQ(script.calls[0].args, std::vector<Value>{Value::empty()});
    EXPECT_EQ(script.calls[1].number, 22);
    EXPECT_TRUE(script.calls[1].args.empty());
    const std::vector<Value> args{Value::text("${device}"), Value::i4(1), Value::r8(2.5),
                                  Value::boolean(true), Value::pstr("p")};
    EXPECT_EQ(script.calls[2].method, "Подключить");
    EXPECT_EQ(script.calls[2].args, args);
    EXPECT_FALSE(script.calls[2].statement);

    const auto statements = parseScript(R"({"calls": [
        {"method": "Отключить", "args": ["${device}"], "statement": true},
        {"method": "Open", "statement": false}]})");
    EXPECT_TRUE(statements.calls[0].statement);
    EXPECT_FALSE(statements.calls[1].statement);

    EXPECT_EQ(parseScript(R"({"calls": []})").locale, std::nullopt);
}

TEST(Script, ErrorsNameThePlace) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "not valid JSON"},
        {R"({"calls": [)", "not valid JSON"},
        {"[]", "an object with \"calls\""},
        {"{}", "needs a \"calls\" list"},
        {R"({"calls": {}})", "needs a \"calls\" list"},
        {R"({"calls": [], "local": "ru"})", "script: unexpected member \"local\""},
        {R"({"calls": [], "locale": 1})", "locale: "},
        {R"({"calls": ["GetLastError"]})", "calls[0]: a call is an object"},
        {R"({"calls": [{"args": []}]})", "calls[0]: the call names no \"method\""},
        {R"({"calls": [{"method": 1.5}]})", "calls[0].method: a method is a name or a number"},
        {R"({"calls": [{"method": true}]})", "calls[0].method"},
        {R"({"calls": [{"method": "X", "arg": []}]})", "calls[0]: unexpected member \"arg\""},
        {R"({"calls": [{"method": "X", "args": 1}]})", "calls[0].args: the arguments are a list"},
        {R"({"calls": [{"method": "X", "statement": 1}]})",
         "calls[0].statement: \"statement\" is true or false"},
        {R"({"calls": [{"method": "X"}, {"method": "Y", "args": [1, {}]}]})",
         "calls[1].args[1]: an object value needs a \"type\""},
    };
    for (const auto& c : cases) {
        expectScriptError([&] { parseScript(c.text); }, c.text, c.message);
    }
    EXPECT_THROW(readScript("/nonexistent/script.json"), ScriptError);
}

TEST(CommandLine, OptionsAnywhereCommandAndArguments) {
    const auto line = parseCommandLine({"--addin", "a.so", "run", "--programdata=/tmp/r", "s.json",
                                        "--fault", R"({"x":1})", "--fault={\"y\":2}"});
    EXPECT_EQ(line.command, "run");
    EXPECT_EQ(line.args, std::vector<std::string>{"s.json"});
    EXPECT_EQ(line.host.addin, "a.so");
    EXPECT_EQ(line.host.programData, "/tmp/r");
    EXPECT_EQ(line.host.faults, (std::vector<std::string>{R"({"x":1})", R"({"y":2})"}));
    EXPECT_TRUE(line.host.emulator) << "--fault implies the emulator";
    EXPECT_FALSE(line.journal);

    EXPECT_EQ(parseCommandLine({"run", "-"}).args, std::vector<std::string>{"-"});
    EXPECT_FALSE(parseCommandLine({"methods"}).host.emulator);
    EXPECT_TRUE(parseCommandLine({"--journal", "run", "-"}).host.emulator);
    EXPECT_TRUE(parseCommandLine({"--emulator-config", "c.json"}).host.emulator);
    EXPECT_TRUE(parseCommandLine({"--help"}).help);

    EXPECT_THROW(parseCommandLine({"--addin"}), UsageError);
    EXPECT_THROW(parseCommandLine({"--emulator=yes"}), UsageError);
    EXPECT_THROW(parseCommandLine({"--verbose", "methods"}), UsageError);
}

TEST(ProgramDataRoot, TemporaryRootIsPreparedNamedAndRemoved) {
    const auto before = environmentVariable(std::string(programDataVariable()));
    std::filesystem::path root;
    {
        ProgramDataRoot prepared;
        root = prepared.root();
        EXPECT_TRUE(prepared.temporary());
        EXPECT_TRUE(std::filesystem::is_directory(root / "Korvant Engineering"));
        EXPECT_FALSE(std::filesystem::exists(prepared.componentFolder()))
            << "the add-in creates its own folder";
        EXPECT_EQ(environmentVariable(std::string(programDataVariable())), pathText(root));

        prepared.pointLibraryAt("/opt/lib/libkorvant3emu.so");
        EXPECT_EQ(prepared.libraryConfigPath(),
                  root / "Korvant Engineering" / "library" / "config");
        // The path as the system spells it absolutely (on Windows with its drive).
        const std::string library =
            pathText(std::filesystem::absolute("/opt/lib/libkorvant3emu.so"));
        EXPECT_EQ(readFile(prepared.libraryConfigPath()),
                  "[library64]\npath = " + library + "\n[library]\npath = " + library + "\n");
        prepared.writeComponentConfig(prepared.defaultLogPath(), false);
        EXPECT_EQ(pathText(prepared.defaultLogPath()),
                  pathText(root / "Korvant Engineering" / "AddInKorvant" / "AddInKorvant.log"));
        EXPECT_EQ(readFile(root / "Korvant Engineering" / "AddInKorvant" / "config"),
                  "[logs]\npath = " + pathText(prepared.defaultLogPath()) + "\nenabled = false\n");
    }
    EXPECT_FALSE(std::filesystem::exists(root));
    EXPECT_EQ(environmentVariable(std::string(programDataVariable())), before);
}

TEST(ProgramDataRoot, GivenOrKeptRootsStay) {
    const auto parent = makeTemporaryDirectory("korvant-host-test-");
    std::filesystem::path kept;
    {
        ProgramDataRoot given(parent / "given");
        EXPECT_FALSE(given.temporary());
        ProgramDataRoot temporary;
        temporary.keep();
        kept = temporary.root();
    }
    EXPECT_TRUE(std::filesystem::is_directory(parent / "given" / "Korvant Engineering"));
    EXPECT_TRUE(std::filesystem::is_directory(kept / "Korvant Engineering"));
    std::filesystem::remove_all(parent);
    std::filesystem::remove_all(kept);
}
