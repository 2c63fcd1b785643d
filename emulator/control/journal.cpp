#include "control/journal.h"

#include "device/json_depth.h"

namespace korvant3emu {
namespace {

using nlohmann::json;

// A demonstration that runs for days polls often; the oldest entries go first.
constexpr size_t kEntriesKept = 100000;

// Texts are kept parsed only when they nest no deeper than this: the journal
// copies and prints its entries, which recurses once per level.
constexpr size_t kDepthLimit = 256;

// The text parsed; nothing when it is no JSON, or nests too deep to be kept parsed.
std::optional<json> parsed(const std::string_view text) {
    if (korvant::nestsDeeperThan(text, kDepthLimit)) {
        return std::nullopt;
    }
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

json parsedOrNull(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    return parsed(text).value_or(json(nullptr));
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
        entry["answer"] = parsed(*call.answer).value_or(json(*call.answer));
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
