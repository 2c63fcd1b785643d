#pragma once
// What a process does once, such as starting the add-in's log in the folder of the first
// component it makes, is checked in a process of its own: the test program started anew for this
// one test (a death test in Google Test's terms, in the style that starts the program again
// rather than forking it), so such a test passes whether its program runs each test in a process
// of its own or all of them in one.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

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

// Runs `checks` in a new process of this program that has run nothing but this test up to this
// call; their failures fail the test here.
template <typename Checks> void inNewProcess(Checks&& checks) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(exitCodeOfChecks(checks)), ::testing::ExitedWithCode(0), "")
        << "the checks failed in the new process";
    GTEST_FLAG_SET(death_test_style, style);
}

} // namespace korvant::testing
