// Configuration files in UTF-16 with a byte order mark, as Notepad saves "Unicode": read, and
// written back in their own encoding, on every platform (Windows reads other files in its ANSI
// code page and POSIX in UTF-8, so these are the files both read alike).

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "config/component_config.h"
#include "config/ini_document.h"
#include "temp_folder.h"

namespace korvant {
namespace {

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(IniDocument, Utf16WithByteOrderMarkIsReadAndSavedAsItWas) {
    for (const bool bigEndian : {false, true}) {
        const std::string file =
            utf16(u"; настройки\r\n[logs]\r\npath = C:\\журнал.log\r\n", bigEndian);
        IniDocument document;
        ASSERT_TRUE(document.load(file)) << bigEndian;
        EXPECT_EQ(document.value("logs", "path"), "C:\\журнал.log");
        document.setValue("logs", "enabled", "true");
        EXPECT_EQ(document.save(),
                  utf16(u"; настройки\r\n[logs]\r\npath = C:\\журнал.log\r\nenabled = true\r\n",
                        bigEndian));
    }
}

TEST(ComponentConfig, AUtf16ConfigurationWithItsMarkIsReadAndKeptInUtf16) {
    const testing::TempFolder root;
    const auto file = root.path() / "Korvant Engineering" / "AddInKorvant" / "config";
    const std::u16string settings = u"; мои настройки\r\n[device]\r\ntask_timeout_s = 30\r\n";
    testing::writeFile(file, utf16(settings, false));
    const PathText log = pathFromUtf8("C:\\журнал.log");

    ComponentConfig config(root.path().native());
    EXPECT_EQ(config.problem(), "");
    EXPECT_EQ(config.taskTimeoutSeconds(), 30);
    config.setDefaultLog(log);
    EXPECT_EQ(
        testing::readFile(file),
        utf16(settings + u"\r\n[logs]\r\npath = C:\\журнал.log\r\nenabled = true\r\n", false));
    const ComponentConfig again(root.path().native());
    EXPECT_EQ(again.readLogPath(), log);
    EXPECT_TRUE(again.logEnabledSetting());
    EXPECT_EQ(again.taskTimeoutSeconds(), 30);
}

} // namespace
} // namespace korvant
