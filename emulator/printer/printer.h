#pragma once
// The register's printer: the paper tape (a text file, each document followed by a cut line)
// and, beside it, the same documents as a page. What an operation prints is first stored with
// the register's state as a print job, with the lengths the tape and the page had before it, and
// only then printed: whatever a process ending at any moment left unprinted or half printed, the
// next process to take the register finds in the state and completes, so that the paper holds
// every document the state holds, once.

#include "printer/layout.h"

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace korvant3emu {

struct PrintJob {
    uint64_t tapeSize = 0; // the tape's length before the job
    uint64_t pageSize = 0; // the page's
    std::vector<Layout> documents;

    bool empty() const { return documents.empty(); }
};

nlohmann::json toJson(const PrintJob& job);
// std::runtime_error names what is missing or wrong.
PrintJob printJobFromJson(const nlohmann::json& stored);

class Printer {
public:
    // Without a tape the register prints nowhere. `timePerDocument` is the printing's own time,
    // spent before the paper shows a document.
    Printer(std::string tapePath, std::chrono::milliseconds timePerDocument);

    bool hasPaper() const { return !tapePath_.empty(); }

    // The job of printing these documents on the paper as it is now; an empty job without paper.
    PrintJob job(std::vector<Layout> documents) const;
    // Prints the job. Out of paper is not the fiscal storage's concern: the documents stand.
    void print(const PrintJob& job) const;
    // Prints again what the paper lacks of a job printed (or begun) earlier: its part of the
    // tape or the page is written anew from where the job began. A paper shorter than where the
    // job began is another roll, and is left alone.
    void complete(const PrintJob& job) const;

private:
    std::string tapeText(const PrintJob& job) const;

    std::string tapePath_;
    std::string pagePath_;
    std::chrono::milliseconds timePerDocument_;
};

} // namespace korvant3emu
