#pragma once
// Every call into the device library since the last reset or clear, in call
// order, with the request as received and the answer as handed back.

#include "protocol/functions.h"

#include <cstdint>
#include <deque>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvant3emu {

struct CallRecord {
    Function function;
    std::optional<int32_t> handle;
    const char* request = nullptr; // the request text, when the function takes one
    const char* address = nullptr; // the address given to korvant3_open
    int32_t result = 0;
    std::optional<std::string> answer;
    std::optional<uint32_t> task; // handed out by a task function or polled
};

class Journal {
public:
    void record(const CallRecord& call);
    // A JSON array of the entries.
    std::string text() const;
    void clear() { entries_.clear(); }

private:
    std::deque<nlohmann::json> entries_;
};

} // namespace korvant3emu
