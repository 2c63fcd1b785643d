#include "journal.h"

namespace korvant3emu {
namespace {

using nlohmann::json;

// A demonstration that runs for days polls often; the oldest entries go first.
constexpr size_t kEntriesKept = 100000;

json parsedOrNull(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    json parsed = json::parse(text, nullptr, false);
    return parsed.is_discarded() ? json(nullptr) : parsed;
}

} // namespace

void Journal::record(const CallRecord& call) {
    json entry = {
        {"function", functionName(call.function)},
        {"handle", call.handle ? json(*call.handle) : json(nullptr)},
        {"request_text", call.request ? json(call.request) : json(nullptr)},
        {"request", parsedOrNull(call.request)},
        {"result", call.result},
        {"answer", nullptr},
    };
    if (call.answer) {
        json parsed = json::parse(*call.answer, nullptr, false);
        entry["answer"] = parsed.is_discarded() ? json(*call.answer) : parsed;
    }
    if (call.function == Function::open) {
        entry["address"] = call.address ? json(call.address) : json(nullptr);
    }
    if (call.task) {
        entry["task"] = *call.task;
    }
    entries_.push_back(std::move(entry));
    if (entries_.size() > kEntriesKept) {
        entries_.pop_front();
    }
}

std::string Journal::text() const {
    json list = json::array();
    for (const auto& entry : entries_) {
        list.push_back(entry);
    }
    // Requests and injected answers may hold bytes that are not UTF-8.
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace korvant3emu
