// A till whose 1C is killed in the middle of a receipt. korvant-host plays 1C:
// one process works a receipt on a slowed register and is killed at a chosen
// moment, the next one starts on the same ProgramData (the register's state
// file lives there) and sells again. Whatever the moment, the next receipt
// succeeds, a document left open is cancelled, no fiscal document number is
// ever issued twice, and the drawer and the counters agree with the paper tape.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "driver/hardening/till_processes.h"

namespace korvant::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

class CrashRecovery : public TillProcesses {
protected:
    void SetUp() override {
        TillProcesses::SetUp();
        // The register takes its time over the receipt's steps, so that a kill lands in the
        // middle of one.
        configure({{"task_ms", {{"open_doc", 300}, {"add_item", 300}, {"close_doc", 300}}}});
    }
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
    next.push_back(close());
    const fs::path nextScript = script("next", next);

    // The open document's positions as the register stored them: those folded into the state
    // file, and the later ones in the document's record beside it.
    const auto positions = [&](const json& stored) {
        if (!stored.contains("document")) {
            return size_t(0);
        }
        const json& document = stored["document"];
        size_t count = document["positions"].size();
        std::istringstream record(readAll(programData() / "state.json.document"));
        std::string line;
        if (!std::getline(record, line) ||
            json::parse(line, nullptr, false).value("document", "") != document.value("id", "")) {
            return count;
        }
        while (std::getline(record, line)) {
            const json change = json::parse(line, nullptr, false);
            count += change.is_object() && change.contains("position") &&
                             change["n"].get<int64_t>() > document["changes"].get<int64_t>()
                         ? 1
                         : 0;
        }
        return count;
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
                return moment.reached(storedState(), readAll(tape()), lastBefore);
            };
            const auto deadline = std::chrono::steady_clock::now() + 60s;
            while (!reached() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(2ms);
            }
            ASSERT_TRUE(reached()) << storedState().dump();
            ASSERT_TRUE(host->kill()) << "the host had ended before the kill";
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
    const std::string paper = readAll(tape());
    const auto printed = numbersAfter(paper, "ФД: ");
    const json fiscal = storedState()["fiscal"];
    const int64_t last = fiscal["fd_last_doc"];
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.begin()->first, 2) << "the shift opening follows the registration";
    EXPECT_EQ(printed.rbegin()->first, last);
    for (const auto& [number, times] : printed) {
        EXPECT_EQ(times, 1) << "document " << number;
    }
    EXPECT_EQ(int64_t(printed.size()), last - 1) << "no number skipped";

    // A cancelled receipt is printed with its heading and the cancellation.
    const size_t cancelledOnTape = occurrences(paper, "ЧЕК АННУЛИРОВАН");
    EXPECT_EQ(cancelledOnTape, size_t(stale));
    const size_t receipts = occurrences(paper, "КАССОВЫЙ ЧЕК") - cancelledOnTape;
    // The killed host that got as far as the closing made one; every next host one.
    EXPECT_EQ(receipts, 1u + std::size(moments));
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], receipts);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_total"], int64_t(receipts) * kReceiptAmount);
    EXPECT_EQ(fiscal["shift_cash"], int64_t(receipts) * kReceiptAmount);
}

// The printer takes its time, and each host is killed after the register stored a document and
// before the paper showed it. The next host to take the register prints what the paper lacks:
// after the last restart the tape and its page hold every fiscal document once, and the state,
// the counters and the drawer agree with them.
TEST_F(CrashRecovery, AKillBetweenTheStateAndThePaperLosesNoPrintout) {
    configure({{"print_ms", 200}});
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);

    constexpr int kKills = 6;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill + 1));
        // Each host sells its own goods: the same receipt again after a kill would be the
        // cashier's retry, which is answered without printing.
        json selling = connect();
        for (int i = 0; i < 3; ++i) {
            selling.push_back(sale("Хлеб " + std::to_string(kill + 1)));
        }
        const int64_t lastBefore = storedState()["fiscal"]["fd_last_doc"];
        auto host = startHost(script("selling", selling), "selling.out");
        // A document this host had stored and the paper did not show yet.
        const auto unprinted = [&] {
            const json stored = storedState();
            if (stored.is_null() || stored["fiscal"]["fd_last_doc"].get<int64_t>() <= lastBefore) {
                return false;
            }
            const auto printed = numbersAfter(readAll(tape()), "ФД: ");
            return printed.count(stored["fiscal"]["fd_last_doc"].get<int64_t>()) == 0;
        };
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!unprinted() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(unprinted()) << "the host's output:\n" << readAll(folder_ / "selling.out");
        ASSERT_TRUE(host->kill()) << "the host had ended before the kill";
    }
    json last = connect();
    last.push_back(sale("Батон"));
    last.push_back(close());
    ASSERT_EQ(startHost(script("last", last), "last.out")->wait(60s), 0);

    const json fiscal = storedState()["fiscal"];
    const int64_t lastDocument = fiscal["fd_last_doc"];
    const std::string paper = readAll(tape());
    const std::string page = readAll(programData() / "tape.html");
    for (const auto& [what, printed] : {std::pair{"tape", numbersAfter(paper, "ФД: ")},
                                        std::pair{"page", numbersAfter(page, "ФД: ")}}) {
        SCOPED_TRACE(what);
        EXPECT_EQ(int64_t(printed.size()), lastDocument - 1) << "every document from the second";
        for (const auto& [number, times] : printed) {
            EXPECT_EQ(times, 1) << "document " << number;
            EXPECT_GE(number, 2);
            EXPECT_LE(number, lastDocument);
        }
    }
    const size_t receipts =
        occurrences(paper, "КАССОВЫЙ ЧЕК") - occurrences(paper, "ЧЕК АННУЛИРОВАН");
    EXPECT_GE(receipts, size_t(kKills) + 1);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], receipts);
    EXPECT_EQ(fiscal["shift_cash"], int64_t(receipts) * kReceiptAmount);
}

