// korvant-host demo end to end: the built program, its add-in and the register emulator, in a
// folder of the test's own. No simulated device time: a day takes milliseconds.

#include "host/values/script_notation.h"
#include "support/program_command.h"
#include "support/shell_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace korvant::host {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct DayRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text) {
    return shellQuoted(text);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Fiscal document numbers, in the order the tape (or the part of it in a text) shows them: the
// footer line of each fiscal document begins with "ФД: " and its number.
std::vector<int> fiscalNumbers(const std::string& text) {
    static const std::regex footer("^ФД: ([0-9]+) ");
    std::vector<int> numbers;
    std::istringstream in(text);
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, match, footer)) {
            numbers.push_back(std::stoi(match[1]));
        }
    }
    return numbers;
}

// The first of them; 0 when the text shows none.
int firstFiscalNumber(const std::string& text) {
    const std::vector<int> numbers = fiscalNumbers(text);
    return numbers.empty() ? 0 : numbers.front();
}

// The lines of the output that begin with `method`.
std::vector<std::string> linesOf(const std::string& out, const std::string& method) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(method + " ", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

bool consecutive(const std::vector<int>& numbers) {
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        if (numbers[i] != numbers[i - 1] + 1) {
            return false;
        }
    }
    return !numbers.empty();
}

class DemoCommand : public ::testing::Test {
protected:
    void SetUp() override { folder_ = makeTemporaryDirectory("korvant-demo-"); }
    void TearDown() override { removeFolder(folder_); }

    // korvant-host with `args`, run in the test's folder.
    DayRun host(const std::vector<std::string>& args) {
        // The program's path made absolute first: the folder may be on another drive.
        std::string command = shellChangeDirectory(folder_) + " && " +
                              korvant::testing::programCommand(
                                  pathText(std::filesystem::absolute(KORVANT_HOST_PATH)));
        for (const auto& arg : args) {
            command += " " + quoted(arg);
        }
        command += " >out 2>err";
        return {runShellCommand(command), readFile(folder_ / "out"), readFile(folder_ / "err")};
    }

    DayRun demo(std::vector<std::string> options = {}) {
        options.push_back("demo");
        return host(options);
    }

    std::string kept() const { return pathText(folder_ / "kept"); }

    std::filesystem::path folder_;
};

TEST_F(DemoCommand, ASecondDayInAKeptFolderCarriesOnTheNumbering) {
    const DayRun first = demo({"--programdata", kept()});
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    // Registration report, shift opening, three receipts, the settlement report and the shift
    // closing: fiscal documents 1 to 7 in the order they were printed (the two cash documents
    // are not fiscal ones).
    EXPECT_THAT(fiscalNumbers(first.out), ElementsAre(1, 2, 3, 4, 5, 6, 7));
    EXPECT_THAT(first.out, HasSubstr("ошибок 0, чеков 3"));
    EXPECT_THAT(linesOf(first.out, "ОперацияФН"), ElementsAre(HasSubstr("регистрация ККТ")));
    EXPECT_THAT(linesOf(first.out, "ОткрытьСмену"), ElementsAre(HasSubstr("смена 1 открыта")));

    const DayRun second = demo({"--programdata", kept()});
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    const auto numbers = fiscalNumbers(second.out);
    EXPECT_TRUE(consecutive(numbers)) << second.out;
    EXPECT_EQ(firstFiscalNumber(second.out), 8);
    EXPECT_THAT(linesOf(second.out, "ОперацияФН"),
                ElementsAre(HasSubstr("ККТ уже зарегистрирована")));
    EXPECT_THAT(linesOf(second.out, "ОткрытьСмену"), ElementsAre(HasSubstr("смена 2 открыта")));
    EXPECT_THAT(linesOf(second.out, "ЗакрытьСмену"), ElementsAre(HasSubstr("смена 2 закрыта")));

    // The tape file holds both days, one after the other.
    const auto tape = fiscalNumbers(readFile(folder_ / "kept" / "tape.txt"));
    EXPECT_TRUE(consecutive(tape));
    EXPECT_EQ(tape.size(), 7 + numbers.size());
}

