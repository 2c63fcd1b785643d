// A till whose 1C is killed in the middle of a receipt. korvant-host plays 1C:
// one process works a receipt on a slowed register and is killed at a chosen
// moment, the next one starts on the same ProgramData (the register's state
// file lives there) and sells again. Whatever the moment, the next receipt
// succeeds, a document left open is cancelled, no fiscal document number is
// ever issued twice, and the drawer and the counters agree with the paper tape.

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
    json next = connect();
    next.push_back(sale());
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

    json selling = connect();
    for (int i = 0; i < 3; ++i) {
        selling.push_back(sale());
    }
    const fs::path sellingScript = script("selling", selling);
    constexpr int kKills = 6;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill + 1));
        const int64_t lastBefore = storedState()["fiscal"]["fd_last_doc"];
        auto host = startHost(sellingScript, "selling.out");
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
        ASSERT_TRUE(unprinted());
        host->kill();
    }
    json last = connect();
    last.push_back(sale());
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

} // namespace
} // namespace korvant::testing
