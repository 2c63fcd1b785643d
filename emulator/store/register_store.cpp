#include "store/register_store.h"

#include "protocol/codes.h"
#include "register/random_token.h"
#include "store/persistence.h"

#include <filesystem>
#include <stdexcept>

namespace korvant3emu {
namespace {

using nlohmann::json;

std::filesystem::path utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// What tells the stored document apart from the one in memory, other than its changes.
json headerOf(const std::optional<OpenDocument>& document) {
    return document ? documentHeader(*document) : json();
}

} // namespace

RegisterStore::RegisterStore() {
    configure({});
}

RegisterStore::~RegisterStore() {
    configure({});
}

void RegisterStore::configure(const std::string& statePath, FiscalState initial) {
    lock_.close();
    if (presence_.isOpen()) {
        presence_.close();
        std::error_code ignored;
        std::filesystem::remove(utf8Path(statePath_ + ".client-" + process_), ignored);
    }
    statePath_ = statePath;
    initial_ = std::move(initial);
    process_ = randomToken();
    note_.clear();
    seenRevision_.reset();
    revision_.clear();
    waiting_.clear();
    record_ = DocumentRecord(statePath_.empty() ? std::string() : statePath_ + ".document");
    storedState_.reset();
    storedHeader_ = nullptr;
    error_.clear();
}

bool RegisterStore::take(FiscalRegister& device, const Printer& printer,
                         std::chrono::milliseconds wait) {
    if (!shared()) {
        return true;
    }
    const std::string lockPath = statePath_ + ".lock";
    if (!lock_.isOpen() && !lock_.open(lockPath)) {
        throw StateFileError{"cannot open the lock file " + lockPath};
    }
    if (!lock_.lock(wait)) {
        return false;
    }
    try {
        enter();
        note_ = lock_.read().value_or(std::string());
        const size_t end = note_.find('\n');
        revision_ = note_.substr(0, end);
        waiting_.clear();
        if (end != std::string::npos && end + 1 < note_.size()) {
            waiting_ = waitingFromText(note_.substr(end + 1));
        }
        if (!seenRevision_ || *seenRevision_ != revision_) {
            reload(device, printer);
            seenRevision_ = revision_;
        }
    } catch (...) {
        lock_.unlock();
        throw;
    }
    return true;
}

void RegisterStore::release() {
    if (!lock_.locked()) {
        return;
    }
    const std::string text = noteText();
    if (text != note_) {
        lock_.write(text);
    }
    lock_.unlock();
}

// The first time the register is taken, this process makes itself known (and clears away what
// processes that are gone left behind), under the lock so that no process is taken for gone
// while it is making itself known.
void RegisterStore::enter() {
    if (presence_.isOpen()) {
        return;
    }
    forgetStale();
    const std::string own = statePath_ + ".client-" + process_;
    if (!presence_.open(own) || !presence_.tryLock()) {
        presence_.close();
        throw StateFileError{"cannot create " + own};
    }
}

void RegisterStore::forgetStale() {
    const std::filesystem::path state = utf8Path(statePath_);
    const std::u8string prefix = state.filename().u8string() + u8".client-";
    std::error_code error;
    const std::filesystem::path folder =
        state.has_parent_path() ? state.parent_path() : std::filesystem::path(".");
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::u8string name = entry->path().filename().u8string();
        if (name.starts_with(prefix)) {
            const std::u8string tail = name.substr(prefix.size());
            processPresent(std::string(tail.begin(), tail.end()));
        }
    }
}

bool RegisterStore::processPresent(const std::string& process) {
    if (process == process_) {
        return true;
    }
    if (!shared()) {
        return false;
    }
    const std::string path = statePath_ + ".client-" + process;
    FileLock other;
    if (!other.open(path, false)) {
        return false;
    }
    if (!other.tryLock()) {
        return true;
    }
    other.close();
    std::error_code ignored;
    std::filesystem::remove(utf8Path(path), ignored);
    return false;
}

void RegisterStore::reload(FiscalRegister& device, const Printer& printer) {
    auto stored = loadStateFile(statePath_);
    if (!stored) {
        // Nothing stored yet: the register is as configured.
        storedState_.reset();
        storedHeader_ = nullptr;
        device.replaceState(initial_, std::nullopt);
        return;
    }
    if (stored->document) {
        try {
            record_.readInto(*stored->document);
        } catch (const std::runtime_error& error) {
            throw StateFileError{"the open document's record " + statePath_ +
                                 ".document is damaged: " + error.what()};
        }
    }
    storedState_ = stored->state;
    storedHeader_ = headerOf(stored->document);
    if (stored->document && stored->document->id.empty()) {
        // A document stored by an earlier version gets an identity, stored whole with its next
        // change, before any change of it goes to the record.
        stored->document->id = randomToken();
    }
    device.replaceState(std::move(stored->state), std::move(stored->document));
    printer.complete(stored->printing);
}

std::string RegisterStore::noteText() const {
    return revision_ + "\n" + waitingText(waiting_);
}

bool RegisterStore::newRevision() {
    revision_ = randomToken();
    seenRevision_ = revision_;
    note_ = noteText();
    return lock_.write(note_);
}

void RegisterStore::store(FiscalRegister& device, const PrintJob& printing, bool durable) {
    const std::vector<DocumentChange> changes = device.takeChanges();
    if (!shared()) {
        return;
    }
    const auto& document = device.document();
    json header = headerOf(document);
    const bool whole = !storedState_ || device.state() != *storedState_ ||
                       header != storedHeader_ || !printing.empty();
    if (!whole && (changes.empty() || !document)) {
        return;
    }
    std::string failure;
    if (!newRevision()) {
        failure = "cannot write " + statePath_ + ".lock";
    } else if (whole) {
        failure =
            writeStateFile(statePath_, stateFileText(device.state(), document, printing), durable);
    } else if (!record_.append(*document, changes)) {
        failure = "cannot write " + statePath_ + ".document";
    }
    if (failure.empty()) {
        error_.clear();
        if (whole) {
            storedState_ = device.state();
            storedHeader_ = std::move(header);
        }
        return;
    }
    error_ = failure;
    // Back to what the files hold; the operation did not happen.
    if (whole) {
        reload(device, Printer({}, {}));
    } else {
        device.revertChanges(changes);
    }
    throw Refusal{extended::not_stored, "the register could not store its state: " + failure};
}

} // namespace korvant3emu
