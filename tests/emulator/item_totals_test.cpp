// Receipt totals as a fiscal storage keeps them: an item's price × quantity
// rounded half up to the kopeck, less its discount; the receipt total the sum
// of its items; payments judged against that total.

#include "emulator_client.h"

#include <fstream>

namespace emutest {
namespace {

class ItemTotalTest : public EmulatorTest {
protected:
    void SetUp() override {
        tape_ = freshTempPath("tape");
        reset({{"clock", kClock}, {"tape", tape_.string()}});
        handle_ = openShift();
    }
    void TearDown() override { removeTape(tape_); }

    int64_t salesTotal() { return state()["fiscal"]["counters"]["sales"]["check_total"]; }

    bool tapeHas(const std::string& left, const std::string& right) const {
        std::ifstream in(tape_);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(left, 0) == 0 && line.size() >= right.size() &&
                line.compare(line.size() - right.size(), right.size(), right) == 0) {
                return true;
            }
        }
        return false;
    }

    std::filesystem::path tape_;
    int32_t handle_ = 0;
};

TEST_F(ItemTotalTest, ItemsRoundHalfUpToTheKopeckAndTheReceiptIsTheirSum) {
    struct Case {
        const char* what;
        std::vector<json> items;
        int64_t total;
    };
    const std::vector<Case> cases{
        {"0.61 kg at 172.51 is 105.2311", {item("Яблоки", 1725100, 6100)}, 1052300},
        {"0.5 at 0.01: half a kopeck rounds up", {item("Гвоздь", 100, 5000)}, 100},
        {"1.499 at 0.01: below half rounds down", {item("Гвоздь", 100, 14990)}, 100},
        {"1.234 kg at 89.99 is 111.04766, less 0.05",
         {item("Бананы", 899900, 12340, 500)},
         1110000},
        {"3 at 33.34 less 0.02", {item("Шоколад", 333400, 30000, 200)}, 1000000},
        {"the sum of the rounded items",
         {item("Яблоки", 1725100, 6100), item("Гвоздь", 100, 5000),
          item("Шоколад", 333400, 30000, 200)},
         2052400},
    };
    for (const auto& c : cases) {
        const int64_t before = salesTotal();
        // A card payment of exactly the total is the test: a total off by a
        // fraction of a kopeck would refuse it as too much or too little.
        const Answer closed = receipt(handle_, 0, c.items, {{"cash", 0}, {"credit", c.total}});
        ASSERT_EQ(closed.response(), 0) << c.what << ": " << closed.text;
        EXPECT_EQ(salesTotal() - before, c.total) << c.what;
    }
}

TEST_F(ItemTotalTest, NonCashAboveTheTotalIsRefusedCashAboveGivesChange) {
    run("korvant3_fremu_open_doc", handle_, {{"user_name", "A"}, {"doc_kind", 0}, {"taxcode", 1}});
    run("korvant3_fremu_add_item", handle_, item("Яблоки", 1725100, 6100));

    const Answer card =
        run("korvant3_fremu_close_doc", handle_, {{"cash", 0}, {"credit", 1052400}});
    EXPECT_EQ(card.response(), 3);
    EXPECT_EQ(card.extended(), 109) << card.text;

    const Answer paidInCash = run("korvant3_fremu_close_doc", handle_, cash(1100000));
    ASSERT_EQ(paidInCash.response(), 0) << paidInCash.text;
    EXPECT_EQ(paidInCash.data()["shift_cash"], 1052300);
    EXPECT_TRUE(tapeHas("   0.610 x 172.51", "=105.23"));
    EXPECT_TRUE(tapeHas("ИТОГ", "=105.23"));
    EXPECT_TRUE(tapeHas("СДАЧА", "=4.77"));
}

// The VAT printed and summed is the VAT the item was sent with; only an item
// sent without one gets the VAT its total includes, to the kopeck.
TEST_F(ItemTotalTest, VatIsTheSumSentElseTheOneTheTotalIncludes) {
    json sent = item("Кофе", 4990000, 10000, 0, 3);
    sent["tax_value"] = 899800; // 22/122 of 499.00, in the slot of the general rate
    const Answer closed = receipt(
        handle_, 0, {sent, item("Яблоки", 1725100, 6100, 0, 3), item("Хлеб", 520000, 10000, 0, 4)},
        cash(7000000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    EXPECT_TRUE(tapeHas("   НДС 20%", "89.98"));
    EXPECT_TRUE(tapeHas("   НДС 20%", "17.54"));   // 105.23 × 20/120 = 17.538…
    EXPECT_TRUE(tapeHas("   НДС 10/110", "4.73")); // 52.00 × 10/110 = 4.727…
    EXPECT_TRUE(tapeHas("СУММА НДС 20%", "107.52"));
    EXPECT_TRUE(tapeHas("СУММА НДС 10/110", "4.73"));
}

// The law raised the general rate to 22 % from 2026; the register's slots stay as they were and
// print the rate of the document's date.
TEST_F(ItemTotalTest, TheGeneralRateIsPrintedAsOfTheDocumentsDate) {
    struct Case {
        int64_t clock;
        const char* general;
        const char* inclusive;
        const char* vat; // of 122.00, included at the general rate
    };
    for (const Case& c : {Case{1780000000, "НДС 22%", "НДС 22/122", "22.00"},    // May 2026
                          Case{1767100000, "НДС 20%", "НДС 20/120", "20.33"}}) { // December 2025
        removeTape(tape_);
        reset({{"clock", c.clock}, {"tape", tape_.string()}});
        const int32_t handle = openShift();
        const Answer closed = receipt(
            handle, 0, {item("Кофе", 1220000, 10000, 0, 3), item("Хлеб", 1220000, 10000, 0, 5)},
            cash(2440000));
        ASSERT_EQ(closed.response(), 0) << closed.text;
        EXPECT_TRUE(tapeHas(std::string("   ") + c.general, c.vat)) << c.general;
        EXPECT_TRUE(tapeHas(std::string("   ") + c.inclusive, c.vat)) << c.inclusive;
        EXPECT_TRUE(tapeHas(std::string("СУММА ") + c.general, c.vat)) << c.general;
        EXPECT_TRUE(tapeHas(std::string("СУММА ") + c.inclusive, c.vat)) << c.inclusive;
    }
}

} // namespace
} // namespace emutest
