// A till whose 1C is killed in the middle of a receipt. korvant-host plays 1C:
// one process works a receipt on a slowed register and is killed at a chosen
// moment, the next one starts on the same ProgramData (the register's state
// file lives there) and sells again. Whatever the moment, the next receipt
// succeeds, a document left open is cancelled, no fiscal document number is
// ever issued twice, and the drawer and the counters agree with the paper tape.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/program_arguments.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kSerial = "0000000000000001";
// Every receipt sells the same: 100.00 in cash, so the tape is easy to add up.
constexpr int64_t kReceiptAmount = 1000000; // in ten-thousandths

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A korvant-host process, started by the test and ended by it.
class HostProcess {
public:
    HostProcess(const std::vector<std::string>& args, const fs::path& output) {
        std::vector<char*> argv;
        std::vector<std::string> owned = args;
        for (auto& arg : owned) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        const int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            pid_ = -1;
        }
    }
    ~HostProcess() { kill(); }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool started() const { return pid_ > 0; }

    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    // The exit code once it ended on its own; -1 when it had to be killed.
    int wait(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(5ms);
        }
        kill();
        return -1;
    }

private:
    pid_t pid_ = -1;
};

class CrashRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvant-crash-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // The register takes its time over the receipt's steps, so that a kill
        // lands in the middle of one; the state file and the tape are the register's
        // memory and paper, and outlive every process.
        const json config = {
            {"clock", 1700000000},
            {"state", (programData() / "state.json").string()},
            {"tape", (programData() / "tape.txt").string()},
            {"task_ms", {{"open_doc", 300}, {"add_item", 300}, {"close_doc", 300}}},
        };
        fs::create_directories(programData());
        std::ofstream(folder_ / "emulator.json") << config.dump();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path script(const std::string& name, const json& calls) {
        const fs::path path = folder_ / (name + ".json");
        std::ofstream(path) << json{{"calls", calls}}.dump();
        return path;
    }

    std::unique_ptr<HostProcess> startHost(const fs::path& scriptPath, const std::string& output,
                                           bool journal = false) {
        std::vector<std::string> args = korvant::testing::programArguments(KORVANT_HOST_PATH);
        args.insert(args.end(),
                    {"--addin", KORVANT_ADDIN_PATH, "--programdata", programData().string(),
                     "--emulator-config", (folder_ / "emulator.json").string()});
        if (journal) {
            args.push_back("--journal");
        }
        args.push_back("run");
        args.push_back(scriptPath.string());
        auto process = std::make_unique<HostProcess>(args, folder_ / output);
        EXPECT_TRUE(process->started());
        return process;
    }

    fs::path programData() const { return folder_ / "programdata"; }

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
    // A sale of 100.00 in cash; receipts of other goods are other receipts.
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
    static json openShift() {
        return {{"method", "OpenShift"},
                {"args",
                 {"${device}",
                  R"(<InputParameters><Parameters CashierName="Кассир"/></InputParameters>)", ""}}};
    }
    static json lastError() { return {{"method", "GetLastError"}, {"args", {""}}}; }

    // Waits until `reached` holds, at most a minute.
    static bool waitFor(const std::function<bool()>& reached) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!reached() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(2ms);
        }
        return reached();
    }

    // The result of each call korvant-host made, by method, in order.
    std::vector<json> resultsOf(const std::string& output, const std::string& method) const {
        std::vector<json> results;
        for (const json& line : outputLines(output)) {
            if (line.value("method", "") == method) {
                results.push_back(line);
            }
        }
        return results;
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

    fs::path folder_;
};

// A moment to kill at: what the register has stored and printed by then.
struct Moment {
    const char* name;
    std::function<bool(const json& stored, const std::string& tape, int64_t lastBefore)> reached;
};

