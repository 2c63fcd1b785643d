// The check code every receipt carries, and the page kept beside the paper tape: each document
// as a receipt with its codes drawn, appended like the tape and kept across restarts. (Reading
// the drawn codes back is the page test's, which renders the page in a browser.)

#include "emulator_client.h"

#include <filesystem>
#include <regex>

namespace emutest {
namespace {

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The check codes on the tape, in the order printed. The caption and the code are wrapped
// over lines at the paper's width.
std::vector<std::string> checkCodes(const std::string& tape) {
    std::string joined;
    for (char c : tape) {
        if (c != '\n') {
            joined += c;
        }
    }
    static const std::regex caption(R"(\[QR-КОД ЧЕКА: ?([^\]]+)\])");
    std::vector<std::string> codes;
    for (std::sregex_iterator it(joined.begin(), joined.end(), caption), end; it != end; ++it) {
        codes.push_back((*it)[1]);
    }
    return codes;
}

class PageTest : public EmulatorTest {
protected:
    void SetUp() override {
        tape_ = freshTempPath("tape");
        tape_ += ".txt";
        page_ = tape_;
        page_.replace_extension(".html");
        std::filesystem::remove(page_);
        config_ = {{"clock", kClock}, {"tape", tape_.string()}, {"cash", 10000}};
        reset(config_);
    }
    void TearDown() override { removeTape(tape_); }

    std::string tape() const { return contentOf(tape_); }
    std::string page() const { return contentOf(page_); }

    std::filesystem::path tape_;
    std::filesystem::path page_;
    json config_;
};

TEST_F(PageTest, EveryReceiptCarriesItsCheckCodeWithTheKindOfSettlement) {
    struct Case {
        const char* what;
        int docKind;
        std::vector<json> items;
        int64_t paid;
        const char* total;
        int kind;
    };
    const std::vector<Case> cases{
        {"sale", 0, {item("Чай", 1234500, 20000)}, 2500000, "246.90", 1},
        {"sale return", 1, {item("Чай", 1234500, 10000)}, 1234500, "123.45", 2},
        {"purchase", 5, {item("Лом", 100000, 30000)}, 300000, "30.00", 3},
        {"purchase return", 6, {item("Лом", 100000, 10000)}, 100000, "10.00", 4},
        {"sale correction", 7, {item("Услуга", 1000000, 10000)}, 1000000, "100.00", 1},
        {"purchase correction with sums only", 8, {}, 55500, "5.55", 3},
    };
    const int32_t handle = openShift();
    for (const auto& c : cases) {
        const Answer closed = receipt(handle, c.docKind, c.items, cash(c.paid));
        ASSERT_EQ(closed.response(), 0) << c.what << ": " << closed.text;
        const json& data = closed.data();
        const std::string code = "t=" + localTimeText(data["fd_date"], "%Y%m%dT%H%M") +
                                 "&s=" + c.total +
                                 "&fn=9999000000000001&i=" + data["fd_number"].dump() +
                                 "&fp=" + data["fd_sign"].dump() + "&n=" + std::to_string(c.kind);
        const auto codes = checkCodes(tape());
        ASSERT_FALSE(codes.empty()) << c.what;
        EXPECT_EQ(codes.back(), code) << c.what;
    }
    // Cash documents and reports are no receipts: the six receipts have the only codes.
    run("korvant3_fremu_open_doc", handle, {{"user_name", "A"}, {"doc_kind", 2}});
    run("korvant3_fremu_close_doc", handle, {{"cash", 5000000}});
    run("korvant3_fremu_report_x", handle);
    run("korvant3_fremu_close_shift", handle, {{"user_name", "A"}});
    EXPECT_EQ(checkCodes(tape()).size(), cases.size());
    EXPECT_EQ(occurrences(page(), "[QR-КОД ЧЕКА:"), cases.size());
}

TEST_F(PageTest, ACopyOfAReceiptCarriesTheSameCheckCode) {
    const int32_t handle = openShift();
    const Answer sale = receipt(handle, 0, {item("Чай", 1000000, 10000)}, cash(1000000));
    ASSERT_EQ(sale.response(), 0);
    const Answer copy =
        run("korvant3_fremu_print_doc", handle, {{"fd_number", sale.data()["fd_number"]}});
    ASSERT_EQ(copy.response(), 0) << copy.text;
    const auto found = checkCodes(tape());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], found[1]);
    EXPECT_EQ(occurrences(page(), "<svg"), 2u);
}

