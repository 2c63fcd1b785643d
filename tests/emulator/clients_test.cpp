// One register, several clients. A document belongs to the connection that opened it: the
// others wait their turn, their tasks answered busy until it is closed or cancelled, and those
// that had to wait are served in the order they came. A document whose connection is gone is
// anyone's to cancel. With a state file the same register is shared by processes, each call
// taking it under a lock for as long as the call needs it.

#include "emulator_client.h"
#include "files/file_lock.h"

namespace emutest {
namespace {

using ClientsTest = EmulatorTest;

TEST_F(ClientsTest, AnotherConnectionsDocumentKeepsTheRegisterBusyUntilItIsClosed) {
    const int32_t owner = openShift();
    const int32_t other = connect();
    ASSERT_EQ(run("korvant3_fremu_open_doc", owner, kSaleOpen).response(), 0);

    const Answer waiting = start("korvant3_fremu_open_doc", other, kSaleOpen);
    ASSERT_EQ(waiting.response(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(poll(other, waiting.task).extended(), 103);
    }
    // To the other client the register is busy, not holding a document of its own.
    EXPECT_EQ(simple("korvant3_get_state", other).data()["dev_context"], 0x100);
    EXPECT_EQ(simple("korvant3_get_state", owner).data()["dev_context"], 0x300);

    ASSERT_EQ(run("korvant3_fremu_add_item", owner, item("Чай", 1000000, 10000)).response(), 0);
    const Answer closed = run("korvant3_fremu_close_doc", owner, cash(1000000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    Answer opened;
    EXPECT_EQ(busyPolls(other, waiting.task, opened), 0);
    EXPECT_EQ(opened.response(), 0) << opened.text;
    EXPECT_EQ(simple("korvant3_get_state", other).data()["dev_context"], 0x300);

    // Now the first client waits for the other one's document.
    const Answer report = start("korvant3_fremu_report_x", owner);
    EXPECT_EQ(poll(owner, report.task).extended(), 103);
    EXPECT_EQ(run("korvant3_fremu_cancel_doc", other).response(), 0);
    Answer printed;
    EXPECT_EQ(busyPolls(owner, report.task, printed), 0);
    EXPECT_EQ(printed.response(), 0) << printed.text;
}

TEST_F(ClientsTest, ClientsThatWaitedAreServedInTheOrderTheyCame) {
    const int32_t owner = openShift();
    const int32_t second = connect();
    const int32_t third = connect();
    ASSERT_EQ(run("korvant3_fremu_open_doc", owner, kSaleOpen).response(), 0);
    const Answer secondReport = start("korvant3_fremu_report_x", second);
    EXPECT_EQ(poll(second, secondReport.task).extended(), 103);
    const Answer thirdReport = start("korvant3_fremu_report_x", third);
    EXPECT_EQ(poll(third, thirdReport.task).extended(), 103);
    EXPECT_EQ(run("korvant3_fremu_cancel_doc", owner).response(), 0);

    // The owner, done with its document, comes after those that waited for it.
    const Answer ownerReport = start("korvant3_fremu_report_x", owner);
    EXPECT_EQ(poll(owner, ownerReport.task).extended(), 103);
    EXPECT_EQ(poll(third, thirdReport.task).extended(), 103);
    EXPECT_EQ(poll(second, secondReport.task).response(), 0);
    EXPECT_EQ(poll(owner, ownerReport.task).extended(), 103);
    EXPECT_EQ(poll(third, thirdReport.task).response(), 0);
    EXPECT_EQ(poll(owner, ownerReport.task).response(), 0);
}

TEST_F(ClientsTest, ADocumentWhoseConnectionIsGoneIsAnyonesToCancel) {
    const int32_t gone = openShift();
    ASSERT_EQ(run("korvant3_fremu_open_doc", gone, kSaleOpen).response(), 0);
    ASSERT_EQ(EMU(korvant3_close)(gone), 0);

    const int32_t next = connect();
    EXPECT_EQ(simple("korvant3_get_state", next).data()["dev_context"], 0x300);
    EXPECT_EQ(run("korvant3_fremu_open_doc", next, kSaleOpen).extended(), 113);
    EXPECT_EQ(run("korvant3_fremu_cancel_doc", next).response(), 0);
    EXPECT_EQ(run("korvant3_fremu_open_doc", next, kSaleOpen).response(), 0);
}

// Another process holds the register (here the test itself, taking the lock beside the state
// file): a task is accepted and answered busy, a reading call waits its bounded time and then
// answers busy; once the register is let go, the task is done.
TEST_F(ClientsTest, ARegisterAnotherProcessKeepsIsBusyAfterABoundedWait) {
    const std::filesystem::path file = freshTempPath("state");
    reset({{"clock", kClock}, {"state", file.string()}, {"lock_wait_ms", 50}});
    const int32_t handle = openShift();
    korvant3emu::FileLock held;
    ASSERT_TRUE(held.open(file.string() + ".lock", false));
    ASSERT_TRUE(held.tryLock());

    const Answer started = start("korvant3_fremu_report_x", handle);
    EXPECT_EQ(started.response(), 0);
    EXPECT_GT(started.task, 0u);
    EXPECT_EQ(poll(handle, started.task).extended(), 103);
    const Answer busy = simple("korvant3_get_fdstate", handle);
    EXPECT_EQ(busy.result, 0);
    EXPECT_EQ(busy.response(), 3);
    EXPECT_EQ(busy.extended(), 103);

    held.close();
    Answer printed;
    EXPECT_EQ(busyPolls(handle, started.task, printed), 0);
    EXPECT_EQ(printed.response(), 0) << printed.text;
    removeState(file);
}

} // namespace
} // namespace emutest
