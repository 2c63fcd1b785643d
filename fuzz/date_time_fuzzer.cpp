// ParseDateTime on arbitrary text and FormatDateTime on arbitrary seconds. In
// a zone without daylight saving every second from year 1 to 9999 is written
// and read back unchanged.
#include <cstdlib>
#include <ctime>

#include "documents/date_time.h"
#include "fuzz_support.h"

namespace {

constexpr int64_t kFirstSecond = -62135596800; // 0001-01-01T00:00:00
constexpr int64_t kLastSecond = 253402300799;  // 9999-12-31T23:59:59

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC0", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const std::string_view text = asText(data, size);
    const int64_t parsed = ParseDateTime(text);
    FormatDateTime(parsed);

    InputReader reader(data, size);
    const int64_t seconds = reader.number<int64_t>();
    const std::string written = FormatDateTime(seconds);
    if (seconds >= kFirstSecond && seconds <= kLastSecond) {
        require(written.size() == 19, "a date in range is written in 19 characters");
        require(ParseDateTime(written) == seconds, "a date reads back as written");
    }
    return 0;
}
