#include "platform/search_path.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

using korvant::platform::prependToSearchPath;

// The expectations use the POSIX list separator and environment calls.
#ifndef _WIN32
namespace {

// Keeps the test program's PATH as it was.
class SearchPathTest : public testing::Test {
protected:
    void SetUp() override {
        if (const char* value = std::getenv("PATH")) {
            saved = value;
        }
    }
    void TearDown() override {
        if (saved) {
            setenv("PATH", saved->c_str(), 1);
        } else {
            unsetenv("PATH");
        }
    }

    static std::string path() {
        const char* value = std::getenv("PATH");
        return value != nullptr ? value : "(unset)";
    }

    std::optional<std::string> saved;
};

TEST_F(SearchPathTest, PrependsTheLibraryFolder) {
    struct Row {
        const char* library;
        const char* expected;
    };
    const Row rows[] = {
        {"/opt/korvant/lib/libkorvant3.so", "/opt/korvant/lib:/usr/bin:/bin"},
        {"C:\\Korvant\\x64\\korvant3.dll", "C:\\Korvant\\x64:/usr/bin:/bin"},
        {"C:\\Korvant/mixed\\korvant3.dll", "C:\\Korvant/mixed:/usr/bin:/bin"},
        {"libkorvant3.so", "libkorvant3.so:/usr/bin:/bin"},
        {"/libkorvant3.so", "/usr/bin:/bin"}, // an empty folder would mean "here"
        {"", "/usr/bin:/bin"},
    };
    for (const auto& row : rows) {
        setenv("PATH", "/usr/bin:/bin", 1);
        prependToSearchPath(row.library);
        EXPECT_EQ(path(), row.expected) << row.library;
    }
}

TEST_F(SearchPathTest, RepeatedCallsDoNotGrowPath) {
    setenv("PATH", "/usr/bin", 1);
    for (int i = 0; i < 3; ++i) {
        prependToSearchPath("/opt/korvant/libkorvant3.so");
    }
    EXPECT_EQ(path(), "/opt/korvant:/usr/bin");
}

TEST_F(SearchPathTest, FolderFurtherDownIsStillPutFirst) {
    setenv("PATH", "/usr/bin:/opt/korvant", 1);
    prependToSearchPath("/opt/korvant/libkorvant3.so");
    EXPECT_EQ(path(), "/opt/korvant:/usr/bin:/opt/korvant");
}

TEST_F(SearchPathTest, AbsentOrEmptyPathIsLeftAlone) {
    unsetenv("PATH");
    prependToSearchPath("/opt/korvant/libkorvant3.so");
    EXPECT_EQ(path(), "(unset)");

    setenv("PATH", "", 1);
    prependToSearchPath("/opt/korvant/libkorvant3.so");
    EXPECT_EQ(path(), "");
}

} // namespace
#endif
