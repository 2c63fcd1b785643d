// korvant-host as a program: its output, its exit codes and its messages.

#include "host/values/script_notation.h"
#include "host_test_support.h"
#include "support/program_command.h"
#include "support/shell_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <fstream>
#include <sstream>

using namespace korvant::host;
using namespace korvant::host::testing;

namespace {

// A library every machine has, which loads but is no add-in.
#ifdef _WIN32
constexpr const char* kLoadableNonAddIn = "kernel32.dll";
#else
constexpr const char* kLoadableNonAddIn = "libm.so.6";
#endif

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }
};

std::string quoted(const std::string& text) {
    return shellQuoted(text);
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override { folder = makeTemporaryDirectory("korvant-host-cli-"); }
    void TearDown() override { removeFolder(folder); }

    // Runs korvant-host with the add-in under test and a fresh shared root, `input` as its
    // standard input.
    Outcome run(const std::vector<std::string>& args, const std::string& input = "",
                bool withAddIn = true) {
        std::string command = korvant::testing::programCommand(KORVANT_HOST_PATH);
        if (withAddIn) {
            command += " --addin " + quoted(KORVANT_ADDIN_PATH);
        }
        command += " --programdata " + quoted(pathText(folder / "root"));
        for (const auto& arg : args) {
            command += " " + quoted(arg);
        }
        // Files of their own for every run: under wine the files of a program that has just
        // ended can stay in use a moment longer.
        const std::string run = std::to_string(++runs);
        const auto in = folder / ("in" + run);
        const auto out = folder / ("out" + run);
        const auto err = folder / ("err" + run);
        writeFile(in, input);
        command += " <" + quoted(pathText(in)) + " >" + quoted(pathText(out)) + " 2>" +
                   quoted(pathText(err));
        Outcome outcome;
        outcome.exitCode = runShellCommand(command);
        outcome.out = readFile(out);
        outcome.err = readFile(err);
        return outcome;
    }

    std::filesystem::path script(const std::string& text) {
        const auto file = folder / "script.json";
        writeFile(file, text);
        return file;
    }

    std::filesystem::path folder;
    int runs = 0;
};

TEST_F(HostProgram, MethodsListsTheTable) {
    const auto outcome = run({"methods"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const auto lines = outcome.lines();
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "0\tGetInterfaceRevision\tПолучитьРевизиюИнтерфейса\t0\t1");
    EXPECT_EQ(lines[14], "14\tProcessCheck\tСформироватьЧек\t4\t1");
    EXPECT_EQ(lines[28], "28\tConfirmKM\tПодтвердитьКМ\t3\t1");
}

TEST_F(HostProgram, RunPrintsOneLinePerCall) {
    const auto file = script(R"({"locale": "ru_RU", "calls": [
        {"method": "ПолучитьРевизиюИнтерфейса", "args": [1, 2, 3, 4, 5]},
        {"method": "OpenCashDrawer", "args": [""]},
        {"method": 2, "args": [null]},
        {"method": "Open", "args": ["", ""]},
        {"method": "Open", "args": [""]},
        {"method": "GetLastError", "args": [{"type": "PWSTR", "value": "x"}]},
        {"method": 29}
    ]})");
    const auto outcome = run({"run", pathText(file)});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::vector<std::string> expected = {
        R"({"method":"GetInterfaceRevision","number":0,"called":true,"result":{"type":"I4","value":3005},)"
        R"("args":[{"type":"I4","value":1},{"type":"I4","value":2},{"type":"I4","value":3},{"type":"I4","value":4},{"type":"I4","value":5}]})",
        R"({"method":"OpenCashDrawer","number":22,"called":true,"result":{"type":"BOOL","value":false},"args":[""]})",
        R"({"method":"GetLastError","number":2,"called":true,"result":{"type":"I4","value":4},"args":["Не поддерживается"]})",
        R"({"method":"Open","number":5,"called":false,"result":null,"args":["",""]})",
        R"({"method":"Open","number":5,"called":true,"result":{"type":"BOOL","value":false},"args":[""]})",
        R"({"method":"GetLastError","number":2,"called":true,"result":{"type":"I4","value":7},"args":["Ошибка загрузки библиотеки драйвера"]})",
        R"({"method":null,"number":29,"called":false,"result":null,"args":[]})",
    };
    EXPECT_EQ(outcome.lines(), expected);
}

