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

TEST(IniDocument, MalformedUtf8IsReadWithReplacementCharacters) {
    IniDocument document;
    ASSERT_TRUE(document.load("[logs]\npath = a\xFF"
                              "b\n"));
    EXPECT_EQ(document.value("logs", "path"), "a\xEF\xBF\xBD"
                                              "b");
}

} // namespace
} // namespace korvant