TEST_F(DemoCommand, EveryCallOfTheDayHasItsLine) {
    const DayRun day = demo({"--addin", KORVANT_ADDIN_PATH});
    ASSERT_EQ(day.exitCode, 0) << day.out << day.err;
    EXPECT_THAT(linesOf(day.out, "СформироватьЧек"),
                ElementsAre(HasSubstr("продажа: смена 1, ФД 3, ФП "),
                            HasSubstr("возврат продажи: смена 1, ФД 4, ФП ")));
    EXPECT_THAT(linesOf(day.out, "СформироватьЧекКоррекции"),
                ElementsAre(HasSubstr("коррекция прихода: смена 1, ФД 5")));
    // 89.90 + 104.00 + 449.00 + 150.00 sold, 89.90 returned, 156.00 corrected, 3000.00 in,
    // 2500.00 out.
    EXPECT_THAT(linesOf(day.out, "ЗакрытьСмену"), ElementsAre(HasSubstr("в кассе 1109.00")));
    EXPECT_THAT(day.out, HasSubstr("вызовов 22, ошибок 0, чеков 3"));
    // The tape of the day: the sale with its marked item, its agent line and its QR code.
    EXPECT_THAT(day.out, HasSubstr("[М] Молоко «Луговое» 3,2% 1 л"));
    EXPECT_THAT(day.out, HasSubstr("ПРИЗНАК АГЕНТА: КОМИССИОНЕР"));
    EXPECT_THAT(day.out, HasSubstr("[QR-КОД: https://lavka.example/otzyv]"));
}

TEST_F(DemoCommand, TheDefaultFolderIsMadeAnewEachRun) {
    ASSERT_EQ(demo().exitCode, 0);
    const DayRun again = demo();
    ASSERT_EQ(again.exitCode, 0) << again.out << again.err;
    EXPECT_THAT(again.out, HasSubstr(pathText(folder_ / "demo-data") + " (создана заново"));
    EXPECT_EQ(firstFiscalNumber(readFile(folder_ / "demo-data" / "tape.txt")), 1);
    EXPECT_THAT(linesOf(again.out, "ОперацияФН"), ElementsAre(HasSubstr("регистрация ККТ")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "demo-data" / "state.json"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "demo-data" / "Korvant Engineering" /
                                        "AddInKorvant" / "AddInKorvant.log"));
}

TEST_F(DemoCommand, AFolderItDidNotMakeIsNeverEmptied) {
    std::filesystem::create_directories(folder_ / "demo-data");
    std::ofstream(folder_ / "demo-data" / "notes.txt") << "keep me";

    const DayRun refused = demo();

    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("is not a demonstration folder"));
    EXPECT_EQ(readFile(folder_ / "demo-data" / "notes.txt"), "keep me");
}

// A shift that could not be closed stays open on the register; the next day works in it.
TEST_F(DemoCommand, AFailedCallFailsTheDayAndTheNextDayCopesWithItsOpenShift) {
    const DayRun failed =
        demo({"--programdata", kept(), "--fault",
              R"({"function":"korvant3_fremu_close_shift","call":1,"result":-2})"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_THAT(linesOf(failed.out, "ЗакрытьСмену"), ElementsAre(HasSubstr("ОШИБКА")));
    EXPECT_THAT(linesOf(failed.out, "ЗакрытьСмену"),
                ElementsAre(HasSubstr("ошибка 1: Ошибка протокола обмена с ККТ")));
    EXPECT_THAT(failed.out, HasSubstr("ошибок 1, чеков 3"));

    const DayRun next = demo({"--programdata", kept()});
    ASSERT_EQ(next.exitCode, 0) << next.out << next.err;
    EXPECT_THAT(linesOf(next.out, "ОткрытьСмену"), ElementsAre(HasSubstr("смена 1 уже открыта")));
    EXPECT_THAT(linesOf(next.out, "ЗакрытьСмену"), ElementsAre(HasSubstr("смена 1 закрыта")));
    EXPECT_EQ(firstFiscalNumber(next.out), 7);
}

TEST_F(DemoCommand, OptionsItCannotHonourAreRefused) {
    EXPECT_EQ(demo({"--journal"}).exitCode, 2);
    EXPECT_EQ(demo({"--emulator-config", "x.json"}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "demo-data"));
}

// The session script docs/korvant-host.md shows: every call of the shift answers true.
TEST_F(DemoCommand, TheShiftSessionScriptRunsThrough) {
    const DayRun session = host({"--emulator", "run", KORVANT_SESSIONS_DIR "/shift.json"});
    ASSERT_EQ(session.exitCode, 0) << session.err;
    std::istringstream lines(session.out);
    int calls = 0;
    for (std::string line; std::getline(lines, line); ++calls) {
        const auto call = Json::parse(line);
        const bool answered = call["result"]["type"] == "BOOL" ? call["result"]["value"] == true
                                                               : call["result"]["value"] == 0;
        EXPECT_TRUE(answered) << line;
    }
    EXPECT_EQ(calls, 7);
}

} // namespace
} // namespace korvant::host