// Statements go through CallAsProc; their lines say so and have no result.
TEST_F(HostProgram, RunCallsStatements) {
    const auto file = script(R"({"locale": "ru_RU", "calls": [
        {"method": "УстановитьПараметр", "args": ["EquipmentType", "ККТ"], "statement": true},
        {"method": "ПолучитьОшибку", "args": [""], "statement": true},
        {"method": "Подключить", "args": ["", ""], "statement": true},
        {"method": "ОткрытьДенежныйЯщик", "args": [""], "statement": false}
    ]})");
    const auto outcome = run({"run", pathText(file)});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::vector<std::string> expected = {
        R"({"method":"SetParameter","number":4,"statement":true,"called":true,"result":null,"args":["EquipmentType","ККТ"]})",
        R"({"method":"GetLastError","number":2,"statement":true,"called":true,"result":null,"args":["Нет ошибки"]})",
        R"({"method":"Open","number":5,"statement":true,"called":false,"result":null,"args":["",""]})",
        R"({"method":"OpenCashDrawer","number":22,"called":true,"result":{"type":"BOOL","value":false},"args":[""]})",
    };
    EXPECT_EQ(outcome.lines(), expected);
}

TEST_F(HostProgram, RunReadsStandardInput) {
    const auto outcome =
        run({"run", "-"}, R"({"calls": [{"method": "GetAdditionalActions", "args": [""]}]})");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    ASSERT_EQ(outcome.lines().size(), 1u);
    const auto line = Json::parse(outcome.lines()[0]);
    EXPECT_EQ(line["args"][0], R"(<?xml version="1.0" encoding="UTF-8"?><Actions/>)");
    EXPECT_EQ(line["result"]["value"], true);
}

TEST_F(HostProgram, FailuresExitNonZeroWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        bool withAddIn;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"run", "-"}, "{", true, 2, "bad script: the script is not valid JSON"},
        {{"run", "-"},
         R"({"calls": [{"method": "Open", "args": [[]]}]})",
         true,
         2,
         "bad script: calls[0].args[0]"},
        {{"run", "-"},
         R"({"calls": [{"method": "Open", "args": [""]}, {"method": "Nope"}]})",
         true,
         2,
         "calls[1]: the component has no method \"Nope\""},
        {{"run"}, "", true, 2, "usage: korvant-host [options] run SCRIPT"},
        {{"frobnicate"}, "", true, 2, "unknown command frobnicate"},
        {{"--addin", "/nonexistent/lib.so", "methods"},
         "",
         false,
         1,
         "cannot load /nonexistent/lib.so"},
        {{"--addin", kLoadableNonAddIn, "methods"}, "", false, 1, "does not export GetClassNames"},
    };
    for (const auto& c : cases) {
        const auto outcome = run(c.args, c.input, c.withAddIn);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.message << ": " << outcome.err;
        EXPECT_NE(outcome.err.find("korvant-host: "), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out.find("\"method\""), std::string::npos)
            << "nothing is called: " << outcome.out;
    }
}

// A configuration the user wrote in an encoding the add-in cannot read (here
// UTF-16 without its byte order mark) stays as the user wrote it; the add-in
// works on the defaults and its log, on at the default path, says why.
TEST_F(HostProgram, AnUnreadableConfigurationIsKeptAndTheLogSaysWhy) {
    const auto component = folder / "root" / "Korvant Engineering" / "AddInKorvant";
    std::filesystem::create_directories(component);
    const std::string config("[\0l\0o\0g\0s\0]\0\n\0e\0n\0a\0b\0l\0e\0d\0=\0n\0o\0", 34);
    writeFile(component / "config", config);
    const auto outcome = run({"methods"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(readFile(component / "config"), config);
    const std::string log = readFile(component / "AddInKorvant.log");
    EXPECT_NE(log.find("cannot be used (it holds NUL bytes"), std::string::npos) << log;
    EXPECT_NE(log.find("working on the defaults"), std::string::npos) << log;
}

#ifndef _WIN32
// A FIFO where the configuration should be would hold the host for good if the
// add-in opened it to read; it is found out without opening it and left alone.
TEST_F(HostProgram, AFifoForAConfigurationDoesNotHoldTheHost) {
    const auto maker = folder / "root" / "Korvant Engineering";
    std::filesystem::create_directories(maker / "AddInKorvant");
    std::filesystem::create_directories(maker / "library");
    ASSERT_EQ(::mkfifo((maker / "AddInKorvant" / "config").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((maker / "library" / "config").c_str(), 0600), 0);
    const auto outcome = run({"methods"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_fifo(maker / "AddInKorvant" / "config"));
    EXPECT_NE(readFile(maker / "AddInKorvant" / "AddInKorvant.log").find("not a regular file"),
              std::string::npos);
}
#endif

} // namespace
