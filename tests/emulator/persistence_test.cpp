// The state file: the fiscal state survives the process; a file that cannot be
// read is reported and left alone.

#include "emulator_client.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace emutest {
namespace {

class PersistenceTest : public EmulatorTest {
protected:
    void SetUp() override {
        file_ = freshTempPath("state");
        config_ = {{"clock", kClock}, {"state", file_.string()}};
        reset(config_);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    std::filesystem::path file_;
    json config_;
};

TEST_F(PersistenceTest, TheFiscalStateSurvivesAReload) {
    const int32_t handle = openShift();
    EXPECT_TRUE(std::filesystem::exists(file_)) << "written after the first fiscal document";
    const Answer sale = receipt(handle, 0, {item("Чай", 1000000, 10000)}, cash(1000000));
    ASSERT_EQ(sale.response(), 0);

    reset(config_);
    const int32_t again = connect();
    const Answer fdstate = simple("korvant3_get_fdstate", again);
    EXPECT_EQ(fdstate.data()["fd_last_doc"], sale.data()["fd_number"]);
    EXPECT_EQ(fdstate.data()["fd_shift_state"], 1);
    EXPECT_EQ(fdstate.data()["shift_doc_number"], 1);
    EXPECT_EQ(simple("korvant3_fremu_get_money", again).data()["shift_cash"], 1000000);
    // Numbering and dates go on from where they were.
    const Answer next = receipt(again, 0, {item("Чай", 1000000, 10000)}, cash(1000000));
    EXPECT_EQ(next.data()["fd_number"], sale.data()["fd_number"].get<int64_t>() + 1);
    EXPECT_EQ(next.data()["fd_date"], sale.data()["fd_date"].get<int64_t>() + 1);
    EXPECT_EQ(next.data()["sales"]["check_count"], 2);
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".tmp"));
}

TEST_F(PersistenceTest, AStateFileThatCannotBeReadIsReportedAndLeftIntact) {
    for (const std::string& damaged :
         {std::string("{\"format\": \"korvant3emu state 1\", \"fiscal\": {"),
          std::string("{\"format\": \"korvant3emu state 1\", \"fiscal\": {\"fd_serial\": 5}}"),
          std::string("[]")}) {
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << damaged;
        reset(config_);
        const char* text = nullptr;
        EXPECT_LT(EMU(korvant3_open)("x", 5000, &text), 0);
        ASSERT_NE(text, nullptr);
        const json answer = json::parse(text);
        EXPECT_EQ(answer["response"], 1);
        EXPECT_NE(answer["data"]["message"].get<std::string>().find(file_.string()),
                  std::string::npos);
        EXPECT_EQ(contentOf(file_), damaged);
    }
}

} // namespace
} // namespace emutest