TEST_F(PageTest, ThePageBeginsOnceAndGoesOnAcrossRestarts) {
    const int32_t handle = connect();
    run("korvant3_fremu_print", handle, {{"text_type", 1}, {"text", "Первый запуск"}});
    reset(config_);
    const int32_t again = connect();
    run("korvant3_fremu_print", again, {{"text_type", 1}, {"text", "Второй запуск"}});
    run("korvant3_fremu_print", again, {{"text_type", 5}, {"text", "https://example.com"}});

    const std::string text = page();
    EXPECT_EQ(text.rfind("<!DOCTYPE html>\n", 0), 0u);
    EXPECT_EQ(occurrences(text, "<!DOCTYPE"), 1u);
    EXPECT_EQ(occurrences(text, "<head>"), 1u);
    // One receipt and one cut after it per printed document, in the order printed.
    EXPECT_EQ(occurrences(text, "<section class=\"receipt\" style=\"width:48ch\">"), 3u);
    EXPECT_EQ(occurrences(text, "<hr class=\"cut\""), 3u);
    EXPECT_LT(text.find("Первый запуск"), text.find("Второй запуск"));
    EXPECT_LT(text.find("Второй запуск"), text.find("<svg"));
    // Nothing is fetched and nothing runs.
    for (const char* outside : {"<script", "src=", "href=", "url("}) {
        EXPECT_EQ(text.find(outside), std::string::npos) << outside;
    }
}

TEST_F(PageTest, ThePageShowsTheTapesTextEscapedAndDrawsOnlyWhatACodeCanHold) {
    struct Case {
        int type;
        std::string value;
        bool drawn;
    };
    const std::vector<Case> cases{
        {2, "4601234", true},
        {2, "46012340", true},
        {2, "46012341", false},
        {3, "460123456789", true},
        {3, "4601234567893", true},
        {3, "4601234567890", false},
        {3, "46012345678A", false},
        {3, "", false},
        {4, "KOFE-10 $/+%.", true},
        {4, "kofe", false},
        {4, "A*B", false},
        {5, "Привет, <мир> & все", true},
        {5, "", false},
        // Level M holds 2331 letters, or 5596 digits.
        {5, std::string(2400, 'z'), false},
        {5, std::string(5000, '7'), true},
    };
    const int32_t handle = connect();
    for (const auto& c : cases) {
        run("korvant3_fremu_print", handle, {{"text_type", c.type}, {"text", c.value}});
        const std::string text = page();
        const size_t last = text.rfind("<section");
        const std::string block = text.substr(last);
        EXPECT_EQ(occurrences(block, "<svg"), c.drawn ? 1u : 0u) << c.type << " " << c.value;
        EXPECT_EQ(occurrences(block, "(не печатается как "), c.drawn ? 0u : 1u)
            << c.type << " " << c.value;
    }
    run("korvant3_fremu_print", handle,
        {{"text_type", 1}, {"text", std::string("a<b> & \"c\"\x01") + "d"}});
    EXPECT_NE(page().find("a&lt;b&gt; &amp; \"c\"\xEF\xBF\xBD"
                          "d"),
              std::string::npos);
    EXPECT_NE(tape().find("a<b> & \"c\"\x01"
                          "d"),
              std::string::npos);
}

class PagePath : public EmulatorTest {};

TEST_F(PagePath, ThePageLiesBesideTheTape) {
    const auto folder = freshTempPath("page_folder");
    std::filesystem::create_directories(folder);
    for (const auto& [tapeName, pageName] :
         std::vector<std::pair<std::string, std::string>>{{"tape.txt", "tape.html"},
                                                          {"tape", "tape.html"},
                                                          {"tape.html", "tape.html.html"},
                                                          {"лента.2024.txt", "лента.2024.html"}}) {
        const auto tapePath = folder / std::filesystem::u8path(tapeName);
        const std::u8string utf8 = tapePath.u8string();
        reset({{"clock", kClock}, {"tape", std::string(utf8.begin(), utf8.end())}});
        const int32_t handle = connect();
        run("korvant3_fremu_print", handle, {{"text_type", 1}, {"text", "x"}});
        EXPECT_TRUE(std::filesystem::exists(folder / std::filesystem::u8path(pageName)))
            << tapeName;
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace emutest
