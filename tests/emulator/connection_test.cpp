// Connections, handles and fiscal-register mode.

#include "emulator_client.h"

namespace emutest {
namespace {

using ConnectionTest = EmulatorTest;

TEST_F(ConnectionTest, HandlesArePositiveAndDistinctAndOpenAnswersSerialAndVersion) {
    const char* text = nullptr;
    const int32_t first = EMU(korvant3_open)("10.0.0.1", 5000, &text);
    const json answer = json::parse(text);
    const int32_t second = open();
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(answer["response"], 0);
    EXPECT_EQ(answer["data"]["serial"], "0000000000000001");
    EXPECT_EQ(answer["data"]["version"], "2.1.0");
}

TEST_F(ConnectionTest, EveryFunctionAnswersMinusOneForAHandleNotOpen) {
    const int32_t closed = open();
    ASSERT_EQ(EMU(korvant3_close)(closed), 0);
    for (int32_t handle : {closed, 0, -5, 777}) {
        for (const char* name :
             {"korvant3_get_info", "korvant3_get_state", "korvant3_get_fdstate",
              "korvant3_fremu_enter", "korvant3_fremu_exit", "korvant3_fremu_get_money"}) {
            EXPECT_EQ(simple(name, handle).result, -1) << name << " " << handle;
        }
        for (const char* name :
             {"korvant3_fremu_open_shift", "korvant3_fremu_close_shift", "korvant3_fremu_open_doc",
              "korvant3_fremu_close_doc", "korvant3_fremu_print", "korvant3_fremu_add_item",
              "korvant3_fremu_add_text", "korvant3_fremu_registration", "korvant3_fremu_set_agent",
              "korvant3_fremu_close_archive", "korvant3_fremu_print_doc"}) {
            EXPECT_EQ(start(name, handle, {{"user_name", "x"}}).result, -1) << name;
        }
        for (const char* name : {"korvant3_fremu_report_x", "korvant3_fremu_report_state",
                                 "korvant3_fremu_cancel_doc"}) {
            EXPECT_EQ(start(name, handle).result, -1) << name;
        }
        const char* text = nullptr;
        EXPECT_EQ(EMU(korvant3_get_fdtag)(handle, 5000, R"({"fd_tag":59})", &text), -1);
        EXPECT_EQ(poll(handle, 1).result, -1);
        EXPECT_EQ(EMU(korvant3_close)(handle), -1);
    }
}

TEST_F(ConnectionTest, EnteringTwiceAnswersR3E101AndSoDoesLeavingTwice) {
    const int32_t handle = open();
    EXPECT_EQ(simple("korvant3_fremu_enter", handle).response(), 0);
    const Answer again = simple("korvant3_fremu_enter", handle);
    EXPECT_EQ(again.result, 0);
    EXPECT_EQ(again.response(), 3);
    EXPECT_EQ(again.extended(), 101);
    EXPECT_EQ(simple("korvant3_fremu_exit", handle).response(), 0);
    EXPECT_EQ(simple("korvant3_fremu_exit", handle).extended(), 101);
}

TEST_F(ConnectionTest, OperationsNeedFiscalRegisterModeOfTheirOwnConnection) {
    const int32_t inMode = connect();
    const int32_t outOfMode = open();
    const Answer refused = run("korvant3_fremu_open_shift", outOfMode, {{"user_name", "A"}});
    EXPECT_EQ(refused.response(), 3);
    EXPECT_EQ(refused.extended(), 102);
    EXPECT_EQ(run("korvant3_fremu_open_shift", inMode, {{"user_name", "A"}}).response(), 0);
}

TEST_F(ConnectionTest, InformationAnswersCarryTheRegisterIdentity) {
    reset({{"clock", kClock}, {"serial", "0012345"}, {"line_length", 32}});
    const int32_t handle = open();
    const Answer info = simple("korvant3_get_info", handle);
    EXPECT_EQ(info.data()["serial"], "0012345");
    EXPECT_EQ(info.data()["line_length"], 32);
    for (const char* member : {"flash_bank", "flash_size", "goods_count", "boot_version"}) {
        EXPECT_TRUE(info.data().contains(member)) << member;
    }
    const Answer fdstate = simple("korvant3_get_fdstate", handle);
    EXPECT_EQ(fdstate.data()["fd_last_doc"], 1);
    EXPECT_EQ(fdstate.data()["fd_reg_document"], 1);
    EXPECT_EQ(fdstate.data()["fd_shift_state"], 0);
    EXPECT_EQ(fdstate.data()["fd_serial"], "9999000000000001");
    const Answer registered = simple("korvant3_get_state", handle);
    EXPECT_EQ(registered.data()["dev_context"].get<int>() & 0x100, 0x100);
    EXPECT_FALSE(registered.data()["company_inn"].get<std::string>().empty());
}

TEST_F(ConnectionTest, VersionIsReportedAndEveryCallIsJournalled) {
    int32_t version[4] = {-1, -1, -1, -1};
    EMU(korvant3_version)(&version[0], &version[1], &version[2], &version[3]);
    EXPECT_EQ(version[0], 3);
    const int32_t handle = connect();
    const Answer item = startText("korvant3_fremu_add_item", handle, "{\"name\": \"Чай\"");
    EXPECT_EQ(item.result, -8);
    const json calls = journal();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0]["function"], "korvant3_version");
    EXPECT_EQ(calls[1]["function"], "korvant3_open");
    EXPECT_EQ(calls[1]["result"], handle);
    EXPECT_EQ(calls[1]["answer"]["data"]["serial"], "0000000000000001");
    EXPECT_EQ(calls[2]["handle"], handle);
    EXPECT_EQ(calls[3]["request_text"], "{\"name\": \"Чай\"");
    EXPECT_TRUE(calls[3]["request"].is_null());
    EXPECT_EQ(calls[3]["result"], -8);
    EMU(korvant3emu_clear_journal)();
    EXPECT_TRUE(journal().empty());
}

TEST_F(ConnectionTest, ClosingDropsTheConnectionsTasks) {
    reset({{"clock", kClock}, {"busy_polls", 5}});
    const int32_t handle = connect();
    const Answer started = start("korvant3_fremu_report_x", handle);
    ASSERT_EQ(started.response(), 0);
    ASSERT_EQ(EMU(korvant3_close)(handle), 0);
    EXPECT_TRUE(state()["pending_tasks"].empty());
}

TEST_F(ConnectionTest, ATagIsReadByItsNumber) {
    const int32_t handle = open();
    const char* text = nullptr;
    ASSERT_EQ(EMU(korvant3_get_fdtag)(handle, 5000, R"({"fd_tag":59})", &text), 0);
    EXPECT_EQ(json::parse(text)["data"], (json{{"fd_tag", 59}, {"fd_number", 1}}));
    ASSERT_EQ(EMU(korvant3_get_fdtag)(handle, 5000, R"({"fd_tag":9})", &text), 0);
    EXPECT_EQ(json::parse(text)["extended"], 106);
    EXPECT_EQ(EMU(korvant3_get_fdtag)(handle, 5000, "{}", &text), -8);
}

} // namespace
} // namespace emutest
