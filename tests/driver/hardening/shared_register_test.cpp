// Several 1C sessions on one till: korvant-host processes on one ProgramData at once, each
// selling and putting cash in on the same register. The register serves them one at a time, as
// a real one serves its clients: every call answers true, every number is issued once, and the
// tape, the state and the drawer agree.

#include <chrono>
#include <string>
#include <vector>

#include "driver/hardening/till_processes.h"

namespace korvant::testing {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

using SharedRegister = TillProcesses;

TEST_F(SharedRegister, HostsAtOnceAreServedOneAtATime) {
    // The register takes a little time over each step, so that the hosts' calls interleave.
    configure({{"task_ms", {{"open_doc", 3}, {"add_item", 2}, {"close_doc", 3}}}});
    json prepare = connect();
    prepare.push_back(openShift());
    ASSERT_EQ(startHost(script("prepare", prepare), "prepare.out")->wait(60s), 0);

    constexpr int kHosts = 4;
    constexpr int kRounds = 5;
    json calls = connect();
    for (int round = 0; round < kRounds; ++round) {
        calls.push_back(sale());
        calls.push_back(cashIn(10));
    }
    calls.push_back(close());
    const auto session = script("session", calls);
    std::vector<std::unique_ptr<HostProcess>> hosts;
    for (int host = 0; host < kHosts; ++host) {
        hosts.push_back(startHost(session, "host" + std::to_string(host) + ".out"));
    }
    for (int host = 0; host < kHosts; ++host) {
        EXPECT_EQ(hosts[size_t(host)]->wait(180s), 0) << "host " << host;
        for (const json& line : outputLines("host" + std::to_string(host) + ".out")) {
            if (line["method"] == "ProcessCheck" || line["method"] == "CashInOutcome") {
                EXPECT_EQ(line["result"]["value"], true) << "host " << host << ": " << line.dump();
            }
        }
    }

    constexpr int kEach = kHosts * kRounds;
    const std::string paper = readAll(tape());
    const json fiscal = storedState()["fiscal"];
    // Fiscal documents: the shift opening (2) and every sale after it, each once.
    const auto fiscalNumbers = numbersAfter(paper, "ФД: ");
    EXPECT_EQ(fiscal["fd_last_doc"], 2 + kEach);
    EXPECT_EQ(fiscalNumbers.size(), size_t(1 + kEach));
    // Cash documents: numbered apart, each once.
    const auto cashNumbers = numbersAfter(paper, "ДОКУМЕНТ ");
    EXPECT_EQ(cashNumbers.size(), size_t(kEach));
    for (const auto& numbers : {fiscalNumbers, cashNumbers}) {
        for (const auto& [number, times] : numbers) {
            EXPECT_EQ(times, 1) << "number " << number;
        }
    }
    EXPECT_EQ(occurrences(paper, "КАССОВЫЙ ЧЕК"), size_t(kEach));
    EXPECT_EQ(occurrences(paper, "АННУЛИРОВАН"), 0u);
    EXPECT_EQ(fiscal["counters"]["sales"]["check_count"], kEach);
    EXPECT_EQ(fiscal["cash_in"]["check_count"], kEach);
    // 100.00 sold and 10.00 put in, each time.
    EXPECT_EQ(fiscal["shift_cash"], int64_t(kEach) * (kReceiptAmount + 100000));
    EXPECT_FALSE(storedState().contains("document"));
}

} // namespace
} // namespace korvant::testing
