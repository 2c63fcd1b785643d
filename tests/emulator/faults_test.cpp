// Faults injected through the control API.

#include "emulator_client.h"

namespace emutest {
namespace {

using FaultTest = EmulatorTest;

TEST_F(FaultTest, AResultRuleHitsTheNthCallCountedFromWhenItIsAdded) {
    const int32_t handle = open();
    simple("korvant3_get_info", handle);
    inject({{"function", "korvant3_get_info"}, {"call", 2}, {"result", -2}});
    EXPECT_EQ(simple("korvant3_get_info", handle).result, 0);
    const Answer faulty = simple("korvant3_get_info", handle);
    EXPECT_EQ(faulty.result, -2);
    EXPECT_TRUE(faulty.text.empty()) << "a result rule gives no answer";
    EXPECT_EQ(simple("korvant3_get_info", handle).result, 0);
}

TEST_F(FaultTest, CallZeroHitsEveryCallUntilTheFaultsAreCleared) {
    const int32_t handle = connect();
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 0}, {"result", -8}});
    EXPECT_EQ(start("korvant3_fremu_report_x", handle).result, -8);
    EXPECT_EQ(start("korvant3_fremu_report_x", handle).result, -8);
    EMU(korvant3emu_clear_faults)();
    EXPECT_EQ(start("korvant3_fremu_report_x", handle).result, 0);
}

TEST_F(FaultTest, OpenAndCloseTakeResultRules) {
    inject({{"function", "korvant3_open"}, {"call", 1}, {"result", 0}});
    const char* text = "untouched";
    EXPECT_EQ(EMU(korvant3_open)("x", 5000, &text), 0);
    EXPECT_EQ(text, nullptr);
    const int32_t handle = open();
    inject({{"function", "korvant3_close"}, {"call", 1}, {"result", -1}});
    EXPECT_EQ(EMU(korvant3_close)(handle), -1);
    EXPECT_EQ(EMU(korvant3_close)(handle), 0) << "the failed close left the connection open";
}

TEST_F(FaultTest, AnInjectedStartAnswerRefusesTheTaskWithoutDoingIt) {
    const int32_t handle = connect();
    inject({{"function", "korvant3_fremu_open_shift"},
            {"call", 1},
            {"response", 3},
            {"extended", 113}});
    const Answer refused = start("korvant3_fremu_open_shift", handle, {{"user_name", "A"}});
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.response(), 3);
    EXPECT_EQ(refused.extended(), 113);
    EXPECT_EQ(refused.task, 0u);
    EXPECT_EQ(state()["fd_shift_state"], 0);
}

TEST_F(FaultTest, InjectedCodesAtTheEndReachTheFinalPollAnswer) {
    const int32_t handle = openShift();
    const int64_t before = state()["fiscal"]["fd_last_doc"];
    inject({{"function", "korvant3_fremu_close_shift"},
            {"call", 1},
            {"response", 3},
            {"extended", 112},
            {"at", "end"}});
    const Answer started = start("korvant3_fremu_close_shift", handle, {{"user_name", "A"}});
    EXPECT_EQ(started.response(), 0);
    const Answer final = poll(handle, started.task);
    EXPECT_EQ(final.response(), 3);
    EXPECT_EQ(final.extended(), 112);
    EXPECT_EQ(state()["fiscal"]["fd_last_doc"], before) << "the failed task was not done";
    EXPECT_EQ(state()["fd_shift_state"], 1);
}

TEST_F(FaultTest, AnEndAnswerWithResponseZeroStillDoesTheWork) {
    const int32_t handle = connect();
    inject({{"function", "korvant3_fremu_open_shift"},
            {"call", 1},
            {"response", 0},
            {"extended", 5},
            {"at", "end"}});
    const Answer final = run("korvant3_fremu_open_shift", handle, {{"user_name", "A"}});
    EXPECT_EQ(final.response(), 0);
    EXPECT_EQ(final.extended(), 5);
    EXPECT_EQ(final.data()["fd_shift_state"], 1);
    EXPECT_EQ(state()["fd_shift_state"], 1);
}

TEST_F(FaultTest, PerformOverridesWhetherTheCallIsDone) {
    const int32_t handle = open();
    inject({{"function", "korvant3_fremu_enter"},
            {"call", 1},
            {"response", 3},
            {"extended", 101},
            {"perform", true}});
    EXPECT_EQ(simple("korvant3_fremu_enter", handle).extended(), 101);
    EXPECT_TRUE(state()["connections"][0]["fiscal_mode"].get<bool>());
}

