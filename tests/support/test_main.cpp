// The entry point of every test program.
//
// On Windows the program ends itself once its tests have reported: under wine, one process in some
// hundreds printed its last verdict and then never finished exiting (wine's own teardown of what
// the loaded add-in and the host set up, such as COM). Nothing remains to do at that point that a
// test could check, so the program skips the teardown instead of handing its verdict to it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef _WIN32
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
    return result;
}
