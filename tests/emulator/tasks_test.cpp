// The task protocol: a number handed out with R 0, busy answers while the
// register works, the final answer exactly once.

#include "emulator_client.h"

#include <atomic>
#include <thread>

namespace emutest {
namespace {

using TaskTest = EmulatorTest;

TEST_F(TaskTest, BusyAnswersAsConfiguredThenTheFinalAnswerOnce) {
    reset({{"clock", kClock},
           {"busy_polls", {{"default", 2}, {"korvant3_fremu_open_shift", 4}, {"report_x", 0}}}});
    const int32_t handle = connect();
    struct Expectation {
        const char* function;
        json request;
        int busy;
    };
    for (const auto& [function, request, busy] :
         {Expectation{"korvant3_fremu_open_shift", {{"user_name", "A"}}, 4},
          Expectation{"korvant3_fremu_report_state", nullptr, 2},
          Expectation{"korvant3_fremu_report_x", nullptr, 0}}) {
        const Answer started = start(function, handle, request);
        ASSERT_EQ(started.result, 0);
        EXPECT_EQ(started.response(), 0);
        EXPECT_GT(started.task, 0u);
        EXPECT_EQ(started.data()["task_id"], started.task);
        Answer final;
        EXPECT_EQ(busyPolls(handle, started.task, final), busy) << function;
        EXPECT_EQ(final.response(), 0) << function;
        // Handed out once; after that the register knows no such task.
        const Answer again = poll(handle, started.task);
        EXPECT_EQ(again.response(), 3);
        EXPECT_EQ(again.extended(), 104);
    }
}

TEST_F(TaskTest, TaskNumbersAreDistinctAndBelongToTheirConnection) {
    reset({{"clock", kClock}, {"busy_polls", 1}});
    const int32_t first = connect();
    const int32_t second = connect();
    const Answer a = start("korvant3_fremu_report_x", first);
    const Answer b = start("korvant3_fremu_report_x", first);
    EXPECT_NE(a.task, b.task);
    EXPECT_EQ(poll(second, a.task).extended(), 104);
    EXPECT_EQ(poll(first, a.task).extended(), 103);
    EXPECT_EQ(poll(first, a.task).response(), 0);
    // Polls are journalled with the task they asked about.
    const json calls = journal();
    ASSERT_GE(calls.size(), 3u);
    const json& last = calls[calls.size() - 1];
    EXPECT_EQ(last["function"], "korvant3_fremu_query");
    EXPECT_EQ(last["task"], a.task);
    EXPECT_EQ(last["answer"]["response"], 0);
    EXPECT_EQ(calls[calls.size() - 2]["answer"]["extended"], 103);
}

TEST_F(TaskTest, SimulatedDeviceTimeKeepsATaskBusyWithoutBlockingTheControlApi) {
    reset({{"clock", kClock}, {"task_ms", {{"korvant3_fremu_report_x", 3600000}}}});
    const int32_t handle = connect();
    const Answer started = start("korvant3_fremu_report_x", handle);
    // Another thread reads the state and journal while the task is busy.
    std::atomic<int> reads{0};
    std::thread reader([&] {
        for (int i = 0; i < 50; ++i) {
            EXPECT_TRUE(json::parse(EMU(korvant3emu_state)()).is_object());
            reads++;
        }
    });
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(poll(handle, started.task).extended(), 103);
    }
    reader.join();
    EXPECT_EQ(reads, 50);
    EXPECT_EQ(state()["pending_tasks"].size(), 1u);
}

} // namespace
} // namespace emutest
