// The wait between polls of a running task, on its own and as KorvantIntf
// follows it against a task that ends at a known moment of the fake clock.
#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "device/korvant_intf.h"
#include "device/task_policy.h"
#include "fake_functions.h"

namespace {

using namespace std::chrono_literals;
using fake::kAccepted;
using korvant::ErrorCode;
using korvant::KorvantIntf;
using korvant::pollDelay;
using korvant::TaskPolicy;
using std::chrono::milliseconds;

TEST(PollDelay, GrowsWithTheTimeWaitedWithinItsBounds) {
    const TaskPolicy growing;
    struct Row {
        milliseconds waited;
        milliseconds delay;
    };
    const Row rows[] = {
        {-5ms, 10ms},  {0ms, 10ms},    {39ms, 10ms},   {44ms, 11ms},   {100ms, 25ms},
        {150ms, 37ms}, {799ms, 199ms}, {800ms, 200ms}, {3600s, 200ms},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(pollDelay(growing, row.waited), row.delay) << row.waited.count() << " ms";
    }
}

TEST(PollDelay, FixedIntervalIgnoresTheTimeWaitedButAlwaysYields) {
    for (const auto interval : {0ms, 1ms, 50ms, 200ms, 5000ms}) {
        const TaskPolicy fixed{interval};
        for (const auto waited : {0ms, 30ms, 1000ms, 100000ms}) {
            EXPECT_EQ(pollDelay(fixed, waited), std::max(interval, 1ms))
                << interval.count() << " ms after " << waited.count() << " ms";
        }
    }
}

// No wait reaches past the task's deadline, whatever the interval says: the
// last poll comes at the deadline, and the call gives up right after it.
TEST(PollWait, NeverReachesPastTheDeadline) {
    using Clock = korvant::TaskClock;
    const Clock::TimePoint start{};
    struct Row {
        std::optional<milliseconds> interval;
        std::chrono::microseconds now;
        std::optional<milliseconds> deadline;
        milliseconds wait;
    };
    const Row rows[] = {
        {20s, 0ms, 2s, 2s},            // a 20 s interval under a 2 s time-out
        {20s, 1500ms, 2s, 500ms},      //
        {20s, 1999600us, 2s, 1ms},     // a fraction of a millisecond left: rounded up
        {std::nullopt, 0ms, 5ms, 5ms}, // the growing wait, cut
        {std::nullopt, 400ms, 10s, 100ms},
        {0ms, 0ms, 2s, 1ms},           // no interval still yields the processor
        {0ms, 0ms, std::nullopt, 1ms}, // and so does waiting forever
        {20s, 0ms, std::nullopt, 20s},
    };
    for (const auto& row : rows) {
        const TaskPolicy policy{row.interval};
        const auto deadline =
            row.deadline ? std::optional<Clock::TimePoint>(start + *row.deadline) : std::nullopt;
        EXPECT_EQ(korvant::pollWait(policy, start, start + row.now, deadline), row.wait)
            << row.now.count() << " us";
    }
}

class PollScheduleTest : public testing::Test {
protected:
    void SetUp() override { fake::bind(intf); }

    // Runs a task the fake register finishes `duration` after it was started;
    // the moment the binding saw it done.
    milliseconds runTaskTaking(milliseconds duration) {
        fake::bind(intf);
        fake::script({{0, kAccepted}});
        const auto started = fake::state.now;
        fake::state.busyUntil = started + duration;
        EXPECT_EQ(intf.addItem(1, "{}"), ErrorCode::NoError);
        return std::chrono::duration_cast<milliseconds>(fake::state.pollTimes.back() - started);
    }

    // The waits between consecutive polls of the last task.
    std::vector<milliseconds> gaps() const {
        std::vector<milliseconds> list;
        const auto& times = fake::state.pollTimes;
        for (size_t i = 1; i < times.size(); ++i) {
            list.push_back(std::chrono::duration_cast<milliseconds>(times[i] - times[i - 1]));
        }
        return list;
    }