TEST_F(CrashRecovery, AKilledHostLeavesNothingTheNextOneCannotMend) {
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);

    json killed = connect();
    killed.push_back(sale());
    const fs::path killedScript = script("killed", killed);
    // The next host sells other goods: a retry of the same receipt is another test.
    json next = connect();
    next.push_back(sale("Батон"));
    next.push_back({{"method", "Close"}, {"args", {"${device}"}}});
    const fs::path nextScript = script("next", next);

    const auto positions = [](const json& stored) {
        return stored.contains("document") ? stored["document"]["positions"].size() : size_t(0);
    };
    const Moment moments[] = {
        {"the receipt just opened",
         [&](const json& s, const std::string&, int64_t) {
             return s.contains("document") && positions(s) == 0;
         }},
        {"an item added", [&](const json& s, const std::string&,
                              int64_t) { return s.contains("document") && positions(s) == 1; }},
        // Stored first, printed next: the paper shows it once the register has it.
        {"the receipt made and printed, its answer not yet read",
         [](const json& s, const std::string& tape, int64_t before) {
             return !s.contains("document") &&
                    tape.find("ФД: " + std::to_string(before + 1) + " ") != std::string::npos;
         }},
    };
    int stale = 0;
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.name);
        const int64_t lastBefore = storedState()["fiscal"]["fd_last_doc"];
        {
            auto host = startHost(killedScript, "killed.out");
            const auto reached = [&] {
                return moment.reached(storedState(), readAll(programData() / "tape.txt"),
                                      lastBefore);
            };
            const auto deadline = std::chrono::steady_clock::now() + 60s;
            while (!reached() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(2ms);
            }
            ASSERT_TRUE(reached()) << storedState().dump();
            host->kill();
        }
        const bool leftOpen = storedState().contains("document");
        stale += leftOpen ? 1 : 0;

        ASSERT_EQ(startHost(nextScript, "next.out", true)->wait(60s), 0);
        std::vector<std::string> functions;
        bool receiptMade = false;
        for (const json& line : outputLines("next.out")) {
            if (line.contains("journal")) {
                functions.push_back(line["journal"]["function"]);
            } else if (line["method"] == "ProcessCheck") {
                receiptMade = line["result"]["value"] == true;
            }
        }
        EXPECT_TRUE(receiptMade);
        const bool cancelled = std::find(functions.begin(), functions.end(),
                                         "korvant3_fremu_cancel_doc") != functions.end();
        EXPECT_EQ(cancelled, leftOpen) << "a stale document is cancelled, and only then";
        EXPECT_FALSE(storedState().contains("document"));
    }
    EXPECT_EQ(stale, 2);

    // The paper: every fiscal document once, every receipt in the drawer and counters.
    const std::string tape = readAll(programData() / "tape.txt");
    const std::regex documentNumber("ФД: ([0-9]+)");
    std::map<int64_t, int> printed;
    for (auto it = std::sregex_iterator(tape.begin(), tape.end(), documentNumber);
         it != std::sregex_iterator(); ++it) {
        ++printed[std::stoll((*it)[1])];
    }
    const json fiscal = storedState()["fiscal"];
    const int64_t last = fiscal["fd_last_doc"];
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.begin()->first, 2) << "the shift opening follows the registration";
    EXPECT_EQ(printed.rbegin()->first, last);
    for (const auto& [number, times] : printed) {
        EXPECT_EQ(times, 1) << "document " << number;
    }
    EXPECT_EQ(int64_t(printed.size()), last - 1) << "no number skipped";

    const auto count = [&tape](const std::string& text) {
        size_t times = 0;
        for (size_t at = tape.find(text); at != std::string::npos; at = tape.find(text, at + 1)) {
            ++times;
        }
        return times;
    };
    // A cancelled receipt is printed with its heading and the cancellation.
    const size_t cancelledOnTape = count("ЧЕК АННУЛИРОВАН");
    EXPECT_EQ(cancelledOnTape, size_t(stale));
    const size_t receipts = count("КАССОВЫЙ ЧЕК") - cancelledOnTape;
    // The killed host that got as far as the closing made one; every next host one.
    EXPECT_EQ(receipts, 1u + std::size(moments));
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], receipts);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_total"], int64_t(receipts) * kReceiptAmount);
    EXPECT_EQ(fiscal["shift_cash"], int64_t(receipts) * kReceiptAmount);
}

