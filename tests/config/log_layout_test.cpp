#include "config/log_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace korvant::log {
namespace {

LogRecord sampleRecord(std::string_view message) {
    LogRecord record;
    record.localTime.tm_year = 2024 - 1900;
    record.localTime.tm_mon = 2;
    record.localTime.tm_mday = 5;
    record.localTime.tm_hour = 9;
    record.localTime.tm_min = 7;
    record.localTime.tm_sec = 0;
    record.milliseconds = 23;
    record.threadId = 4242;
    record.function = "AddInKorvant::Init";
    record.line = 42;
    record.message = message;
    return record;
}

TEST(LogLayout, ChosenByExactCsvExtension) {
    EXPECT_EQ(layoutForPath("/var/log/a.csv"), LogLayout::Csv);
    EXPECT_EQ(layoutForPath("a.CSV"), LogLayout::Text);
    EXPECT_EQ(layoutForPath("a.log"), LogLayout::Text);
    EXPECT_EQ(layoutForPath("a.csv.log"), LogLayout::Text);
    EXPECT_EQ(layoutForPath("csv"), LogLayout::Text);
}

TEST(LogLayout, TextRecord) {
    EXPECT_EQ(formatRecord(LogLayout::Text, sampleRecord("API version: 3.1.7")),
              "2024-03-05 09:07:00.023 DEBUG [4242] [AddInKorvant::Init@42] API version: 3.1.7\n");
    // Braces are message text, not format directives.
    EXPECT_EQ(formatRecord(LogLayout::Text, sampleRecord("{} {0}")),
              "2024-03-05 09:07:00.023 DEBUG [4242] [AddInKorvant::Init@42] {} {0}\n");
}

TEST(LogLayout, CsvRecordQuotesTheMessage) {
    EXPECT_EQ(formatRecord(LogLayout::Csv, sampleRecord("say \"hi\"; \"")),
              "2024/03/05;09:07:00.023;DEBUG;4242;0;AddInKorvant::Init@42;"
              "\"say \"\"hi\"\"; \"\"\"\n");
    EXPECT_EQ(formatRecord(LogLayout::Csv, sampleRecord("")),
              "2024/03/05;09:07:00.023;DEBUG;4242;0;AddInKorvant::Init@42;\"\"\n");
}

// The quoted message of a CSV record.
std::string csvMessage(const std::string& message) {
    const std::string line = formatRecord(LogLayout::Csv, sampleRecord(message));
    const size_t start = line.find(";\"") + 2;
    return line.substr(start, line.size() - start - 2);
}

TEST(LogLayout, CsvMessageIsCutAfterTheLimitInCharacters) {
    const std::string atLimit(kMaxCsvMessageCharacters, 'a');
    EXPECT_EQ(csvMessage(atLimit), atLimit);
    EXPECT_EQ(csvMessage(atLimit + "b"), atLimit + "...");

    // Two bytes per character: the cut counts characters and never splits one.
    std::string cyrillic;
    for (size_t i = 0; i <= kMaxCsvMessageCharacters; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(csvMessage(cyrillic), cyrillic.substr(0, 2 * kMaxCsvMessageCharacters) + "...");

    // Quotes are doubled after the cut, so they do not count twice.
    const std::string quotes(kMaxCsvMessageCharacters + 1, '"');
    EXPECT_EQ(csvMessage(quotes), std::string(2 * kMaxCsvMessageCharacters, '"') + "...");
}

TEST(LogLayout, NewFileStart) {
    EXPECT_EQ(fileStart(LogLayout::Text), "\xEF\xBB\xBF");
    EXPECT_EQ(fileStart(LogLayout::Csv), "\xEF\xBB\xBF"
                                         "Date;Time;Severity;TID;This;Function;Message\n");
}

} // namespace
} // namespace korvant::log
