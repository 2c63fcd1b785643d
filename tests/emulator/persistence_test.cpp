// The state file: the fiscal state survives the process; a file that cannot be
// read is reported and left alone.

#include "emulator_client.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace emutest {
namespace {

class PersistenceTest : public EmulatorTest {
protected:
    void SetUp() override {
        file_ = freshTempPath("state");
        config_ = {{"clock", kClock}, {"state", file_.string()}};
        reset(config_);
    }
    void TearDown() override { removeState(file_); }

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

// Someone reading the state file at the moment the register replaces it (on Windows that
// refuses the replacement for as long as they hold the file) costs the register a moment, not
// the operation.
TEST_F(PersistenceTest, AReaderHoldingTheStateFileOnlyDelaysTheOperation) {
    const int32_t handle = openShift();
    auto reader = std::make_unique<std::ifstream>(file_, std::ios::binary);
    ASSERT_TRUE(*reader);
    std::thread letGo([&reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        reader.reset();
    });
    const Answer sale = receipt(handle, 0, {item("Чай", 1000000, 10000)}, cash(1000000));
    letGo.join();
    EXPECT_EQ(sale.response(), 0) << sale.data().dump();
    reset(config_);
    EXPECT_EQ(simple("korvant3_get_fdstate", connect()).data()["fd_last_doc"],
              sale.data()["fd_number"]);
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

// A host killed in the middle of a receipt leaves the register as a real one
// would be: the document is still open at the next start, and can be cancelled
// or finished.
TEST_F(PersistenceTest, AnOpenDocumentSurvivesTheProcess) {
    const int32_t handle = openShift();
    ASSERT_EQ(run("korvant3_fremu_open_doc", handle,
                  {{"doc_kind", 0},
                   {"taxcode", 1},
                   {"user_name", "Кассир"},
                   {"user_inn", "77"},
                   {"client_contact", "+7000"}})
                  .response(),
              0);
    ASSERT_EQ(run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 20000, 5000)).response(),
              0);
    ASSERT_EQ(
        run("korvant3_fremu_set_agent", handle, {{"agent", 2}, {"provider_name", "П"}}).response(),
        0);
    ASSERT_EQ(
        run("korvant3_fremu_add_text", handle, {{"text_type", 1}, {"text", "спасибо"}}).response(),
        0);
    const json before = state()["document"];

