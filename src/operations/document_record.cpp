#include "operations/document_record.h"

#include <nlohmann/json.hpp>

#include "config/log.h"
#include "platform/file_system.h"

namespace korvant {
namespace {

using nlohmann::json;

constexpr const char* kRecordWhere = "AddInKorvant::documentRecord";
constexpr std::string_view kEvidence[] = {"fiscal_number", "drawer"};

// Only letters, digits, '-' and '_' of a serial number go into a file name.
std::string fileNameOf(const std::string& serial) {
    std::string name = "document";
    if (!serial.empty()) {
        name += '-';
        for (const char c : serial) {
            const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                               (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
            name += plain ? c : '_';
        }
    }
    return name + ".json";
}

template <typename T> void setIf(json& object, const char* name, const std::optional<T>& value) {
    if (value) {
        object[name] = *value;
    }
}

template <typename T> std::optional<T> optionalOf(const json& object, const char* name) {
    if (!object.contains(name)) {
        return std::nullopt;
    }
    return object.at(name).get<T>();
}

std::string textOf(const DocumentRecord& record) {
    json text = {{"process", {{"id", record.process.id}, {"started", record.process.started}}},
                 {"active", record.active}};
    if (const auto& closing = record.closing) {
        json pending = {{"evidence", kEvidence[static_cast<size_t>(closing->evidence)]},
                        {"cash_change", closing->cashChange},
                        {"package", closing->package}};
        setIf(pending, "last_before", closing->lastBefore);
        setIf(pending, "shift", closing->shift);
        setIf(pending, "cash_before", closing->cashBefore);
        text["closing"] = std::move(pending);
    }
    return text.dump() + "\n";
}

std::optional<DocumentRecord> recordOf(std::string_view text) {
    const json stored = json::parse(text, nullptr, false);
    if (!stored.is_object()) {
        return std::nullopt;
    }
    try {
        DocumentRecord record;
        record.process.id = stored.at("process").at("id").get<uint64_t>();
        record.process.started = stored.at("process").at("started").get<uint64_t>();
        record.active = stored.at("active").get<bool>();
        if (stored.contains("closing")) {
            const json& pending = stored.at("closing");
            PendingClosing closing;
            closing.evidence = pending.at("evidence") == kEvidence[1]
                                   ? ClosingEvidence::Drawer
                                   : ClosingEvidence::FiscalNumber;
            closing.lastBefore = optionalOf<uint32_t>(pending, "last_before");
            closing.shift = optionalOf<uint16_t>(pending, "shift");
            closing.cashBefore = optionalOf<int64_t>(pending, "cash_before");
            closing.cashChange = pending.at("cash_change").get<int64_t>();
            closing.package = pending.at("package").get<std::string>();
            record.closing = std::move(closing);
        }
        return record;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

} // namespace

bool filledByAnotherProcess(const std::optional<DocumentRecord>& record) {
    return record && record->active && !(record->process == currentProcess()) &&
           processAlive(record->process);
}

std::string packageDigest(std::string_view requests) {
    // 64-bit FNV-1a over the bytes, and their count.
    uint64_t hash = 14695981039346656037ull;
    for (const char c : requests) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char digits[17];
    static constexpr char kHex[] = "0123456789abcdef";
    for (int i = 15; i >= 0; --i) {
        digits[i] = kHex[hash & 0xF];
        hash >>= 4;
    }
    digits[16] = '\0';
    return std::string(digits) + ":" + std::to_string(requests.size());
}

DocumentRecords::DocumentRecords(ComponentState& state)
    : state_(state), path_(state.dataFolder + pathFromUtf8(fileNameOf(state.settings.serial))) {}

std::optional<DocumentRecord> DocumentRecords::read() const {
    const FileRead file = readRegularFile(path_);
    switch (file.outcome) {
    case FileRead::Outcome::Read:
        return recordOf(file.bytes);
    case FileRead::Outcome::Missing:
        return recordOf(state_.unstoredDocumentRecord);
    case FileRead::Outcome::Unreadable:
        KORVANT_LOG(kRecordWhere, "the record ", pathToUtf8(path_), " cannot be read (",
                    file.problem, ")");
        break;
    }
    return std::nullopt;
}

void DocumentRecords::write(const DocumentRecord& record) {
    const std::string text = textOf(record);
    std::string problem;
    if (replaceRegularFile(path_, text, &problem, record.closing.has_value())) {
        state_.unstoredDocumentRecord.clear();
        return;
    }
    KORVANT_LOG(kRecordWhere, "the record ", pathToUtf8(path_), " cannot be stored (", problem,
                "): this process keeps it");
    state_.unstoredDocumentRecord = text;
}

void DocumentRecords::remove() {
    state_.unstoredDocumentRecord.clear();
    if (!removeFile(path_)) {
        KORVANT_LOG(kRecordWhere, "the record ", pathToUtf8(path_), " cannot be removed");
    }
}

void DocumentRecords::removeOwn() {
    const auto record = read();
    if (record && record->process == currentProcess()) {
        remove();
    }
}

} // namespace korvant
