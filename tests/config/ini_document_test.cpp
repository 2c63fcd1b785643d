#include "config/ini_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvant {
namespace {

using ::testing::HasSubstr;

TEST(IniBoolean, FirstCharactersDecide) {
    for (const char* text : {"true", "1", "Yes", "on", "ON", "oN", "y", "T", "1abc", "online"}) {
        EXPECT_TRUE(iniBoolean(text)) << text;
    }
    for (const char* text : {"false", "0", "off", "enabled", "", "o", "no", "N", " true", "2"}) {
        EXPECT_FALSE(iniBoolean(text)) << text;
    }
}

TEST(IniDocument, LaterDuplicateKeyWinsInAnyLetterCase) {
    IniDocument document;
    ASSERT_TRUE(document.load("[LOGS]\nPATH = /a\npath = /b\n"));
    EXPECT_EQ(document.value("Logs", "Path"), "/b");
    EXPECT_EQ(document.value("logs", "missing"), std::nullopt);
}

TEST(IniDocument, SavesKeysWithSpacesAroundEquals) {
    IniDocument document;
    document.setValue("logs", "path", "/var/log/a.log");
    document.setValue("logs", "enabled", "false");
    document.setValue("LOGS", "ENABLED", "true");
    EXPECT_EQ(document.save(), "[logs]\npath = /var/log/a.log\nenabled = true\n");
}

TEST(IniDocument, SavingKeepsCommentsOtherSectionsAndUtf8Text) {
    const std::string file = "; maker's settings\n\n[device]\n; seconds\ntask_timeout_s = 30\n\n"
                             "[logs]\npath = /журнал/AddInKorvant.log\n";
    IniDocument document;
    ASSERT_TRUE(document.load(file));
    EXPECT_EQ(document.value("logs", "path"), "/журнал/AddInKorvant.log");
    document.setValue("logs", "enabled", "true");

    // SimpleIni decides the blank lines; what matters is that nothing is lost.
    const std::string saved = document.save();
    EXPECT_THAT(saved, HasSubstr("; maker's settings\n"));
    EXPECT_THAT(saved, HasSubstr("; seconds\ntask_timeout_s = 30\n"));
    EXPECT_THAT(saved, HasSubstr("[logs]\npath = /журнал/AddInKorvant.log\nenabled = true\n"));
    IniDocument reloaded;
    ASSERT_TRUE(reloaded.load(saved));
    EXPECT_EQ(reloaded.save(), saved);
}

// A file that is no UTF-8 text (a legacy code page, UTF-16 without its mark,
// binary) is not read at all: read with replacement characters, its values
// would be wrong, and written back, the user's text would be spoilt.
TEST(IniDocument, TextInAnUnknownEncodingIsNotRead) {
    const std::string utf16WithoutMark("[\0l\0o\0g\0s\0]\0\n\0", 14);
    struct Row {
        std::string bytes;
        const char* problem;
    };
    const Row rows[] = {
        {"[logs]\npath = a\xFF"
         "b\n",
         "not UTF-8"},
        {"[logs]\npath = \xE6\xF3\xF0\xED\xE0\xEB\n", "not UTF-8"}, // windows-1251
        {"\xEF\xBB\xBF[logs]\npath = \xC0\n", "not UTF-8"},
        {utf16WithoutMark, "NUL"},
        {std::string("\xFF\xFE[\0", 5), "UTF-16"}, // an odd number of bytes
    };
    for (const auto& row : rows) {
        IniDocument document;
        std::string problem;
        EXPECT_FALSE(document.load(row.bytes, &problem)) << row.problem;
        EXPECT_THAT(problem, HasSubstr(row.problem));
        EXPECT_EQ(document.value("logs", "path"), std::nullopt);
    }
}

TEST(IniDocument, OnlyTheValueSetChangesInTheSavedText) {
    struct Row {
        const char* file;
        const char* section;
        const char* key;
        const char* saved;
    };
    const Row rows[] = {
        // A comment at the very end, and keys the driver does not know.
        {"[logs]\nenabled = false\n; keep me\n[mine]\nanswer = 42\n; the end\n", "logs", "enabled",
         "[logs]\nenabled = true\n; keep me\n[mine]\nanswer = 42\n; the end\n"},
        // The later duplicate holds the value, and only it changes.
        {"[logs]\nenabled = false\nENABLED=no\n", "logs", "enabled",
         "[logs]\nenabled = false\nENABLED = true\n"},
        // A new key goes after the last key of the last block of its section.
        {"[logs]\npath = /a\n\n# note\n[device]\nx = 1\n[Logs]\nold = 1\n\n", "logs", "enabled",
         "[logs]\npath = /a\n\n# note\n[device]\nx = 1\n[Logs]\nold = 1\nenabled = true\n\n"},
        // A new section goes to the end, after a blank line, with the file's line ends.
        {"; only a comment\r\n", "logs", "enabled",
         "; only a comment\r\n\r\n[logs]\r\nenabled = true\r\n"},
        {"[device]\nx = 1", "logs", "enabled", "[device]\nx = 1\n\n[logs]\nenabled = true\n"},
        {"[logs]", "logs", "enabled", "[logs]\nenabled = true\n"},
        {"  [ logs ]  \n  Enabled =off ; not a comment\n", "logs", "enabled",
         "  [ logs ]  \n  Enabled = true\n"},
        // A key outside any section is not a key of the section.
        {"enabled = false\n", "logs", "enabled", "enabled = false\n\n[logs]\nenabled = true\n"},
    };
    for (const auto& row : rows) {
        IniDocument document;
        ASSERT_TRUE(document.load(row.file)) << row.file;
        document.setValue(row.section, row.key, "true");
        EXPECT_EQ(document.save(), row.saved) << row.file;
        EXPECT_EQ(document.value(row.section, row.key), "true") << row.file;
        IniDocument reloaded;
        ASSERT_TRUE(reloaded.load(document.save()));
        EXPECT_EQ(reloaded.value(row.section, row.key), "true") << row.file;
    }
}

} // namespace
} // namespace korvant