// 1C killed between a closing whose answer it never read and the settlement of
// that closing; the cashier retries the same receipt in a new 1C: exactly one
// document is printed, and the retry is answered true with its number.
TEST_F(CrashRecovery, TheSameReceiptRetriedAfterAKillIsNotPrintedTwice) {
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);
    const int64_t lastBefore = storedState()["fiscal"]["fd_last_doc"];

    json killed = connect();
    killed.push_back(sale());
    {
        auto host = startHost(script("killed", killed), "killed.out");
        ASSERT_TRUE(waitFor([&] {
            const json stored = storedState();
            return !stored.contains("document") &&
                   readAll(programData() / "tape.txt")
                           .find("ФД: " + std::to_string(lastBefore + 1) + " ") !=
                       std::string::npos;
        })) << storedState().dump();
        host->kill();
    }

    json retry = connect();
    retry.push_back(sale());
    ASSERT_EQ(startHost(script("retry", retry), "retry.out", true)->wait(60s), 0);
    const auto results = resultsOf("retry.out", "ProcessCheck");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]["result"]["value"], true);
    const std::string output = results[0]["args"][3];
    EXPECT_NE(output.find("CheckNumber=\"" + std::to_string(lastBefore + 1) + "\""),
              std::string::npos)
        << output;
    for (const json& line : outputLines("retry.out")) {
        if (line.contains("journal")) {
            EXPECT_NE(line["journal"]["function"], "korvant3_fremu_open_doc") << "printed again";
        }
    }
    const json fiscal = storedState()["fiscal"];
    EXPECT_EQ(fiscal["fd_last_doc"], lastBefore + 1);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], 1);
    const std::string tape = readAll(programData() / "tape.txt");
    EXPECT_EQ(tape.find("КАССОВЫЙ ЧЕК"), tape.rfind("КАССОВЫЙ ЧЕК")) << "one receipt on paper";
}

// Two 1C sessions on one till share one register. While one fills a receipt,
// the other's X report is refused (code 14) and cancels nothing: the receipt
// goes through.
TEST_F(CrashRecovery, ADocumentALiveSessionIsFillingIsNotCancelled) {
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);

    // The first session's item takes three seconds: time enough for the second's report.
    json config = json::parse(readAll(folder_ / "emulator.json"));
    config["task_ms"]["add_item"] = 3000;
    std::ofstream(folder_ / "emulator.json") << config.dump();
    json filling = connect();
    filling.push_back(sale());
    auto first = startHost(script("filling", filling), "filling.out");
    ASSERT_TRUE(waitFor([&] { return storedState().contains("document"); }));

    json report = connect();
    report.push_back({{"method", "PrintXReport"}, {"args", {"${device}", ""}}});
    report.push_back(lastError());
    ASSERT_EQ(startHost(script("report", report), "report.out", true)->wait(60s), 0);
    const auto reported = resultsOf("report.out", "PrintXReport");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0]["result"]["value"], false);
    EXPECT_EQ(resultsOf("report.out", "GetLastError").at(0)["result"]["value"], 14);
    for (const json& line : outputLines("report.out")) {
        if (line.contains("journal")) {
            EXPECT_NE(line["journal"]["function"], "korvant3_fremu_cancel_doc");
        }
    }

    ASSERT_EQ(first->wait(60s), 0);
    const auto sold = resultsOf("filling.out", "ProcessCheck");
    ASSERT_EQ(sold.size(), 1u);
    EXPECT_EQ(sold[0]["result"]["value"], true);
    EXPECT_EQ(readAll(programData() / "tape.txt").find("ЧЕК АННУЛИРОВАН"), std::string::npos);
}

} // namespace