    reset(config_);
    const int32_t again = connect();
    EXPECT_EQ(state()["document"], before);
    EXPECT_EQ(simple("korvant3_get_state", again).data()["dev_context"], 0x300);
    EXPECT_EQ(simple("korvant3_get_state", again).data()["doc_kind"], 0);
    // Closed after the restart, the receipt is the one begun before it.
    const Answer closed = run("korvant3_fremu_close_doc", again, cash(2000000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    EXPECT_EQ(closed.data()["sales"]["check_total"], 1995000);
    EXPECT_TRUE(state()["document"].is_null());

    // Cancelled after a restart, the document is gone for good.
    ASSERT_EQ(
        run("korvant3_fremu_open_doc", again, {{"doc_kind", 2}, {"user_name", "К"}}).response(), 0);
    reset(config_);
    const int32_t third = connect();
    EXPECT_EQ(run("korvant3_fremu_cancel_doc", third).response(), 0);
    reset(config_);
    connect();
    EXPECT_TRUE(state()["document"].is_null());
}

// Positions go to the open document's record beside the state file, which is not written again
// for each of them: a position costs the same at the ten-thousandth as at the first. After a
// restart the document is whole again; a change whose line was left unfinished (its process
// ended while writing it) was never answered, and is no change.
TEST_F(PersistenceTest, PositionsAreAppendedToTheOpenDocumentsRecord) {
    const int32_t handle = openShift();
    ASSERT_EQ(run("korvant3_fremu_open_doc", handle,
                  {{"doc_kind", 0}, {"taxcode", 1}, {"user_name", "К"}})
                  .response(),
              0);
    const std::string stored = contentOf(file_);
    const std::filesystem::path record = file_.string() + ".document";
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 10000)).response(),
                  0);
    }
    ASSERT_EQ(run("korvant3_fremu_set_agent", handle, {{"agent", 2}}).response(), 0);
    ASSERT_EQ(
        run("korvant3_fremu_add_text", handle, {{"text_type", 1}, {"text", "спасибо"}}).response(),
        0);
    EXPECT_EQ(contentOf(file_), stored);
    const std::string recorded = contentOf(record);
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n'), 6) << recorded;
    const json before = state()["document"];

    std::ofstream(record, std::ios::binary | std::ios::app) << R"({"n":6,"position":{"te)";
    reset(config_);
    const int32_t again = connect();
    EXPECT_EQ(state()["document"], before);
    EXPECT_EQ(run("korvant3_fremu_add_item", again, item("Сахар", 500000, 10000)).response(), 0);
    const Answer closed = run("korvant3_fremu_close_doc", again, cash(3500000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    EXPECT_EQ(closed.data()["sales"]["check_total"], 3500000);
    EXPECT_EQ(json::parse(contentOf(file_)).count("document"), 0u);
}

// A process that ended after the register stored a document and before the paper showed it
// whole: the next start prints what the paper lacks, once.
TEST_F(PersistenceTest, WhatThePaperLacksIsPrintedAtTheNextStart) {
    const std::filesystem::path tape = freshTempPath("tape");
    const std::filesystem::path page = tape.string() + ".html";
    config_["tape"] = tape.string();
    reset(config_);
    const int32_t handle = openShift();
    const size_t tapeBefore = contentOf(tape).size();
    const size_t pageBefore = contentOf(page).size();
    ASSERT_EQ(receipt(handle, 0, {item("Чай", 1000000, 10000)}, cash(1000000)).response(), 0);
    const std::string printed = contentOf(tape);
    const std::string paged = contentOf(page);
    ASSERT_GT(printed.size(), tapeBefore);

    for (const auto& [what, tapeCut, pageCut] :
         {std::tuple{"nothing of the receipt on paper", tapeBefore, pageBefore},
          std::tuple{"half of it", (tapeBefore + printed.size()) / 2,
                     (pageBefore + paged.size()) / 2},
          std::tuple{"all of it", printed.size(), paged.size()}}) {
        SCOPED_TRACE(what);
        std::ofstream(tape, std::ios::binary | std::ios::trunc) << printed.substr(0, tapeCut);
        std::ofstream(page, std::ios::binary | std::ios::trunc) << paged.substr(0, pageCut);
        reset(config_);
        connect();
        EXPECT_EQ(contentOf(tape), printed);
        EXPECT_EQ(contentOf(page), paged);
    }
    removeTape(tape);
}

TEST_F(PersistenceTest, AStateFileWithoutADocumentMeansNoneIsOpen) {
    openShift();
    reset(config_);
    const int32_t again = connect();
    EXPECT_TRUE(state()["document"].is_null());
    EXPECT_EQ(simple("korvant3_get_state", again).data()["dev_context"], 0x100);
    EXPECT_FALSE(simple("korvant3_get_state", again).data().contains("doc_kind"));
    EXPECT_EQ(json::parse(contentOf(file_)).count("document"), 0u);
}

// A full disk: the state cannot be stored, so the register refuses what it was
// asked, goes back to what it had stored, prints nothing, and after the disk
// has room again the next document takes the very number the refused one
// would have had. Nothing is ever answered that the file does not hold.
TEST_F(PersistenceTest, AStateThatCannotBeStoredRefusesTheOperationAndKeepsThePrevious) {
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is played by the device /dev/full";
#endif
    const std::filesystem::path tape = freshTempPath("tape");
    config_["tape"] = tape.string();
    reset(config_);
    const int32_t handle = openShift();
    ASSERT_EQ(run("korvant3_fremu_open_doc", handle,
                  {{"doc_kind", 0}, {"taxcode", 1}, {"user_name", "К"}})
                  .response(),
              0);
    ASSERT_EQ(run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 10000)).response(), 0);
    const std::string stored = contentOf(file_);
    const std::string printed = contentOf(tape);
    const std::filesystem::path page = tape.string() + ".html";
    const std::string paged = contentOf(page);
    const json fiscal = state()["fiscal"];
    const json document = state()["document"];

    // The temporary file the state is written to lands on a device that is always full.
    const std::filesystem::path temporary = file_.string() + ".tmp";
    const auto diskFull = [&] {
        std::filesystem::remove(temporary);
        std::filesystem::create_symlink("/dev/full", temporary);
    };
    diskFull();
    const Answer refused = run("korvant3_fremu_close_doc", handle, cash(1000000));
    EXPECT_EQ(refused.response(), 3);
    EXPECT_EQ(refused.extended(), 115);
    EXPECT_EQ(refused.data()["fd_number"], fiscal["fd_last_doc"]);
    // The refusal says why, in the system's words.
    EXPECT_NE(refused.data()["message"].get<std::string>().find("No space left on device"),
              std::string::npos)
        << refused.text;
    // A position goes to the open document's record, which lands on the full device too.
    const std::filesystem::path record = file_.string() + ".document";
    const std::string recorded = contentOf(record);
    std::filesystem::remove(record);
    std::filesystem::create_symlink("/dev/full", record);
    const Answer item2 = run("korvant3_fremu_add_item", handle, item("Сахар", 500000, 10000));
    EXPECT_EQ(item2.extended(), 115);
    std::filesystem::remove(record);
    std::ofstream(record, std::ios::binary) << recorded;
    EXPECT_EQ(contentOf(file_), stored);
    EXPECT_EQ(contentOf(tape), printed);
    EXPECT_EQ(contentOf(page), paged);
    EXPECT_EQ(state()["fiscal"], fiscal);
    EXPECT_EQ(state()["document"], document);
    EXPECT_NE(state()["state_file_error"], nullptr);

    std::filesystem::remove(temporary);
    const Answer closed = run("korvant3_fremu_close_doc", handle, cash(1000000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    EXPECT_EQ(closed.data()["fd_number"], fiscal["fd_last_doc"].get<int64_t>() + 1);
    EXPECT_EQ(closed.data()["sales"]["check_total"], 1000000);
    EXPECT_NE(contentOf(page).find("[QR-КОД ЧЕКА:", paged.size()), std::string::npos);
    EXPECT_EQ(state()["state_file_error"], nullptr);
    reset(config_);
    const int32_t again = connect();
    EXPECT_EQ(simple("korvant3_get_fdstate", again).data()["fd_last_doc"],
              closed.data()["fd_number"]);
    std::filesystem::remove(tape);
    std::filesystem::remove(page);
}

} // namespace
} // namespace emutest
