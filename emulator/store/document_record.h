#pragma once
// The record of the open document: a file beside the state file to which every change of the
// open document (a position, a text line, agent data) is appended as one line, so that adding a
// position costs the same at the ten-thousandth as at the first. The state file keeps the
// document as it was when last stored whole, with the number of changes folded into it; the
// record's first line names the document it belongs to, and each change carries its number, so
// a record left from another document, or changes already folded, are never applied twice. The
// document is folded into the state when it closes. A last line without its end was being
// written when its process ended: the change was never answered, and is no change.

#include "register/documents.h"

#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace korvant3emu {

class DocumentRecord {
public:
    DocumentRecord() = default;
    explicit DocumentRecord(std::string path) : path_(std::move(path)) {}
    ~DocumentRecord() { close(); }
    DocumentRecord(const DocumentRecord&) = delete;
    DocumentRecord& operator=(const DocumentRecord&) = delete;
    DocumentRecord(DocumentRecord&& other) noexcept { *this = std::move(other); }
    DocumentRecord& operator=(DocumentRecord&& other) noexcept;

    // Applies the changes of the record that belong to the document and come after those folded
    // into it. std::runtime_error when a finished line is damaged.
    void readInto(OpenDocument& document);

    // Appends changes of the document; false when they could not be written, the record then
    // holding what it held before.
    bool append(const OpenDocument& document, const std::vector<DocumentChange>& changes);

private:
    void close();

    std::string path_;
    // Kept open for appending while changes of one document come, one after the other.
    std::FILE* file_ = nullptr;
    std::string documentId_; // the document whose changes the record holds, as far as known
    uint64_t size_ = 0;      // its length up to the end of its last finished line
};

} // namespace korvant3emu
