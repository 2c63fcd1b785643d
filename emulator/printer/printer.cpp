#include "printer/printer.h"

#include "files/file_text.h"
#include "files/stored_json.h"
#include "printer/tape_page.h"

#include <stdexcept>
#include <thread>

namespace korvant3emu {
namespace {

using nlohmann::json;

json toJson(const Layout& document) {
    auto codes = json::array();
    for (const PrintedCode& code : document.codes()) {
        codes.push_back({{"line", code.line},
                         {"type", static_cast<int64_t>(code.type)},
                         {"value", code.value}});
    }
    return {{"width", document.width()}, {"lines", document.lines()}, {"codes", codes}};
}

Layout layoutFromJson(const json& stored) {
    if (!stored.is_object()) {
        throw std::runtime_error("a printed document is not an object");
    }
    std::vector<std::string> lines;
    for (const json& line : stored::array(stored, "lines")) {
        if (!line.is_string()) {
            throw std::runtime_error("a printed line is not a text");
        }
        lines.push_back(line.get<std::string>());
    }
    std::vector<PrintedCode> codes;
    for (const json& code : stored::array(stored, "codes")) {
        const int64_t type = stored::number(code, "type");
        const int64_t line = stored::number(code, "line");
        if (type < static_cast<int64_t>(CodeType::ean8) ||
            type > static_cast<int64_t>(CodeType::qr) || line < 0 ||
            static_cast<uint64_t>(line) > lines.size()) {
            throw std::runtime_error("a printed code is out of place");
        }
        codes.push_back(
            {static_cast<size_t>(line), static_cast<CodeType>(type), stored::text(code, "value")});
    }
    const int64_t width = stored::number(stored, "width");
    if (width <= 0) {
        throw std::runtime_error("a printed document has no width");
    }
    return Layout(static_cast<size_t>(width), std::move(lines), std::move(codes));
}

// Writes `text` after the first `from` bytes of the file, unless the file already holds it
// there whole, or is shorter than `from`.
void completeFile(const std::string& path, uint64_t from, const std::string& text) {
    const uint64_t size = fileSize(path);
    if (size < from || size == from + text.size()) {
        return;
    }
    if (size > from && !truncateFile(path, from)) {
        return;
    }
    appendFileText(path, text);
}

} // namespace

json toJson(const PrintJob& job) {
    auto documents = json::array();
    for (const Layout& document : job.documents) {
        documents.push_back(toJson(document));
    }
    return {{"tape_size", job.tapeSize}, {"page_size", job.pageSize}, {"documents", documents}};
}

PrintJob printJobFromJson(const json& stored) {
    if (!stored.is_object()) {
        throw std::runtime_error("the print job is not an object");
    }
    PrintJob job;
    const int64_t tapeSize = stored::number(stored, "tape_size");
    const int64_t pageSize = stored::number(stored, "page_size");
    if (tapeSize < 0 || pageSize < 0) {
        throw std::runtime_error("the print job's paper lengths are negative");
    }
    job.tapeSize = static_cast<uint64_t>(tapeSize);
    job.pageSize = static_cast<uint64_t>(pageSize);
    for (const json& document : stored::array(stored, "documents")) {
        job.documents.push_back(layoutFromJson(document));
    }
    return job;
}

Printer::Printer(std::string tapePath, std::chrono::milliseconds timePerDocument)
    : tapePath_(std::move(tapePath)), pagePath_(pagePathBeside(tapePath_)),
      timePerDocument_(timePerDocument) {}

PrintJob Printer::job(std::vector<Layout> documents) const {
    if (!hasPaper()) {
        return {};
    }
    return {fileSize(tapePath_), fileSize(pagePath_), std::move(documents)};
}

std::string Printer::tapeText(const PrintJob& job) const {
    std::string text;
    for (const Layout& document : job.documents) {
        text += document.text() + std::string(document.width(), '=') + "\n";
    }
    return text;
}

void Printer::print(const PrintJob& job) const {
    if (!hasPaper() || job.empty()) {
        return;
    }
    if (timePerDocument_.count() > 0) {
        std::this_thread::sleep_for(timePerDocument_ * job.documents.size());
    }
    appendFileText(tapePath_, tapeText(job));
    appendFileText(pagePath_, pageText(job.documents, job.pageSize == 0));
}

void Printer::complete(const PrintJob& job) const {
    if (!hasPaper() || job.empty()) {
        return;
    }
    completeFile(tapePath_, job.tapeSize, tapeText(job));
    completeFile(pagePath_, job.pageSize, pageText(job.documents, job.pageSize == 0));
}

} // namespace korvant3emu