// 1C killed between a closing whose answer it never read and the settlement of that closing;
// the cashier retries the same receipt in a new 1C: exactly one document is printed, and the
// retry is answered true with its number.
TEST_F(CrashRecovery, TheSameReceiptRetriedAfterAKillIsNotPrintedTwice) {
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);
    const int64_t lastBefore = storedState()["fiscal"]["fd_last_doc"];

    json killed = connect();
    killed.push_back(sale());
    killed.push_back(lastError()); // what failed, should the receipt not be made
    {
        auto host = startHost(script("killed", killed), "killed.out");
        ASSERT_TRUE(waitFor([&] {
            return !storedState().contains("document") &&
                   readAll(tape()).find("ФД: " + std::to_string(lastBefore + 1) + " ") !=
                       std::string::npos;
        })) << storedState().dump()
            << "\n"
            << readAll(folder_ / "killed.out");
        ASSERT_TRUE(host->kill()) << "the host had ended before the kill";
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
    const auto functions = journalFunctions("retry.out");
    EXPECT_EQ(std::count(functions.begin(), functions.end(), "korvant3_fremu_open_doc"), 0)
        << "printed again";
    const json fiscal = storedState()["fiscal"];
    EXPECT_EQ(fiscal["fd_last_doc"], lastBefore + 1);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], 1);
    EXPECT_EQ(occurrences(readAll(tape()), "КАССОВЫЙ ЧЕК"), 1u) << "one receipt on paper";
}

// Two 1C sessions on one till share one register. While one fills a receipt, a register that
// refuses the other's X report as not allowed, saying a document is open, has that refusal
// (code 14) reported as it is: the document a live session is filling is not cancelled, and
// the receipt goes through. (The emulator serves its clients in turn and shows none another's
// document, so the refusal and the open document are injected into the second session's
// register; what the first session is doing is real.)
TEST_F(CrashRecovery, ADocumentALiveSessionIsFillingIsNotCancelled) {
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);

    // The first session's item takes three seconds: time enough for the second's report.
    configure({{"task_ms", {{"add_item", 3000}}}});
    json filling = connect();
    filling.push_back(sale());
    auto first = startHost(script("filling", filling), "filling.out");
    ASSERT_TRUE(waitFor([&] { return storedState().contains("document"); }));

    json report = connect();
    report.push_back({{"method", "PrintXReport"}, {"args", {"${device}", ""}}});
    report.push_back(lastError());
    const std::vector<json> refusedWithADocumentOpen = {
        {{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"response", 3}, {"extended", 113}},
        {{"function", "korvant3_get_state"},
         {"call", 0},
         {"answer", R"({"response":0,"data":{"dev_context":768,"doc_kind":1}})"}},
    };
    ASSERT_EQ(startHost(script("report", report), "report.out", true, refusedWithADocumentOpen)
                  ->wait(60s),
              0);
    const auto reported = resultsOf("report.out", "PrintXReport");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0]["result"]["value"], false);
    EXPECT_EQ(resultsOf("report.out", "GetLastError").at(0)["result"]["value"], 14);
    const auto functions = journalFunctions("report.out");
    EXPECT_NE(std::find(functions.begin(), functions.end(), "korvant3_get_state"), functions.end())
        << "the register was asked what it holds";
    EXPECT_EQ(std::find(functions.begin(), functions.end(), "korvant3_fremu_cancel_doc"),
              functions.end());

    ASSERT_EQ(first->wait(60s), 0);
    const auto sold = resultsOf("filling.out", "ProcessCheck");
    ASSERT_EQ(sold.size(), 1u);
    EXPECT_EQ(sold[0]["result"]["value"], true);
    EXPECT_EQ(readAll(tape()).find("ЧЕК АННУЛИРОВАН"), std::string::npos);
}

} // namespace
} // namespace korvant::testing
