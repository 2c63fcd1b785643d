#pragma once
// What a process does once, such as starting the add-in's log in the folder of the first
// component it makes, is checked in a process of its own: the test program started anew for this
// one test (a death test in Google Test's terms, in the style that starts the program again
// rather than forking it), so such a test passes whether its program runs each test in a process
// of its own or all of them in one.

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <system_error>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "host/system/system.h"

namespace korvant::testing {

// Runs `checks` with their failures collected, prints those (Google Test prints nothing of its
// own in a death test's process) and gives the exit code: 0 when there were none.
template <typename Checks> int exitCodeOfChecks(Checks& checks) {
    ::testing::TestPartResultArray results;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        checks();
    }
    int failures = 0;
    for (int i = 0; i < results.size(); ++i) {
        const ::testing::TestPartResult& result = results.GetTestPartResult(i);
        if (result.failed()) {
            ++failures;
            std::fprintf(stderr, "%s:%d: Failure\n%s\n",
                         result.file_name() ? result.file_name() : "", result.line_number(),
                         result.message());
        }
    }
    return failures == 0 ? 0 : 1;
}

// While it lives, the temporary folder of the processes this one starts is a folder of its own,
// removed with everything in it at the end. The new process of a test ends by std::exit, which
// leaves its test's fixture undestroyed, and with it the temporary folders the fixture made (a
// session's ProgramData root): they go with this folder instead.
class ChildTemporaryFolder {
public:
    ChildTemporaryFolder() : folder_(host::makeTemporaryDirectory("korvant-child-")) {
        // Where POSIX and Windows look for the temporary folder.
        for (const char* name : {"TMPDIR", "TMP", "TEMP"}) {
            variables_.emplace_back(name, host::pathText(folder_));
        }
    }
    ~ChildTemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ChildTemporaryFolder(const ChildTemporaryFolder&) = delete;
    ChildTemporaryFolder& operator=(const ChildTemporaryFolder&) = delete;

private:
    std::filesystem::path folder_;
    std::deque<host::ScopedEnvironmentVariable> variables_;
};

// Runs `checks` in a new process of this program that has run nothing but this test up to this
// call; their failures fail the test here.
template <typename Checks> void inNewProcess(Checks&& checks) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        const ChildTemporaryFolder temporary;
        EXPECT_EXIT(std::exit(exitCodeOfChecks(checks)), ::testing::ExitedWithCode(0), "")
            << "the checks failed in the new process";
    }
    GTEST_FLAG_SET(death_test_style, style);
}

} // namespace korvant::testing
