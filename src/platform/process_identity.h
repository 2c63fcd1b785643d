#pragma once
// A process of this machine, named so that it can be told alive later even by
// another process: its number and the time it started (a number alone may be
// given to a new process once the old one has ended).

#include <cstdint>

namespace korvant {

struct ProcessIdentity {
    uint64_t id = 0;
    uint64_t started = 0; // in the system's own units; 0 when it could not be read

    bool operator==(const ProcessIdentity&) const = default;
};

ProcessIdentity currentProcess();

// Whether that very process is still running (a process that has ended, and a
// new one that was given its number, are not).
bool processAlive(const ProcessIdentity& process);

} // namespace korvant
