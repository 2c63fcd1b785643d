#include "config/component_config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/program_data.h"
#include "temp_folder.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using testing::readFile;
using ::testing::StartsWith;
using testing::TempFolder;
using testing::writeFile;

// Every test gets its own ProgramData root through PROGRAMDATA.
class ComponentConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(root_.path().empty()); }

    fs::path makerFolder() const { return root_.path() / "Korvant Engineering"; }
    fs::path componentFolder() const { return makerFolder() / "AddInKorvant"; }
    fs::path configFile() const { return componentFolder() / "config"; }
    void writeConfig(std::string_view text) const { writeFile(configFile(), text); }
    void writeLibraryConfig(std::string_view text) const {
        writeFile(makerFolder() / "library" / "config", text);
    }

    TempFolder root_;
    testing::ProgramDataVariable variable_{root_.path()};
};

TEST_F(ComponentConfigTest, FirstUseCreatesFolderAndDefaultLogIsSaved) {
    fs::create_directory(makerFolder());
    ComponentConfig config;
    EXPECT_EQ(config.folder(), root_.path().string() + "/Korvant Engineering/AddInKorvant/");
    EXPECT_EQ(config.filePath(), config.folder() + "config");
    EXPECT_TRUE(fs::is_directory(componentFolder()));
    EXPECT_EQ(config.readLogPath(), "");
    EXPECT_FALSE(config.logEnabledSetting());

    const std::string logPath = config.folder() + "AddInKorvant.log";
    config.setDefaultLog(logPath);
    EXPECT_EQ(readFile(configFile()), "[logs]\npath = " + logPath + "\nenabled = true\n");

    const ComponentConfig again;
    EXPECT_EQ(again.readLogPath(), logPath);
    EXPECT_TRUE(again.logEnabledSetting());
}

TEST_F(ComponentConfigTest, MissingMakerFolderIsNotCreatedButSettingsStayInMemory) {
    ComponentConfig config;
    EXPECT_FALSE(fs::exists(makerFolder()));

    config.setDefaultLog("/somewhere/AddInKorvant.log");
    EXPECT_FALSE(fs::exists(makerFolder()));
    EXPECT_FALSE(config.save());
    EXPECT_EQ(config.readLogPath(), "/somewhere/AddInKorvant.log");
    EXPECT_TRUE(config.logEnabledSetting());
}

TEST_F(ComponentConfigTest, RootWithTrailingSeparatorGetsNoSecondOne) {
    ::setenv("PROGRAMDATA", (root_.path().string() + "/").c_str(), 1);
    EXPECT_EQ(ComponentConfig().folder(),
              root_.path().string() + "/Korvant Engineering/AddInKorvant/");
}

TEST(ComponentConfigRoot, EmptyRootGivesRelativePaths) {
    const ComponentConfig config{PathText()};
    EXPECT_EQ(config.folder(), "Korvant Engineering/AddInKorvant/");
    EXPECT_EQ(config.filePath(), "Korvant Engineering/AddInKorvant/config");
}

TEST(ComponentConfigRoot, UnsetOrEmptyProgramDataMeansVarLib) {
    const char* old = std::getenv("PROGRAMDATA");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("PROGRAMDATA", "", 1);
    EXPECT_EQ(programDataFolder(), "/var/lib");
    ::unsetenv("PROGRAMDATA");
    EXPECT_EQ(programDataFolder(), "/var/lib");
    if (saved) {
        ::setenv("PROGRAMDATA", saved->c_str(), 1);
    }
}

