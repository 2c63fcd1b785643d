#include "platform/sleep.h"

#ifdef _WIN32
#include <windows.h>
#include <timeapi.h>
#else
#include <thread>
#endif

namespace korvant::platform {

void sleepFor(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) {
        return;
    }
#ifdef _WIN32
    // The default timer tick is about 15.6 ms, which would stretch the short
    // first polls of a task (10 ms) to a tick and more. The finer resolution
    // is asked for only while we wait, so the system's is left as it was.
    const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    Sleep(static_cast<DWORD>(duration.count()));
    if (fineTimer) {
        timeEndPeriod(1);
    }
#else
    std::this_thread::sleep_for(duration);
#endif
}

} // namespace korvant::platform
