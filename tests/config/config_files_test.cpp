// The files the driver reads and writes for its configuration and its log are
// regular files only: whatever else stands at their paths is never opened in a
// way that could block the host, and a user's file the driver cannot read is
// never replaced by defaults.

#include "config/component_config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "addin/lifecycle.h"
#include "config/log_file.h"
#include "operations/component_state.h"
#include "support/new_process.h"
#include "temp_folder.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class ConfigFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(componentFolder());
        fs::create_directories(makerFolder() / "library");
    }

    fs::path makerFolder() const { return root_.path() / "Korvant Engineering"; }
    fs::path componentFolder() const { return makerFolder() / "AddInKorvant"; }
    fs::path configFile() const { return componentFolder() / "config"; }
    fs::path libraryConfig() const { return makerFolder() / "library" / "config"; }

    TempFolder root_;
    testing::ProgramDataVariable variable_{root_.path()};
};

// What can stand where a file is expected. Each is made at `path` by the row.
struct Squatter {
    const char* name;
    std::function<void(const fs::path&)> make;
};

std::vector<Squatter> squatters() {
    return {
        {"FIFO", [](const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"directory", [](const fs::path& path) { fs::create_directory(path); }},
        {"symbolic link to a device",
         [](const fs::path& path) { fs::create_symlink("/dev/zero", path); }},
    };
}

// Nothing would return from these calls if the driver opened a FIFO the usual
// way: the test would hang, which the test runner's time-out reports.
TEST_F(ConfigFilesTest, AnythingButARegularFileIsUnreadableAndLeftAsItIs) {
    for (const Squatter& squatter : squatters()) {
        SCOPED_TRACE(squatter.name);
        fs::remove_all(configFile());
        squatter.make(configFile());

        ComponentConfig config;
        EXPECT_THAT(config.problem(), HasSubstr("not a regular file"));
        config.setDefaultLog("/l.log");
        EXPECT_FALSE(config.save());
        EXPECT_EQ(config.readLogPath(), "/l.log"); // the defaults hold in memory
        EXPECT_FALSE(fs::is_regular_file(configFile()));
        EXPECT_FALSE(fs::exists(configFile().string() + ".tmp"));
    }
}

TEST_F(ConfigFilesTest, TheLibraryConfigurationMustBeARegularFile) {
    for (const Squatter& squatter : squatters()) {
        SCOPED_TRACE(squatter.name);
        fs::remove_all(libraryConfig());
        squatter.make(libraryConfig());
        std::string problem;
        EXPECT_EQ(ComponentConfig().readLibraryPath(&problem), "");
        EXPECT_THAT(problem, HasSubstr("not a regular file"));
    }
}

TEST_F(ConfigFilesTest, TheLogIsOnlyAppendedToARegularFile) {
    for (const Squatter& squatter : squatters()) {
        SCOPED_TRACE(squatter.name);
        const fs::path path = componentFolder() / "AddInKorvant.log";
        fs::remove_all(path);
        squatter.make(path);
        EXPECT_FALSE(log::LogFile(path.string()).isOpen());
    }
}

// A file the user wrote in an encoding the driver cannot read keeps the user's
// settings: the driver works on the defaults (with the log on to say why; the
// host's tests read that log in a process of its own) and never writes the file.
TEST_F(ConfigFilesTest, AnUnreadableConfigurationIsNeverOverwritten) {
    const std::string utf16WithoutMark("[\0l\0o\0g\0s\0]\0\n\0e\0n\0a\0b\0l\0e\0d\0=\0n\0o\0", 34);
    for (const std::string& bytes :
         {utf16WithoutMark, std::string("[logs]\nenabled = \xED\xE5\xF2\n")}) {
        writeFile(configFile(), bytes);
        ComponentState state;
        constructComponent(state);
        EXPECT_EQ(readFile(configFile()), bytes);
        EXPECT_EQ(state.logPath, (componentFolder() / "AddInKorvant.log").string());
        EXPECT_TRUE(state.logEnabled);
        EXPECT_NE(ComponentConfig().problem(), "");
    }
}

TEST_F(ConfigFilesTest, CommentsAndUnknownKeysSurviveTheFirstUse) {
    const std::string file = "# maker's note\n[device]\ntask_timeout_s = 30 \n"
                             "future_key = x\n\n[other]\nmine = 1\n; written by hand\n";
    writeFile(configFile(), file);
    ComponentState state;
    constructComponent(state);
    EXPECT_EQ(readFile(configFile()),
              file + "\n[logs]\npath = " + state.logPath + "\nenabled = true\n");
}

// The configuration stays as the administrator made it. A read-only file is
// left alone (it used to be replaced by a writable one), a symbolic link is
// written through to the file it names, the file keeps its permissions, and a
// file that cannot be written says why in the log.
TEST_F(ConfigFilesTest, TheConfigurationIsKeptAsTheAdministratorMadeIt) {
    const auto mode = [](const fs::path& path) {
        return fs::status(path).permissions() & fs::perms::mask;
    };
    const std::string settings = "[device]\ntask_timeout_s = 30\n";
    {
        SCOPED_TRACE("read-only");
        writeFile(configFile(), settings);
        fs::permissions(configFile(), fs::perms::owner_read | fs::perms::group_read);
        ComponentConfig config;
        EXPECT_THAT(config.setDefaultLog("/l.log"), HasSubstr("read-only"));
        EXPECT_EQ(readFile(configFile()), settings);
        EXPECT_EQ(mode(configFile()), fs::perms::owner_read | fs::perms::group_read);
        EXPECT_EQ(config.readLogPath(), "/l.log"); // in memory all the same
        fs::remove(configFile());
    }
    {
        SCOPED_TRACE("permissions");
        writeFile(configFile(), settings);
        const auto kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        fs::permissions(configFile(), kept);
        EXPECT_EQ(ComponentConfig().setDefaultLog("/l.log"), "");
        EXPECT_EQ(mode(configFile()), kept);
        fs::remove(configFile());
    }
    {
        SCOPED_TRACE("symbolic link");
        const fs::path target = root_.path() / "shared" / "addin.ini";
        writeFile(target, settings);
        fs::create_symlink(target, configFile());
        EXPECT_EQ(ComponentConfig().setDefaultLog("/l.log"), "");
        EXPECT_TRUE(fs::is_symlink(configFile()));
        EXPECT_EQ(readFile(target), settings + "\n[logs]\npath = /l.log\nenabled = true\n");
        EXPECT_EQ(ComponentConfig().readLogPath(), "/l.log");
        fs::remove(configFile());
    }
    {
        SCOPED_TRACE("a file that cannot be written");
        fs::create_directory(configFile().string() + ".tmp");
        // The log that says why starts with the process's first component.
        testing::inNewProcess([&] {
            ComponentState state;
            constructComponent(state);
            EXPECT_FALSE(fs::exists(configFile()));
            EXPECT_THAT(readFile(state.logPath),
                        HasSubstr("was left as it is (the file beside it cannot be created (Is a "
                                  "directory))"));
        });
    }
}

} // namespace
} // namespace korvant
