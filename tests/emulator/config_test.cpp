// Configuration: through reset, or from the file named by KORVANT3EMU_CONFIG.

#include "emulator_client.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace emutest {
namespace {

using ConfigTest = EmulatorTest;

TEST_F(ConfigTest, AnInvalidConfigurationIsRefusedAndChangesNothing) {
    reset({{"clock", kClock}, {"serial", "kept"}});
    for (const char* config : {
             "not json",
             "[]",
             R"({"colour": "red"})",
             R"({"serial": 1})",
             R"({"line_length": 5})",
             R"({"registered": "yes"})",
             R"({"registration": {"company_nam": "x"}})",
             R"({"cash": -1})",
             R"({"busy_polls": {"korvant3_nothing": 1}})",
             R"({"task_ms": -5})",
             R"({"clock": "today"})",
             R"({"refusals": "sometimes"})",
         }) {
        EXPECT_LT(EMU(korvant3emu_reset)(config), 0) << config;
    }
    EXPECT_EQ(state()["serial"], "kept");
    EXPECT_FALSE(state()["control_error"].is_null());
}

TEST_F(ConfigTest, AnEmptyConfigurationGivesTheDefaults) {
    ASSERT_EQ(EMU(korvant3emu_reset)(""), 0);
    const json view = state();
    EXPECT_EQ(view["serial"], "0000000000000001");
    EXPECT_EQ(view["line_length"], 48);
    EXPECT_EQ(view["fiscal"]["registered"], true);
    EXPECT_EQ(view["fiscal"]["shift_cash"], 0);
}

TEST_F(ConfigTest, TheEnvironmentNamesAConfigurationFile) {
    const auto file = freshTempPath("config");
    std::ofstream(file) << R"({"serial": "from-file", "cash": 12.34, "registered": false})";
    ::setenv("KORVANT3EMU_CONFIG", file.string().c_str(), 1);
    EXPECT_EQ(EMU(korvant3emu_reset)(nullptr), 0);
    const json view = state();
    EXPECT_EQ(view["serial"], "from-file");
    EXPECT_EQ(view["fiscal"]["shift_cash"], 123400);
    EXPECT_EQ(view["fiscal"]["registered"], false);

    std::ofstream(file) << R"({"serial": )";
    EXPECT_LT(EMU(korvant3emu_reset)(nullptr), 0);
    ::unsetenv("KORVANT3EMU_CONFIG");
    std::filesystem::remove(file);
}

} // namespace
} // namespace emutest