TEST_F(ComponentConfigTest, EnabledReadsTheFirstCharactersInAnyLetterCase) {
    struct Case {
        const char* file;
        bool enabled;
    };
    const Case cases[] = {
        {"[logs]\nenabled = true\n", true},   {"[logs]\nenabled = 1\n", true},
        {"[logs]\nenabled = Yes\n", true},    {"[logs]\nenabled = on\n", true},
        {"[LOGS]\nEnabled=yes\n", true},      {"[Logs]\nENABLED = YES\n", true},
        {"[logs]\nenabled = false\n", false}, {"[logs]\nenabled = 0\n", false},
        {"[logs]\nenabled = off\n", false},   {"[logs]\nenabled = enabled\n", false},
        {"[logs]\nenabled =\n", false},       {"[logs]\npath = /a.log\n", false},
        {"[other]\nenabled = true\n", false},
    };
    for (const auto& c : cases) {
        writeConfig(c.file);
        EXPECT_EQ(ComponentConfig().logEnabledSetting(), c.enabled) << c.file;
    }
}

TEST_F(ComponentConfigTest, DefaultLogReplacesValuesAndKeepsTheRest) {
    writeConfig("[logs]\nenabled = false\n\n[device]\ntask_timeout_s = 30\n");
    ComponentConfig config;
    config.setDefaultLog("/l.log");
    const std::string saved = readFile(configFile());
    EXPECT_THAT(saved, StartsWith("[logs]\nenabled = true\npath = /l.log\n\n"));
    EXPECT_THAT(saved, EndsWith("\n[device]\ntask_timeout_s = 30\n"));
}

TEST_F(ComponentConfigTest, ByteOrderMarkOfTheFileIsKept) {
    writeConfig("\xEF\xBB\xBF[logs]\nenabled = off\n");
    ComponentConfig withMark;
    withMark.setDefaultLog("/l.log");
    EXPECT_EQ(readFile(configFile()), "\xEF\xBB\xBF[logs]\nenabled = true\npath = /l.log\n");

    writeConfig("[logs]\nenabled = off\n");
    ComponentConfig withoutMark;
    withoutMark.setDefaultLog("/l.log");
    EXPECT_EQ(readFile(configFile()), "[logs]\nenabled = true\npath = /l.log\n");
}

TEST_F(ComponentConfigTest, LibraryPathComesFromThisBuildsSection) {
    const ComponentConfig config;
    EXPECT_EQ(config.readLibraryPath(), "");
    EXPECT_FALSE(fs::exists(makerFolder() / "library"));

    writeLibraryConfig("[library]\npath = /opt/k/lib32.so\n[LIBRARY64]\nPath = /opt/k/lib64.so\n");
    const PathText expected = KORVANT_BITS == 64 ? "/opt/k/lib64.so" : "/opt/k/lib32.so";
    EXPECT_EQ(config.readLibraryPath(), expected);

    // The other build's section alone names no library for this one.
    writeLibraryConfig(KORVANT_BITS == 64 ? "[library]\npath = /opt/k/lib32.so\n"
                                          : "[library64]\npath = /opt/k/lib64.so\n");
    EXPECT_EQ(config.readLibraryPath(), "");
}

TEST_F(ComponentConfigTest, DeviceTuningIsReadStrictly) {
    struct Case {
        const char* value;
        int32_t timeout;
        std::optional<int32_t> poll;
    };
    const Case cases[] = {
        {nullptr, 600, std::nullopt},
        {"30", 30, 30},
        {"0", 0, 0},
        {"-5", 600, std::nullopt},
        {"abc", 600, std::nullopt},
        {"12abc", 600, std::nullopt},
        {"99999999999", 600, std::nullopt},
        {"", 600, std::nullopt},
        {"2147483647", 2147483647, 2147483647},
    };
    for (const auto& c : cases) {
        writeConfig(c.value == nullptr ? std::string("[device]\n")
                                       : std::string("[device]\ntask_timeout_s = ") + c.value +
                                             "\npoll_interval_ms = " + c.value + "\n");
        const ComponentConfig config;
        EXPECT_EQ(config.taskTimeoutSeconds(), c.timeout) << (c.value ? c.value : "missing");
        EXPECT_EQ(config.pollIntervalMs(), c.poll) << (c.value ? c.value : "missing");
    }
}

} // namespace
} // namespace korvant
