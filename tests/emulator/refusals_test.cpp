// The register's refusals, each with the answer codes a client maps, and the
// bad requests that a task function turns away with -8.

#include "emulator_client.h"

#include <cctype>
#include <functional>

namespace emutest {
namespace {

using RefusalTest = EmulatorTest;

struct Refusal {
    const char* what;
    // Brings the register to the state where the refused call comes; returns
    // the refused call's final answer.
    std::function<Answer(EmulatorTest&, int32_t)> refusedCall;
    int32_t extended;
};

class RefusalTable : public EmulatorTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTable, IsAnsweredR3WithItsCodeAndChangesNothing) {
    reset({{"clock", kClock}, {"cash", 100}});
    const int32_t handle = openShift();
    const Answer refused = GetParam().refusedCall(*this, handle);
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.response(), 3) << refused.text;
    EXPECT_EQ(refused.extended(), GetParam().extended) << refused.text;
    // The refusal's answer still tells the state, and why.
    EXPECT_TRUE(refused.data().contains("fd_number"));
    EXPECT_TRUE(refused.data().contains("message"));
    EXPECT_EQ(refused.data()["shift_cash"], 1000000);
}

Answer openSale(EmulatorTest& t, int32_t handle, const json& position) {
    t.run("korvant3_fremu_open_doc", handle, kSaleOpen);
    return t.run("korvant3_fremu_add_item", handle, position);
}

json withCode(json position, const char* member, int64_t code) {
    position[member] = code;
    return position;
}

Answer saleClosedWith(EmulatorTest& t, int32_t handle, const json& payments) {
    openSale(t, handle, item("Чай", 1000000, 10000));
    return t.run("korvant3_fremu_close_doc", handle, payments);
}

Answer cashOut(EmulatorTest& t, int32_t handle, int64_t amount) {
    t.run("korvant3_fremu_open_doc", handle, {{"user_name", "A"}, {"doc_kind", 3}});
    return t.run("korvant3_fremu_close_doc", handle, {{"cash", amount}});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalTable,
    ::testing::Values(
        Refusal{"opening an open shift",
                [](EmulatorTest& t, int32_t h) {
                    return t.run("korvant3_fremu_open_shift", h, {{"user_name", "A"}});
                },
                107},
        Refusal{"closing a closed shift",
                [](EmulatorTest& t, int32_t h) {
                    t.run("korvant3_fremu_close_shift", h, {{"user_name", "A"}});
                    return t.run("korvant3_fremu_close_shift", h, {{"user_name", "A"}});
                },
                114},
        Refusal{"a document while the shift is closed",
                [](EmulatorTest& t, int32_t h) {
                    t.run("korvant3_fremu_close_shift", h, {{"user_name", "A"}});
                    return t.run("korvant3_fremu_open_doc", h, kSaleOpen);
                },
                113},
        Refusal{"a second open document",
                [](EmulatorTest& t, int32_t h) {
                    t.run("korvant3_fremu_open_doc", h, kSaleOpen);
                    return t.run("korvant3_fremu_open_doc", h, kSaleOpen);
                },
                113},
        Refusal{"an item outside a document",
                [](EmulatorTest& t, int32_t h) {
                    return t.run("korvant3_fremu_add_item", h, item("Чай", 100, 10000));
                },
                113},
        Refusal{"a document in a shift older than 24 hours",
                [](EmulatorTest& t, int32_t h) {
                    EMU(korvant3emu_advance_clock)(24 * 60 * 60);
                    return t.run("korvant3_fremu_open_doc", h, kSaleOpen);
                },
                108},
        Refusal{"tax_id 0",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, item("Чай", 100, 10000, 0, 0));
                },
                106},
        Refusal{"tax_id 7",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, item("Чай", 100, 10000, 0, 7));
                },
                106},
        Refusal{"payment method 8",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, withCode(item("Чай", 100, 10000), "payment_method", 8));
                },
                106},
        Refusal{"calculation subject 28",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, withCode(item("Чай", 100, 10000), "item_attr", 28));
                },
                106},
        Refusal{"a negative calculation subject",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, withCode(item("Чай", 100, 10000), "item_attr", -1));
                },
                106},
        Refusal{"measure 13",
                [](EmulatorTest& t, int32_t h) {
                    return openSale(t, h, withCode(item("Чай", 100, 10000), "unit_id", 13));
                },
                106},
        Refusal{"agent 8",
                [](EmulatorTest& t, int32_t h) {
                    openSale(t, h, item("Чай", 100, 10000));
                    return t.run("korvant3_fremu_set_agent", h, {{"agent", 8}});
                },
                106},
        Refusal{"quantity 0",
                [](EmulatorTest& t, int32_t h) { return openSale(t, h, item("Чай", 100, 0)); },
                106},
        Refusal{"a negative quantity",
                [](EmulatorTest& t, int32_t h) { return openSale(t, h, item("Чай", 100, -10000)); },
                106},
        Refusal{
            "a discount above the item's sum",
            [](EmulatorTest& t, int32_t h) { return openSale(t, h, item("Чай", 100, 10000, 200)); },
            106},
        Refusal{"payments below the receipt total",
                [](EmulatorTest& t, int32_t h) { return saleClosedWith(t, h, cash(999900)); }, 112},
        Refusal{"non-cash payments above the total",
                [](EmulatorTest& t, int32_t h) {
                    return saleClosedWith(t, h, {{"cash", 0}, {"credit", 1000100}});
                },
                109},
        Refusal{"a receipt without items",
                [](EmulatorTest& t, int32_t h) {
                    t.run("korvant3_fremu_open_doc", h, kSaleOpen);
                    return t.run("korvant3_fremu_close_doc", h, cash(0));
                },
                113},
        Refusal{"cash out above the drawer",
                [](EmulatorTest& t, int32_t h) { return cashOut(t, h, 1000100); }, 112},
        Refusal{"a return paid from an empty-enough drawer",
                [](EmulatorTest& t, int32_t h) {
                    t.run("korvant3_fremu_open_doc", h,
                          {{"user_name", "A"}, {"doc_kind", 1}, {"taxcode", 1}});
                    t.run("korvant3_fremu_add_item", h, item("Чай", 2000000, 10000));
                    return t.run("korvant3_fremu_close_doc", h, cash(2000000));
                },
                112},
        Refusal{"a taxation system the registration lacks",
                [](EmulatorTest& t, int32_t h) {
                    return t.run("korvant3_fremu_open_doc", h,
                                 {{"user_name", "A"}, {"doc_kind", 0}, {"taxcode", 64}});
                },
                106},
        Refusal{"a buyer's date of birth beyond 32-bit seconds",
                [](EmulatorTest& t, int32_t h) {
                    json open = kSaleOpen;
                    open["birth_date"] = int64_t{1} << 31;
                    return t.run("korvant3_fremu_open_doc", h, open);
                },
                106}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