TEST_F(FaultTest, ReadingCallsKeepTheirDataUnderInjectedCodes) {
    const int32_t handle = open();
    inject({{"function", "korvant3_get_state"}, {"call", 1}, {"response", 3}, {"extended", 7}});
    const Answer answer = simple("korvant3_get_state", handle);
    EXPECT_EQ(answer.response(), 3);
    EXPECT_EQ(answer.extended(), 7);
    EXPECT_EQ(answer.data()["dev_context"], 0x100);
}

TEST_F(FaultTest, ARawAnswerIsHandedBackAsItStands) {
    const int32_t handle = connect();
    const std::string malformed = R"({"response":0,"data":{"fd_number":"seven"})";
    inject({{"function", "korvant3_get_fdstate"}, {"call", 1}, {"answer", "not json at all"}});
    EXPECT_EQ(simple("korvant3_get_fdstate", handle).text, "not json at all");
    inject({{"function", "korvant3_fremu_report_state"},
            {"call", 1},
            {"answer", malformed},
            {"at", "end"}});
    const Answer final = run("korvant3_fremu_report_state", handle);
    EXPECT_EQ(final.text, malformed);
    const json calls = journal();
    EXPECT_EQ(calls[calls.size() - 3]["answer"], "not json at all") << "kept as raw text";
}

// An answer nested a million deep is handed back and journaled as the raw text
// it is: nothing on the way parses it into a structure that copying or
// printing would walk recursively (which would overflow the stack).
TEST_F(FaultTest, ADeeplyNestedAnswerIsKeptAsText) {
    const int32_t handle = connect();
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
    const std::string deepRequest = R"({"fd_tag":)" + deep + "}";
    inject({{"function", "korvant3_get_info"}, {"call", 1}, {"answer", deep}});
    inject({{"function", "korvant3_fremu_report_x"},
            {"call", 1},
            {"answer", deep},
            {"at", "end"},
            {"perform", true}});
    inject({{"function", "korvant3_fremu_query"}, {"call", 1}, {"response", 0}, {"perform", true}});
    EXPECT_EQ(simple("korvant3_get_info", handle).text, deep);
    const Answer started = start("korvant3_fremu_report_x", handle);
    const Answer final = poll(handle, started.task);
    EXPECT_EQ(final.response(), 0) << "the injected codes on an empty envelope";
    const char* answer = nullptr;
    EXPECT_EQ(EMU(korvant3_get_fdtag)(handle, 5000, deepRequest.c_str(), &answer), -8);
    const json calls = journal();
    EXPECT_EQ(calls[calls.size() - 4]["answer"], deep);
    EXPECT_EQ(calls.back()["request"], nullptr);
    EXPECT_EQ(calls.back()["request_text"], deepRequest);
}

TEST_F(FaultTest, BusyRulesSetTheBusyAnswersOfOneTask) {
    const int32_t handle = connect();
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 2}, {"busy_polls", 7}});
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 3}, {"busy_forever", true}});
    Answer final;
    EXPECT_EQ(busyPolls(handle, start("korvant3_fremu_report_x", handle).task, final), 0);
    EXPECT_EQ(busyPolls(handle, start("korvant3_fremu_report_x", handle).task, final), 7);
    const uint32_t stuck = start("korvant3_fremu_report_x", handle).task;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(poll(handle, stuck).extended(), 103);
    }
}

TEST_F(FaultTest, BusyPollsCombineWithAFailureAtTheEnd) {
    const int32_t handle = connect();
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"busy_polls", 2}});
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"response", 1}, {"at", "end"}});
    Answer final;
    EXPECT_EQ(busyPolls(handle, start("korvant3_fremu_report_x", handle).task, final), 2);
    EXPECT_EQ(final.response(), 1);
}

TEST_F(FaultTest, AFaultOnAPollLeavesTheTaskAsItWas) {
    const int32_t handle = connect();
    const Answer started = start("korvant3_fremu_report_x", handle);
    inject({{"function", "korvant3_fremu_query"}, {"call", 1}, {"result", -2}});
    inject({{"function", "korvant3_fremu_query"}, {"call", 2}, {"response", 3}, {"extended", 103}});
    EXPECT_EQ(poll(handle, started.task).result, -2);
    EXPECT_EQ(poll(handle, started.task).extended(), 103);
    EXPECT_EQ(poll(handle, started.task).response(), 0);
}

