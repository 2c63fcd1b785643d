// Peak memory of a whole process that makes a large receipt: the host, the
// add-in and the emulator, set up as in the benchmarks, then ProcessCheck of
// the number of positions given (1000 by default), as many times as asked (1
// by default; more make a steady run to profile), with the log off unless the
// third argument is "log". Prints one JSON line with the process's peak
// resident size before and after the receipts, in kB.
#include <sys/resource.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "bench_session.h"
#include "receipt_package.h"

namespace {

// VmHWM of /proc/self/status: the peak resident set so far, in kB.
long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

long maxRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int numberArgument(int argc, char** argv, int index, int fallback) {
    int number = fallback;
    if (argc > index) {
        const std::string_view text(argv[index]);
        std::from_chars(text.data(), text.data() + text.size(), number);
    }
    return number;
}

} // namespace

int main(int argc, char** argv) {
    using namespace korvant::bench;
    const int positions = numberArgument(argc, argv, 1, 1000);
    const int receipts = numberArgument(argc, argv, 2, 1);
    try {
        SessionOptions options;
        options.log = argc > 3 && std::string_view(argv[3]) == "log";
        auto& current = session(options);
        const std::string package = salePackage(positions);
        const long before = peakResidentKb();
        bool succeeded = true;
        {
            const auto processCheck = current.processCheck(package);
            for (int i = 0; i < receipts && succeeded; ++i) {
                succeeded = (*processCheck)();
            }
        }
        std::printf("{\"positions\":%d,\"succeeded\":%s,\"before_kb\":%ld,\"vmhwm_kb\":%ld,"
                    "\"maxrss_kb\":%ld}\n",
                    positions, succeeded ? "true" : "false", before, peakResidentKb(), maxRssKb());
        endSession();
        return succeeded ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "peak_memory: %s\n", failure.what());
        return 2;
    }
}
