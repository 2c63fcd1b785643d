// A whole shift: every kind of document, with the counters, the drawer and the
// document numbers after each; registration and closing of the archive.

#include "emulator_client.h"

#include <functional>
#include <set>

namespace emutest {
namespace {

using ShiftTest = EmulatorTest;

const char* const kCounterNames[] = {
    "sales", "buys", "sales_return", "buys_return", "sales_correction", "buys_correction"};

json counters(const json& data) {
    json picked = json::object();
    for (const char* name : kCounterNames) {
        picked[name] = {data[name]["check_count"], data[name]["check_total"]};
    }
    return picked;
}

json zeroCounters() {
    json zero = json::object();
    for (const char* name : kCounterNames) {
        zero[name] = {0, 0};
    }
    return zero;
}

TEST_F(ShiftTest, AWholeShiftKeepsCountersCashAndNumbers) {
    const int32_t handle = connect();
    json expected = zeroCounters();
    int64_t drawer = 0;
    int64_t number = 1; // the registration report
    std::set<int64_t> signs;

    struct Step {
        const char* what;
        std::function<Answer()> perform;
        const char* counter; // changed counter, or nullptr
        int64_t total;
        int64_t drawerChange;
        bool fiscal;
    };
    const std::vector<Step> steps = {
        {"open shift",
         [&] {
             return run("korvant3_fremu_open_shift", handle, {{"user_name", "Иванов"}});
         },
         nullptr, 0, 0, true},
        {"cash in",
         [&] {
             run("korvant3_fremu_open_doc", handle, {{"user_name", "Иванов"}, {"doc_kind", 2}});
             return run("korvant3_fremu_close_doc", handle, {{"cash", 10000000}});
         },
         nullptr, 0, 10000000, false},
        {"sale with change",
         [&] { return receipt(handle, 0, {item("Чай", 1000000, 20000, 200000)}, cash(2000000)); },
         "sales", 1800000, 1800000, true},
        {"sale return",
         [&] { return receipt(handle, 1, {item("Чай", 500000, 10000)}, cash(500000)); },
         "sales_return", 500000, -500000, true},
        {"purchase paid electronically",
         [&] {
             return receipt(handle, 5, {item("Лом", 100000, 30000)},
                            {{"cash", 0}, {"credit", 300000}});
         },
         "buys", 300000, 0, true},
        {"purchase return",
         [&] { return receipt(handle, 6, {item("Лом", 300000, 10000)}, cash(300000)); },
         "buys_return", 300000, 300000, true},
        {"sale correction",
         [&] { return receipt(handle, 7, {item("Услуга", 100000, 10000)}, cash(100000)); },
         "sales_correction", 100000, 100000, true},
        {"purchase correction with sums only", [&] { return receipt(handle, 8, {}, cash(50000)); },
         "buys_correction", 50000, -50000, true},
        {"cash out",
         [&] {
             run("korvant3_fremu_open_doc", handle, {{"user_name", "Иванов"}, {"doc_kind", 3}});
             return run("korvant3_fremu_close_doc", handle, {{"cash", 10000000}});
         },
         nullptr, 0, -10000000, false},
        {"settlement report", [&] { return run("korvant3_fremu_report_state", handle); }, nullptr,
         0, 0, true},
        {"X report", [&] { return run("korvant3_fremu_report_x", handle); }, nullptr, 0, 0, false},
        {"close shift",
         [&] {
             return run("korvant3_fremu_close_shift", handle, {{"user_name", "Иванов"}});
         },
         nullptr, 0, 0, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const Answer final = step.perform();
        ASSERT_EQ(final.result, 0);
        ASSERT_EQ(final.response(), 0) << final.text;
        if (step.counter != nullptr) {
            expected[step.counter][0] = expected[step.counter][0].get<int64_t>() + 1;
            expected[step.counter][1] = expected[step.counter][1].get<int64_t>() + step.total;
        }
        drawer += step.drawerChange;
        number += step.fiscal ? 1 : 0;
        const json& data = final.data();
        EXPECT_EQ(counters(data), expected);
        EXPECT_EQ(data["shift_cash"], drawer);
        EXPECT_EQ(data["fd_number"], number);
        // A fixed clock moves one second per fiscal document.
        EXPECT_EQ(data["fd_date"], kClock + number - 2);
        EXPECT_EQ(data["shift_id"], 1);
        for (const char* flag : {"fd_error", "fd_fail", "fd_overflow", "fd_waiting"}) {
            EXPECT_EQ(data[flag], 0) << flag;
        }
        if (step.fiscal) {
            EXPECT_TRUE(signs.insert(data["fd_sign"].get<int64_t>()).second) << "repeated sign";
        }
    }
    const Answer fdstate = simple("korvant3_get_fdstate", handle);
    EXPECT_EQ(fdstate.data()["fd_shift_state"], 0);
    EXPECT_EQ(fdstate.data()["fd_last_doc"], number);
    EXPECT_EQ(fdstate.data()["shift_doc_number"], 6);
    EXPECT_EQ(simple("korvant3_fremu_get_money", handle).data()["shift_cash"], drawer);
    // Cash documents are counted apart from the fiscal ones.
    const json fiscal = state()["fiscal"];
    EXPECT_EQ(fiscal["cash_documents"], 2);
    EXPECT_EQ(fiscal["cash_in"], (json{{"check_count", 1}, {"check_total", 10000000}}));
    EXPECT_EQ(fiscal["cash_out"], (json{{"check_count", 1}, {"check_total", 10000000}}));

    // The next shift starts its counters afresh; the drawer stays.
    const Answer next = run("korvant3_fremu_open_shift", handle, {{"user_name", "Петров"}});
    EXPECT_EQ(next.data()["shift_id"], 2);
    EXPECT_EQ(counters(next.data()), zeroCounters());
    EXPECT_EQ(next.data()["shift_cash"], drawer);
}

// The machine's clock ran two days ahead while a report was made, then was corrected: the last
// document is dated ahead of the clock. The shift, opened an hour before by the clock, is open,
// not expired; a fiscal document, which would be dated before the last one, is refused with its
// own code until the clock reaches the last date again; a new shift is dated by the clock.
TEST_F(ShiftTest, AClockSetBackRefusesFiscalDocumentsButDoesNotAgeTheShift) {
    constexpr int64_t kDay = 24 * 60 * 60;
    const int32_t handle = openShift();
    EMU(korvant3emu_advance_clock)(2 * kDay);
    const Answer ahead = run("korvant3_fremu_report_state", handle);
    ASSERT_EQ(ahead.response(), 0) << ahead.text;
    EMU(korvant3emu_advance_clock)(-2 * kDay + 3600);

    const Answer fdstate = simple("korvant3_get_fdstate", handle);
    EXPECT_EQ(fdstate.data()["fd_shift_state"], 1);
    EXPECT_EQ(simple("korvant3_get_state", handle).data()["date_time"], kClock + 3600);
    for (const auto& [what, refused] : std::vector<std::pair<const char*, Answer>>{
             {"receipt", run("korvant3_fremu_open_doc", handle,
                             {{"user_name", "A"}, {"doc_kind", 0}, {"taxcode", 1}})},
             {"settlement report", run("korvant3_fremu_report_state", handle)},
             {"shift closing", run("korvant3_fremu_close_shift", handle, {{"user_name", "A"}})}}) {
        EXPECT_EQ(refused.response(), 3) << what;
        EXPECT_EQ(refused.extended(), 116) << what << ": " << refused.text;
        EXPECT_EQ(refused.data()["fd_shift_state"], 1) << what;
    }
    // What is not a fiscal document goes on.
    EXPECT_EQ(run("korvant3_fremu_report_x", handle).response(), 0);
    run("korvant3_fremu_open_doc", handle, {{"user_name", "A"}, {"doc_kind", 2}});
    EXPECT_EQ(run("korvant3_fremu_close_doc", handle, cash(100000)).response(), 0);

    // Once the clock reads the last date again, the shift is closed and the next one opened
    // at the clock's time.
    EMU(korvant3emu_advance_clock)(2 * kDay);
    EXPECT_EQ(run("korvant3_fremu_close_shift", handle, {{"user_name", "A"}}).response(), 0);
    const Answer next = run("korvant3_fremu_open_shift", handle, {{"user_name", "A"}});
    ASSERT_EQ(next.response(), 0) << next.text;
    EXPECT_EQ(next.data()["fd_date"], simple("korvant3_get_state", handle).data()["date_time"]);
    EXPECT_EQ(next.data()["fd_shift_state"], 1);
}

TEST_F(ShiftTest, AnOfflineRegisterKeepsItsDocumentsInTheBacklog) {
    reset({{"clock", kClock}, {"registration", {{"fd_mode", 2}}}});
    const int32_t handle = openShift();
    const Answer sale = receipt(handle, 0, {item("Чай", 100000, 10000)}, cash(100000));
    EXPECT_EQ(sale.data()["fd_waiting"], 2);
    EXPECT_EQ(sale.data()["fd_waiting_document"], 2);
    EXPECT_EQ(sale.data()["fd_waiting_date"], kClock);
}

TEST_F(ShiftTest, RegistrationChangeAndClosingOfTheArchive) {
    reset({{"clock", kClock}, {"registered", false}});
    const int32_t handle = connect();
    EXPECT_EQ(simple("korvant3_get_state", handle).data()["dev_context"], 0);
    EXPECT_EQ(run("korvant3_fremu_open_shift", handle, {{"user_name", "A"}}).extended(), 111);

    json registration = {{"company_name", "ИП Сидоров"},
                         {"company_inn", "500100732259"},
                         {"regnum", "0000000002000002"},
                         {"sale_address", "г. Тула"},
                         {"taxcode", 2},
                         {"agents", 0},
                         {"fd_mode", 0},
                         {"fd_ext_mode", 0},
                         {"fd_serial", "9999000000000001"}};
    const Answer first = run("korvant3_fremu_registration", handle, registration);
    ASSERT_EQ(first.response(), 0) << first.text;
    EXPECT_EQ(first.data()["fd_number"], 1);
    const Answer registered = simple("korvant3_get_state", handle);
    EXPECT_EQ(registered.data()["dev_context"], 0x100);
    EXPECT_EQ(registered.data()["company_name"], "ИП Сидоров");
    EXPECT_EQ(registered.data()["taxcode"], 2);
    EXPECT_EQ(run("korvant3_fremu_registration", handle, registration).extended(), 113);

    const Answer change = run("korvant3_fremu_registration", handle,
                              {{"company_name", "ИП Сидоров А.А."},
                               {"reg_reason", 4},
                               {"taxcode", 3},
                               {"agents", 0},
                               {"fd_mode", 0},
                               {"fd_ext_mode", 0}});
    ASSERT_EQ(change.response(), 0) << change.text;
    const Answer fdstate = simple("korvant3_get_fdstate", handle);
    EXPECT_EQ(fdstate.data()["fd_reg_count"], 2);
    EXPECT_EQ(fdstate.data()["fd_reg_document"], 2);
    EXPECT_EQ(fdstate.data()["fd_reg_date"], kClock + 1);
    const Answer changed = simple("korvant3_get_state", handle);
    EXPECT_EQ(changed.data()["company_name"], "ИП Сидоров А.А.");
    EXPECT_EQ(changed.data()["sale_address"], "г. Тула");

    EXPECT_EQ(run("korvant3_fremu_close_archive", handle, {{"user_name", "A"}}).response(), 0);
    EXPECT_EQ(simple("korvant3_get_state", handle).data()["dev_context"], 0);
    EXPECT_EQ(simple("korvant3_get_fdstate", handle).data()["fd_phase"], 7);
    EXPECT_EQ(run("korvant3_fremu_open_shift", handle, {{"user_name", "A"}}).extended(), 110);
}

TEST_F(ShiftTest, AgentDataGoesToTheLastItemAndTextsAndBarcodesToTheDocument) {
    const int32_t handle = openShift();
    run("korvant3_fremu_open_doc", handle, {{"user_name", "A"}, {"doc_kind", 0}, {"taxcode", 1}});
    EXPECT_EQ(run("korvant3_fremu_set_agent", handle, {{"agent", 2}}).extended(), 113);
    run("korvant3_fremu_add_item", handle, item("Чай", 100000, 10000));
    run("korvant3_fremu_add_text", handle, {{"text_type", 3}, {"text", "4601234567890"}});
    EXPECT_EQ(
        run("korvant3_fremu_set_agent", handle, {{"agent", 2}, {"provider_name", "ООО Поставщик"}})
            .response(),
        0);
    const json document = state()["document"];
    EXPECT_EQ(document["positions"][0]["agent"]["agent"], 2);
    EXPECT_EQ(document["positions"][0]["agent"]["provider_name"], "ООО Поставщик");
    EXPECT_EQ(document["positions"][1]["text"], "4601234567890");
    EXPECT_EQ(run("korvant3_fremu_cancel_doc", handle).response(), 0);
    EXPECT_TRUE(state()["document"].is_null());
}

} // namespace
} // namespace emutest