// A register still at work: the task takes effect only at the poll that ends it,
// and until then the register shows the document open and nothing made.
TEST_F(FaultTest, ATaskMayTakeEffectOnlyWhenItEnds) {
    const int32_t handle = openShift();
    ASSERT_EQ(run("korvant3_fremu_open_doc", handle,
                  {{"doc_kind", 0}, {"taxcode", 1}, {"user_name", "К"}})
                  .response(),
              0);
    ASSERT_EQ(run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 10000)).response(), 0);
    const int64_t before = state()["fiscal"]["fd_last_doc"];
    inject({{"function", "korvant3_fremu_close_doc"}, {"call", 1}, {"effect", "end"}});
    inject({{"function", "korvant3_fremu_close_doc"}, {"call", 1}, {"busy_polls", 2}});
    const Answer started = start("korvant3_fremu_close_doc", handle, cash(1000000));
    ASSERT_EQ(started.response(), 0);
    EXPECT_EQ(poll(handle, started.task).extended(), 103);
    EXPECT_EQ(simple("korvant3_get_state", handle).data()["dev_context"], 0x300);
    EXPECT_EQ(state()["fiscal"]["fd_last_doc"], before);
    EXPECT_EQ(poll(handle, started.task).extended(), 103);
    const Answer final = poll(handle, started.task);
    EXPECT_EQ(final.response(), 0);
    EXPECT_EQ(final.data()["fd_number"], before + 1);
    EXPECT_TRUE(state()["document"].is_null());
    // Refused at its end, it answers the refusal then.
    inject({{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"effect", "end"}});
    ASSERT_EQ(run("korvant3_fremu_open_doc", handle,
                  {{"doc_kind", 0}, {"taxcode", 1}, {"user_name", "К"}})
                  .response(),
              0);
    const Answer refused = run("korvant3_fremu_report_x", handle);
    EXPECT_EQ(refused.response(), 3);
    EXPECT_EQ(refused.extended(), 113);
}

TEST_F(FaultTest, RulesThatCannotApplyAreRefused) {
    EXPECT_EQ(EMU(korvant3emu_inject)("not json"), -1);
    EXPECT_EQ(EMU(korvant3emu_inject)(nullptr), -1);
    for (const json& rule : {
             json{{"function", "korvant3_nothing"}, {"call", 1}, {"result", -1}},
             json{{"function", "korvant3_get_info"}, {"result", -1}},
             json{{"function", "korvant3_get_info"}, {"call", -1}, {"result", -1}},
             json{{"function", "korvant3_get_info"}, {"call", 1}},
             json{{"function", "korvant3_get_info"}, {"call", 1}, {"result", -1}, {"response", 3}},
             json{{"function", "korvant3_get_info"}, {"call", 1}, {"result", 0}},
             json{{"function", "korvant3_get_info"}, {"call", 1}, {"busy_polls", 2}},
             json{{"function", "korvant3_get_info"}, {"call", 1}, {"response", 3}, {"at", "end"}},
             json{{"function", "korvant3_close"}, {"call", 1}, {"response", 3}},
             json{{"function", "korvant3_version"}, {"call", 1}, {"answer", "{}"}},
             json{{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"busy_polls", -1}},
             json{{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"busy_forever", false}},
             json{{"function", "korvant3_fremu_report_x"}, {"call", 1}, {"effect", "start"}},
             json{{"function", "korvant3_get_state"}, {"call", 1}, {"effect", "end"}},
             json{{"function", "korvant3_fremu_report_x"},
                  {"call", 1},
                  {"response", 3},
                  {"at", "middle"}},
             json{{"function", "korvant3_fremu_report_x"},
                  {"call", 1},
                  {"result", -1},
                  {"extended", 1}},
             json{{"function", "korvant3_fremu_report_x"},
                  {"call", 1},
                  {"result", -1},
                  {"colour", "red"}},
         }) {
        EXPECT_EQ(EMU(korvant3emu_inject)(rule.dump().c_str()), -2) << rule.dump();
    }
    EXPECT_EQ(state()["faults"], 0);
}

} // namespace
} // namespace emutest