    KorvantIntf intf;
};

// The poll that sees the end comes late by at most the larger of the shortest
// wait and a quarter of the task's time.
TEST_F(PollScheduleTest, OvershootStaysASmallFractionOfTheTask) {
    for (const milliseconds duration :
         {0ms, 1ms, 10ms, 20ms, 37ms, 150ms, 500ms, 801ms, 2000ms, 60000ms}) {
        const auto seen = runTaskTaking(duration);
        EXPECT_GE(seen, duration);
        EXPECT_LE(seen - duration, std::max(korvant::kMinPollDelay, duration / 4))
            << duration.count() << " ms";
    }
}

TEST_F(PollScheduleTest, TaskThatIsDoneAtOnceIsPolledOnceWithoutWaiting) {
    EXPECT_EQ(runTaskTaking(0ms), 0ms);
    EXPECT_EQ(fake::state.pollTimes.size(), 1u);
    EXPECT_EQ(fake::state.sleeps, 0);
}

TEST_F(PollScheduleTest, WaitsNeverShrinkAndLongTasksArePolledEvery200Ms) {
    runTaskTaking(10s);
    const auto waits = gaps();
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.front(), korvant::kMinPollDelay);
    EXPECT_TRUE(std::is_sorted(waits.begin(), waits.end()));
    EXPECT_EQ(waits.back(), korvant::kMaxPollDelay);
    // Once the growing part is over, the rate is the old fixed one; the
    // quick polls at the start add only a handful.
    EXPECT_LE(fake::state.pollTimes.size(), 10000u / 200 + 20);
}

TEST_F(PollScheduleTest, ConfiguredIntervalIsKeptForTheWholeTask) {
    intf.setTaskPolicy(TaskPolicy{200ms});
    fake::script({{0, kAccepted}});
    fake::state.busyUntil = fake::state.now + 1000ms;
    ASSERT_EQ(intf.addItem(1, "{}"), ErrorCode::NoError);
    EXPECT_EQ(gaps(), std::vector<milliseconds>(5, 200ms));
}

TEST_F(PollScheduleTest, LongIntervalEndsAtTheTimeoutNotAfterIt) {
    intf.setTaskPolicy(TaskPolicy{20s, std::chrono::seconds(2)});
    fake::script({{0, kAccepted}});
    fake::state.busyUntil = fake::state.now + 24h;
    EXPECT_EQ(intf.addItem(1, "{}"), ErrorCode::ProtocolError);
    EXPECT_EQ(fake::state.now.time_since_epoch(), 2s);
    EXPECT_EQ(gaps(), std::vector<milliseconds>{2s});
}

TEST_F(PollScheduleTest, ZeroIntervalWaitsAMillisecondBetweenPolls) {
    intf.setTaskPolicy(TaskPolicy{0ms});
    fake::script({{0, kAccepted}});
    fake::state.busyUntil = fake::state.now + 5ms;
    EXPECT_EQ(intf.addItem(1, "{}"), ErrorCode::NoError);
    EXPECT_EQ(gaps(), std::vector<milliseconds>(5, 1ms));
}

TEST_F(PollScheduleTest, TaskTimeoutStillEndsAnEndlesslyBusyTask) {
    intf.setTaskPolicy(TaskPolicy{std::nullopt, std::chrono::seconds(1)});
    fake::script({{0, kAccepted}});
    fake::state.busyUntil = fake::state.now + 24h;
    EXPECT_EQ(intf.addItem(1, "{}"), ErrorCode::ProtocolError);
    const auto gaveUp = fake::state.now.time_since_epoch();
    EXPECT_GE(gaveUp, 1s);
    EXPECT_LE(gaveUp, 1s + korvant::kMaxPollDelay);
}

// The time the library takes to answer a poll counts as time waited.
TEST_F(PollScheduleTest, SlowPollsCountAsTimeWaited) {
    fake::script({{0, kAccepted}});
    fake::state.busyUntil = fake::state.now + 1000ms;
    intf.setClock({[] { return fake::state.now += 100ms; },
                   [](milliseconds duration) { fake::state.now += duration; }});
    ASSERT_EQ(intf.addItem(1, "{}"), ErrorCode::NoError);
    // Read 100 ms after the poll started: the next wait is a quarter of that.
    EXPECT_EQ(gaps().front(), 100ms + 100ms / 4);
}

} // namespace
