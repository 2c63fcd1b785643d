// The check code every receipt carries, and the page kept beside the paper tape: each document
// as a receipt with its codes drawn, appended like the tape and kept across restarts, and every
// drawn code read back by a scanner's decoder. (The page test under tests/page reads the page as
// a browser renders it.)

#include "emulator_client.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
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

// What a scanner reads off each code drawn on the page, in page order, as zbarimg names them
// ("QR-Code:text"). Each <svg> is a code's dark rectangles ("M x y h w v h h -w z") on a white
// field: drawn at four pixels a module into an image that zbarimg reads. Nothing when this build
// has no zbarimg (it comes with scripts/setup.sh --browser; Windows builds have none).
std::optional<std::vector<std::string>> codesReadBack(const std::string& page,
                                                      const std::filesystem::path& image) {
#ifndef KORVANT_ZBARIMG
    (void)page;
    (void)image;
    return std::nullopt;
#else
    constexpr int kScale = 4;
    std::vector<std::string> read;
    for (size_t at = page.find("<svg"); at != std::string::npos; at = page.find("<svg", at + 1)) {
        const std::string svg = page.substr(at, page.find("</svg>", at) - at);
        int width = 0;
        int height = 0;
        std::sscanf(svg.c_str() + svg.find("viewBox="), "viewBox=\"0 0 %d %d\"", &width, &height);
        std::string pixels(size_t(width) * height * kScale * kScale, '\xFF');
        const std::string path = svg.substr(svg.find(" d=\"") + 4);
        int x = 0, y = 0, w = 0, h = 0, used = 0;
        for (const char* next = path.c_str();
             std::sscanf(next, "M%d %dh%dv%dh-%*dz%n", &x, &y, &w, &h, &used) == 4; next += used) {
            for (int row = y * kScale; row < (y + h) * kScale; ++row) {
                pixels.replace(size_t(row) * width * kScale + x * kScale, size_t(w) * kScale,
                               size_t(w) * kScale, '\0');
            }
        }
        std::ofstream(image, std::ios::binary)
            << "P5\n"
            << width * kScale << " " << height * kScale << "\n255\n"
            << pixels;
        FILE* reader = ::popen(
            (std::string(KORVANT_ZBARIMG) + " --quiet --nodbus '" + image.string() + "' 2>&1")
                .c_str(),
            "r");
        std::string output;
        for (char buffer[4096]; const size_t got = std::fread(buffer, 1, sizeof buffer, reader);) {
            output.append(buffer, got);
        }
        ::pclose(reader);
        // One code a drawing; a text with line breaks comes back over several lines.
        read.push_back(output.substr(0, output.find_last_not_of('\n') + 1));
    }
    std::filesystem::remove(image);
    return read;
#endif
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
    std::optional<std::vector<std::string>> readBack(const std::string& part = {}) const {
        return codesReadBack(part.empty() ? page() : part, freshTempPath("code") += ".pgm");
    }
    // A POSIX build reads the codes back with zbarimg and says so when it has none; a Windows
    // build, whose programs cannot start it, leaves the reading to the POSIX build of the same
    // sources.
    static void skipWithoutReader() {
#ifndef _WIN32
        GTEST_SKIP() << "the codes drawn were not read back: zbarimg is not installed "
                        "(scripts/setup.sh --browser)";
#endif
    }

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
    const auto codes = checkCodes(tape());
    EXPECT_EQ(codes.size(), cases.size());
    EXPECT_EQ(occurrences(page(), "[QR-КОД ЧЕКА:"), cases.size());
    const auto read = readBack();
    if (!read) {
        skipWithoutReader();
        return;
    }
    std::vector<std::string> expected;
    for (const std::string& code : codes) {
        expected.push_back("QR-Code:" + code);
    }
    EXPECT_EQ(*read, expected);
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
    const auto read = readBack();
    if (!read) {
        skipWithoutReader();
        return;
    }
    EXPECT_EQ(*read, std::vector<std::string>(2, "QR-Code:" + found[0]));
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
        std::string read; // what a scanner reads off the code drawn; empty: none is drawn
    };
    const std::vector<Case> cases{
        {2, "4601234", "EAN-8:46012340"}, // the check digit added
        {2, "46012340", "EAN-8:46012340"},
        {2, "46012341", ""},
        {3, "460123456789", "EAN-13:4601234567893"},
        {3, "4601234567893", "EAN-13:4601234567893"},
        {3, "4601234567890", ""},
        {3, "46012345678A", ""},
        {3, "", ""},
        {4, "KOFE-10 $/+%.", "CODE-39:KOFE-10 $/+%."},
        {4, "kofe", ""},
        {4, "A*B", ""},
        {5, "Привет, <мир> & все", "QR-Code:Привет, <мир> & все"},
        {5, "", ""},
        // Level M holds 2331 letters, or 5596 digits.
        {5, std::string(2400, 'z'), ""},
        {5, std::string(5000, '7'), "QR-Code:" + std::string(5000, '7')},
    };
    const int32_t handle = connect();
    bool readingBack = true;
    for (const auto& c : cases) {
        run("korvant3_fremu_print", handle, {{"text_type", c.type}, {"text", c.value}});
        const std::string text = page();
        const size_t last = text.rfind("<section");
        const std::string block = text.substr(last);
        const bool drawn = !c.read.empty();
        EXPECT_EQ(occurrences(block, "<svg"), drawn ? 1u : 0u) << c.type << " " << c.value;
        EXPECT_EQ(occurrences(block, "(не печатается как "), drawn ? 0u : 1u)
            << c.type << " " << c.value;
        if (const auto read = readBack(block)) {
            EXPECT_EQ(*read, drawn ? std::vector{c.read} : std::vector<std::string>{})
                << c.type << " " << c.value;
        } else {
            readingBack = false;
        }
    }
    run("korvant3_fremu_print", handle,
        {{"text_type", 1}, {"text", std::string("a<b> & \"c\"\x01") + "d"}});
    EXPECT_NE(page().find("a&lt;b&gt; &amp; \"c\"\xEF\xBF\xBD"
                          "d"),
              std::string::npos);
    EXPECT_NE(tape().find("a<b> & \"c\"\x01"
                          "d"),
              std::string::npos);
    if (!readingBack) {
        skipWithoutReader();
    }
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
