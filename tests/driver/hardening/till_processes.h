#pragma once
// korvant-host processes working one till: each plays a 1C session on the same ProgramData,
// where the register's state file and paper tape live and outlive every process. The fixture
// makes the folder, writes the emulator's configuration and the session scripts, starts the
// hosts, and reads back what the register stored and printed.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/host_process.h"
#include "support/program_arguments.h"

namespace korvant::testing {

class TillProcesses : public ::testing::Test {
protected:
    using json = nlohmann::json;

    static constexpr const char* kSerial = "0000000000000001";
    // Every receipt sells the same: 100.00 in cash, so the tape is easy to add up.
    static constexpr int64_t kReceiptAmount = 1000000; // in ten-thousandths

    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvant-till-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        std::filesystem::create_directories(programData());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The emulator's configuration: the state file and the tape in the ProgramData, on a fixed
    // clock, with the members given.
    void configure(const json& members) {
        json config = {{"clock", 1700000000},
                       {"state", (programData() / "state.json").string()},
                       {"tape", tape().string()}};
        config.update(members);
        std::ofstream(folder_ / "emulator.json") << config.dump();
    }

    std::filesystem::path script(const std::string& name, const json& calls) {
        const std::filesystem::path path = folder_ / (name + ".json");
        std::ofstream(path) << json{{"calls", calls}}.dump();
        return path;
    }

    // korvant-host running the script, its output in `output`; `faults` are rules for its
    // emulator.
    std::unique_ptr<HostProcess> startHost(const std::filesystem::path& scriptPath,
                                           const std::string& output, bool journal = false,
                                           const std::vector<json>& faults = {}) {
        std::vector<std::string> args = programArguments(KORVANT_HOST_PATH);
        args.insert(args.end(),
                    {"--addin", KORVANT_ADDIN_PATH, "--programdata", programData().string(),
                     "--emulator-config", (folder_ / "emulator.json").string()});
        if (journal) {
            args.push_back("--journal");
        }
        for (const json& rule : faults) {
            args.insert(args.end(), {"--fault", rule.dump()});
        }
        args.push_back("run");
        args.push_back(scriptPath.string());
        auto process = std::make_unique<HostProcess>(args, folder_ / output);
        EXPECT_TRUE(process->started());
        return process;
    }

    std::filesystem::path programData() const { return folder_ / "programdata"; }
    std::filesystem::path tape() const { return programData() / "tape.txt"; }

    static std::string readAll(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The register's state file, or null while there is none.
    json storedState() const {
        const json stored = json::parse(readAll(programData() / "state.json"), nullptr, false);
        return stored.is_discarded() ? json() : stored;
    }

    static json connect() {
        return json::array({{{"method", "SetParameter"}, {"args", {"Serial", kSerial}}},
                            {{"method", "SetParameter"}, {"args", {"Ipaddr", "emulator"}}},
                            {{"method", "Open"}, {"args", {""}}}});
    }
    static json openShift() {
        return {{"method", "OpenShift"},
                {"args",
                 {"${device}",
                  R"(<InputParameters><Parameters CashierName="Кассир"/></InputParameters>)", ""}}};
    }
    // A sale of 100.00 in cash; receipts of other goods are other receipts (the same package
    // again after a closing whose outcome was lost is the cashier's retry of that receipt).
    static json sale(const std::string& goods = "Хлеб") {
        return {
            {"method", "ProcessCheck"},
            {"args",
             {"${device}", false,
              R"(<CheckPackage><Parameters CashierName="Кассир" OperationType="1" )"
              R"(TaxationSystem="0"/><Positions><FiscalString Name=")" +
                  goods +
                  R"(" Quantity="1" PriceWithDiscount="100" VATRate="10" PaymentMethod="4" )"
                  R"(CalculationSubject="1"/></Positions><Payments Cash="100"/></CheckPackage>)",
              ""}}};
    }
    static json lastError() {
        return {{"method", "GetLastError"}, {"args", {""}}};
    }
    static json cashIn(double amount) {
        return {
            {"method", "CashInOutcome"},
            {"args",
             {"${device}",
              R"(<InputParameters><Parameters CashierName="Кассир"/></InputParameters>)", amount}}};
    }
    static json close() {
        return {{"method", "Close"}, {"args", {"${device}"}}};
    }

    // The result of each call korvant-host made of `method`, in order.
    std::vector<json> resultsOf(const std::string& output, const std::string& method) const {
        std::vector<json> results;
        for (const json& line : outputLines(output)) {
            if (line.value("method", "") == method) {
                results.push_back(line);
            }
        }
        return results;
    }

    // The device functions korvant-host's journal shows were called.
    std::vector<std::string> journalFunctions(const std::string& output) const {
        std::vector<std::string> functions;
        for (const json& line : outputLines(output)) {
            if (line.contains("journal")) {
                functions.push_back(line["journal"]["function"]);
            }
        }
        return functions;
    }

    // Waits until `reached` holds, at most a minute.
    static bool waitFor(const std::function<bool()>& reached) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!reached() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return reached();
    }

    // The lines korvant-host printed: one per call, then the journal.
    std::vector<json> outputLines(const std::string& output) const {
        std::vector<json> lines;
        std::istringstream in(readAll(folder_ / output));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(json::parse(line));
        }
        return lines;
    }

    // How many times each number follows `label` in the text ("ФД: 5" counts 5 once).
    static std::map<int64_t, int> numbersAfter(const std::string& text, const std::string& label) {
        const std::regex number(label + "([0-9]+)");
        std::map<int64_t, int> seen;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
             it != std::sregex_iterator(); ++it) {
            ++seen[std::stoll((*it)[1])];
        }
        return seen;
    }

    static size_t occurrences(const std::string& text, const std::string& part) {
        size_t times = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++times;
        }
        return times;
    }

    std::filesystem::path folder_;
};

} // namespace korvant::testing
