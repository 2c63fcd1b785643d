// The paper tape: what a receipt and a text document look like, laid out at
// the line width in characters.

#include "emulator_client.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace emutest {
namespace {

size_t characters(const std::string& line) {
    size_t count = 0;
    for (unsigned char c : line) {
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

class TapeTest : public EmulatorTest {
protected:
    void SetUp() override {
        tape_ = freshTempPath("tape");
        useWidth(48);
    }
    void TearDown() override { removeTape(tape_); }

    void useWidth(int width) {
        reset({{"clock", kClock}, {"tape", tape_.string()}, {"line_length", width}});
    }

    std::vector<std::string> lines() const {
        std::ifstream in(tape_);
        std::vector<std::string> read;
        for (std::string line; std::getline(in, line);) {
            read.push_back(line);
        }
        return read;
    }

    bool hasLine(const std::string& left, const std::string& right = {}) const {
        for (const auto& line : lines()) {
            if (line.rfind(left, 0) == 0 && line.size() >= right.size() &&
                line.compare(line.size() - right.size(), right.size(), right) == 0) {
                return true;
            }
        }
        return false;
    }

    std::filesystem::path tape_;
};

TEST_F(TapeTest, AReceiptIsPrintedWithItsPositionsTotalsAndFiscalAttributes) {
    const int32_t handle = openShift();
    run("korvant3_fremu_open_doc", handle,
        {{"user_name", "Cashier1"},
         {"doc_kind", 0},
         {"taxcode", 1},
         {"client_contact", "+79990000000"}});
    json tea = item("Чай", 1000000, 20000, 200000);
    tea["tax_value"] = 300000;
    tea["mark_stamp"] = "012345";
    run("korvant3_fremu_add_item", handle, tea);
    run("korvant3_fremu_set_agent", handle, {{"agent", 5}, {"provider_name", "ООО Поставщик"}});
    const Answer closed = run("korvant3_fremu_close_doc", handle, cash(2000000));
    ASSERT_EQ(closed.response(), 0) << closed.text;
    const json& data = closed.data();

    EXPECT_TRUE(hasLine(std::string(18, ' ') + "КАССОВЫЙ ЧЕК"));
    EXPECT_TRUE(hasLine(std::string(21, ' ') + "ПРИХОД"));
    EXPECT_TRUE(hasLine("СМЕНА 1", "ЧЕК 1"));
    EXPECT_TRUE(hasLine("КАССИР: Cashier1"));
    EXPECT_TRUE(hasLine("1. [М] Чай"));
    EXPECT_TRUE(hasLine("   2.000 x 100.00", "=200.00"));
    EXPECT_TRUE(hasLine("   СКИДКА", "-20.00"));
    EXPECT_TRUE(hasLine("   ПОЛНЫЙ РАСЧЕТ, ТОВАР"));
    EXPECT_TRUE(hasLine("   НДС 20%", "30.00"));
    EXPECT_TRUE(hasLine("   ПРИЗНАК АГЕНТА: ПОВЕРЕННЫЙ"));
    EXPECT_TRUE(hasLine("   ПОСТАВЩИК: ООО Поставщик"));
    EXPECT_TRUE(hasLine("ИТОГ", "=180.00"));
    EXPECT_TRUE(hasLine("НАЛИЧНЫМИ", "=200.00"));
    EXPECT_TRUE(hasLine("СДАЧА", "=20.00"));
    EXPECT_TRUE(hasLine("СНО: ОСН"));
    EXPECT_TRUE(hasLine("ТЕЛ./ЭЛ. АДР. ПОКУПАТЕЛЯ: +79990000000"));
    EXPECT_TRUE(hasLine("ФД: " + data["fd_number"].dump(), "ФП: " + data["fd_sign"].dump()));
    EXPECT_TRUE(hasLine("ФН: 9999000000000001", localTimeText(data["fd_date"], "%d.%m.%y %H:%M")));
    EXPECT_TRUE(hasLine("РН ККТ:", " 0000000001000001"));
    EXPECT_TRUE(hasLine("ЗН ККТ:", " 0000000000000001"));

    // Width is counted in characters: the total line fills the width exactly,
    // and in bytes it is longer.
    for (const auto& line : lines()) {
        EXPECT_LE(characters(line), 48u) << line;
        if (line.rfind("ИТОГ", 0) == 0) {
            EXPECT_EQ(characters(line), 48u);
            EXPECT_GT(line.size(), 48u);
        }
    }
}

// The buyer identified by a document: kept with the open document (and so in the
// state file), printed on the receipt, the tape and the page beside it.
TEST_F(TapeTest, TheBuyersIdentityIsKeptAndPrinted) {
    const int32_t handle = openShift();
    const json buyer{{"client_name", "Иванов И.И."}, {"client_inn", "500100732259"},
                     {"client_address", "г. Тверь"}, {"citizenship", 51},
                     {"client_ident_type", 21},      {"client_ident_data", "4510 123456"},
                     {"birth_date", -303955200}}; // 15.05.1960, 00:00 UTC
    json open{{"user_name", "Cashier1"}, {"doc_kind", 0}, {"taxcode", 1}};
    open.update(buyer);
    run("korvant3_fremu_open_doc", handle, open);
    const json document = state()["document"];
    for (const auto& [member, value] : buyer.items()) {
        EXPECT_EQ(document[member], value) << member;
    }
    run("korvant3_fremu_add_item", handle, item("Чай", 1000000, 10000));
    ASSERT_EQ(run("korvant3_fremu_close_doc", handle, cash(1000000)).response(), 0);

    const std::vector<std::string> printed{
        "ПОКУПАТЕЛЬ: Иванов И.И.",           "ИНН ПОКУПАТЕЛЯ: 500100732259",
        "ДАТА РОЖД. ПОКУПАТЕЛЯ: 15.05.1960", "ГРАЖДАНСТВО: 051",
        "КОД ВИДА ДОК. УД. ЛИЧН.: 21",       "ДАННЫЕ ДОК. УД. ЛИЧН.: 4510 123456",
        "АДРЕС ПОКУПАТЕЛЯ: г. Тверь"};
    std::filesystem::path page = tape_;
    const std::string pageText = contentOf(page.replace_extension(".html"));
    for (const auto& line : printed) {
        EXPECT_TRUE(hasLine(line)) << line;
        EXPECT_NE(pageText.find(line), std::string::npos) << line;
    }

    // A receipt without them prints none of them.
    receipt(handle, 0, {item("Чай", 1000000, 10000)}, cash(1000000));
    const auto all = lines();
    EXPECT_EQ(std::count(all.begin(), all.end(), "ГРАЖДАНСТВО: 051"), 1);
}

TEST_F(TapeTest, TheLineWidthComesFromTheConfigurationAndLongTextsWrap) {
    useWidth(32);
    const int32_t handle = openShift();
    const std::string name = "Очень длинное наименование товара, которое не помещается";
    receipt(handle, 0, {item(name, 100000, 10000)}, cash(100000));
    bool ruled = false;
    for (const auto& line : lines()) {
        EXPECT_LE(characters(line), 32u) << line;
        ruled = ruled || line == std::string(32, '-');
    }
    EXPECT_TRUE(ruled);
    EXPECT_TRUE(hasLine("1. Очень длинное наименование"));
    EXPECT_TRUE(hasLine("товара, которое не помещается"));
}

TEST_F(TapeTest, TextDocumentsShowBarcodesAsLabelledLines) {
    const int32_t handle = connect();
    run("korvant3_fremu_print", handle, {{"text_type", 1}, {"text", "Первая строка\nВторая"}});
    run("korvant3_fremu_print", handle, {{"text_type", 3}, {"text", "4601234567890"}});
    run("korvant3_fremu_print", handle, {{"text_type", 5}, {"text", "https://example.com"}});
    EXPECT_TRUE(hasLine("Первая строка"));
    EXPECT_TRUE(hasLine("Вторая"));
    EXPECT_TRUE(hasLine("[ШТРИХКОД EAN-13: 4601234567890]"));
    EXPECT_TRUE(hasLine("[QR-КОД: https://example.com]"));
}

// A slip's columns and a heading centred with spaces keep their shape; only a
// line longer than the width is broken, at a run of spaces.
TEST_F(TapeTest, TextLinesKeepTheirSpacesAndOnlyTheWidthBreaksThem) {
    useWidth(24);
    const int32_t handle = connect();
    const std::vector<std::string> sent{"       ЗАГОЛОВОК", "Чай        2 x 50.00", "  a  b   ",
                                        "слово      слово      слово"};
    std::string text;
    for (const auto& line : sent) {
        text += (text.empty() ? "" : "\n") + line;
    }
    ASSERT_EQ(run("korvant3_fremu_print", handle, {{"text_type", 1}, {"text", text}}).response(),
              0);
    const std::vector<std::string> printed = lines();
    const std::vector<std::string> expected{sent[0], sent[1], sent[2], "слово      слово", "слово"};
    ASSERT_GE(printed.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(printed.begin(), printed.begin() + 5), expected);
}

TEST_F(TapeTest, ReportsAndCashDocumentsArePrinted) {
    const int32_t handle = openShift();
    run("korvant3_fremu_open_doc", handle, {{"user_name", "A"}, {"doc_kind", 2}});
    const Answer cashIn = run("korvant3_fremu_close_doc", handle, {{"cash", 5000000}});
    // A cash document is not a fiscal one: the fiscal numbering stays where the shift's
    // opening left it, and the paper shows the document's own number and no fiscal sign.
    EXPECT_EQ(cashIn.data()["fd_number"], 2);
    const std::vector<std::string> printed = lines();
    const auto heading =
        std::find(printed.begin(), printed.end(), std::string(13, ' ') + "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ");
    ASSERT_NE(heading, printed.end());
    const auto cut = std::find(heading, printed.end(), std::string(48, '='));
    EXPECT_TRUE(std::none_of(heading, cut, [](const std::string& line) {
        return line.find("ФП:") != std::string::npos || line.find("ФД:") != std::string::npos;
    }));
    EXPECT_TRUE(hasLine("СМЕНА 1", "ДОКУМЕНТ 1"));
    run("korvant3_fremu_report_x", handle);
    run("korvant3_fremu_report_state", handle);
    run("korvant3_fremu_close_shift", handle, {{"user_name", "A"}});
    for (const char* title : {"ОТЧЕТ ОБ ОТКРЫТИИ СМЕНЫ", "ВНЕСЕНИЕ", "ОТЧЕТ БЕЗ ГАШЕНИЯ",
                              "ОТЧЕТ О ТЕКУЩЕМ СОСТОЯНИИ РАСЧЕТОВ", "ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ"}) {
        bool found = false;
        for (const auto& line : lines()) {
            found = found || line.find(title) != std::string::npos;
        }
        EXPECT_TRUE(found) << title;
    }
    EXPECT_TRUE(hasLine("НАЛИЧНЫХ В КАССЕ", "=500.00"));
    EXPECT_TRUE(hasLine("ВНЕСЕНИЙ (1)", "=500.00"));
    EXPECT_TRUE(hasLine("ВЫПЛАТ (0)", "=0.00"));
}

} // namespace
} // namespace emutest
