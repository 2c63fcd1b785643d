#include "store/document_record.h"

#include "files/file_text.h"

#include <stdexcept>
#include <string_view>
#include <utility>

namespace korvant3emu {
namespace {

using nlohmann::json;

std::string line(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

json parsedLine(std::string_view text) {
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded() || !value.is_object()) {
        throw std::runtime_error("a line of the open document's record is damaged");
    }
    return value;
}

} // namespace

DocumentRecord& DocumentRecord::operator=(DocumentRecord&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, nullptr);
        documentId_ = std::move(other.documentId_);
        size_ = other.size_;
    }
    return *this;
}

void DocumentRecord::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void DocumentRecord::readInto(OpenDocument& document) {
    close();
    documentId_.clear();
    size_ = 0;
    const auto text = readFileText(path_);
    if (!text || text->empty()) {
        return;
    }
    size_t start = 0;
    bool first = true;
    for (size_t end = text->find('\n'); end != std::string::npos; end = text->find('\n', start)) {
        const json value = parsedLine(std::string_view(*text).substr(start, end - start));
        start = end + 1;
        size_ = start;
        if (first) {
            first = false;
            documentId_ = value.value("document", std::string());
            if (document.id.empty() || documentId_ != document.id) {
                return; // another document's record
            }
        } else if (value.value("n", int64_t(0)) > document.changes) {
            applyChange(document, value);
        }
    }
}

bool DocumentRecord::append(const OpenDocument& document,
                            const std::vector<DocumentChange>& changes) {
    std::string text;
    const bool fresh = documentId_ != document.id;
    if (fresh) {
        text = line({{"document", document.id}});
    }
    for (const DocumentChange& change : changes) {
        text += line(toJson(document, change));
    }
    const uint64_t from = fresh ? 0 : size_;
    if (fresh || file_ == nullptr) {
        // Whatever follows the last finished line (an append that failed halfway, a record of
        // another document) goes first.
        close();
        if (fileSize(path_) != from && !truncateFile(path_, from)) {
            return false;
        }
        file_ = openForAppending(path_);
    }
    const bool written = file_ != nullptr &&
                         std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
                         std::fflush(file_) == 0;
    if (!written) {
        close();
        truncateFile(path_, from);
        return false;
    }
    documentId_ = document.id;
    size_ = from + text.size();
    return true;
}

} // namespace korvant3emu