// The edges of the codes the register knows, and a position that leaves them out.
TEST_F(RefusalTest, EveryCodeTheRegisterKnowsIsAccepted) {
    const int32_t handle = openShift();
    run("korvant3_fremu_open_doc", handle, kSaleOpen);
    json bare = item("Чай", 100, 10000);
    bare.erase("payment_method");
    bare.erase("item_attr");
    EXPECT_EQ(run("korvant3_fremu_add_item", handle, bare).response(), 0);
    for (const auto& [member, codes] :
         std::vector<std::pair<const char*, std::vector<int64_t>>>{{"payment_method", {1, 7}},
                                                                   {"item_attr", {19, 27, 30, 33}},
                                                                   {"unit_id", {0, 42, 83, 255}}}) {
        for (int64_t code : codes) {
            const Answer added = run("korvant3_fremu_add_item", handle,
                                     withCode(item("Чай", 100, 10000), member, code));
            EXPECT_EQ(added.response(), 0) << member << " " << code << ": " << added.text;
        }
    }
}

TEST_F(RefusalTest, RefusalsCanBeReportedInTheStartAnswer) {
    reset({{"clock", kClock}, {"refusals", "start"}});
    const int32_t handle = openShift();
    const Answer refused = start("korvant3_fremu_open_shift", handle, {{"user_name", "A"}});
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.task, 0u);
    EXPECT_EQ(refused.response(), 3);
    EXPECT_EQ(refused.extended(), 107);
}

TEST_F(RefusalTest, ARefusedDocumentLeavesNumbersAndTheOpenDocumentAlone) {
    const int32_t handle = openShift();
    const int64_t before = state()["fiscal"]["fd_last_doc"];
    run("korvant3_fremu_open_doc", handle, kSaleOpen);
    run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 10000));
    EXPECT_EQ(run("korvant3_fremu_close_doc", handle, cash(10)).extended(), 112);
    EXPECT_EQ(state()["fiscal"]["fd_last_doc"], before);
    // The receipt is still open and can be paid properly.
    EXPECT_EQ(run("korvant3_fremu_close_doc", handle, cash(1000000)).response(), 0);
    EXPECT_EQ(state()["fiscal"]["fd_last_doc"], before + 1);
}

TEST_F(RefusalTest, BadRequestsGetMinusEightAtTheStart) {
    const int32_t handle = openShift();
    struct Bad {
        const char* function;
        const char* request;
    };
    for (const Bad& bad : {
             Bad{"korvant3_fremu_open_doc", "not json"},
             Bad{"korvant3_fremu_open_doc", "[1,2]"},
             Bad{"korvant3_fremu_open_doc", R"({"user_name":"A","taxcode":1})"},
             Bad{"korvant3_fremu_open_doc", R"({"user_name":"A","doc_kind":"0","taxcode":1})"},
             Bad{"korvant3_fremu_open_doc", R"({"user_name":"A","doc_kind":0})"},
             Bad{"korvant3_fremu_open_doc",
                 R"({"user_name":"A","doc_kind":7,"taxcode":1,"correction_kind":0})"},
             Bad{"korvant3_fremu_open_shift", "null"},
             Bad{"korvant3_fremu_open_shift", nullptr},
             Bad{"korvant3_fremu_open_doc",
                 R"({"user_name":"A","doc_kind":0,"taxcode":1,"citizenship":"643"})"},
             Bad{"korvant3_fremu_add_item", R"({"name":"x","price":1,"quant":1.5,"tax_id":1})"},
             Bad{"korvant3_fremu_add_item", R"({"price":1,"quant":1,"tax_id":1})"},
             Bad{"korvant3_fremu_close_doc", R"({"credit":100})"},
             Bad{"korvant3_fremu_print", R"({"text":"x"})"},
             Bad{"korvant3_fremu_registration", R"({"company_name":"x"})"},
             Bad{"korvant3_fremu_set_agent", R"({"provider_name":"x"})"},
             Bad{"korvant3_fremu_print_doc", "{}"},
         }) {
        const Answer answer = startText(bad.function, handle, bad.request);
        EXPECT_EQ(answer.result, -8) << bad.function << " " << (bad.request ? bad.request : "NULL");
        EXPECT_EQ(answer.task, 0u);
    }
    // close_archive needs nothing: a request to which nothing was added will do.
    EXPECT_EQ(startText("korvant3_fremu_close_archive", handle, "null").result, 0);
}

} // namespace
} // namespace emutest
