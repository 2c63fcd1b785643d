#pragma once
// The one place where exceptions stop: every entry point the host can reach runs
// its body through `guarded`, so nothing ever unwinds into the host.

#include <exception>

#include "config/log.h"

namespace korvant {

template <typename Result, typename Body>
Result guarded(const char* where, Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& error) {
        KORVANT_LOG(where, "unexpected failure: ", error.what());
    } catch (...) {
        KORVANT_LOG(where, "unexpected failure");
    }
    return fallback;
}

template <typename Body> void guardedVoid(const char* where, Body&& body) noexcept {
    guarded(where, 0, [&] {
        body();
        return 0;
    });
}

} // namespace korvant
