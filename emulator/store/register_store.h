#pragma once
// The register as every process that names the same state file shares it. Each operation takes
// the register: an exclusive lock held for the operation alone (on a lock file beside the state
// file, since the state file itself is replaced by a rename and a lock on it would stay with the
// replaced file), waited for at most a bounded time; under the lock the state is read again when
// another process changed it since, and whatever that process left unprinted is printed; the
// operation's result is stored before the lock is let go and before it is answered. So any
// number of processes see one register, as the clients of a real one do.
//
// Beside the state file: `.lock` (the lock, the revision of the stored state and the clients
// waiting their turn), `.document` (the open document's record) and a `.client-<process>` file
// for each process using the register, locked by it while it lives, by which others tell
// whether it is still there. Without a state file the register is this process's alone and
// lives in memory.

#include "files/file_lock.h"
#include "printer/printer.h"
#include "register/fiscal_register.h"
#include "store/client_turns.h"
#include "store/document_record.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace korvant3emu {

class RegisterStore {
public:
    RegisterStore();
    ~RegisterStore();
    RegisterStore(const RegisterStore&) = delete;
    RegisterStore& operator=(const RegisterStore&) = delete;

    // A register on the state file at `statePath`, or in memory for an empty path, which is
    // `initial` until a state is stored; this process takes a new name.
    void configure(const std::string& statePath, FiscalState initial = {});
    bool shared() const { return !statePath_.empty(); }
    // This process's name among the register's clients.
    const std::string& process() const { return process_; }

    // Takes the register for one operation, bringing the device up to date with the state file
    // and completing the paper. False when another process kept it beyond `wait`; StateFileError
    // when the state file (or the document's record) cannot be used.
    bool take(FiscalRegister& device, const Printer& printer, std::chrono::milliseconds wait);
    // Lets the register go, recording the waiting clients as they are now.
    void release();

    // The clients waiting their turn, while the register is taken.
    std::vector<Waiting>& waiting() { return waiting_; }

    // Stores what an operation changed, before it is answered and before its print job is
    // printed: the whole state when it changed beyond the open document's positions (synced to
    // the disk when `durable`), else only the changes of the document, appended to its record.
    // When that fails the device goes back to the state stored before, and the operation is
    // refused (Refusal, the register could not store its state).
    void store(FiscalRegister& device, const PrintJob& printing, bool durable);

    // Whether a process other than this one still uses the register.
    bool processPresent(const std::string& process);

    // Why the last write of the state failed; empty once a write succeeded.
    const std::string& error() const { return error_; }

private:
    void enter();
    void reload(FiscalRegister& device, const Printer& printer);
    // A new revision of the stored state, recorded before the state is written, so that a
    // process that sees the lock file after any part of the write reads the state again.
    bool newRevision();
    std::string noteText() const;
    void forgetStale();

    std::string statePath_;
    FiscalState initial_;
    std::string process_;
    FileLock lock_;
    FileLock presence_; // this process's client file, locked while it lives
    std::string note_;  // the lock file's content when the register was taken
    std::optional<std::string> seenRevision_;
    std::string revision_;
    std::vector<Waiting> waiting_;
    DocumentRecord record_;
    // What the state file holds, as far as deciding what to write goes.
    std::optional<FiscalState> storedState_;
    nlohmann::json storedHeader_;
    std::string error_;
};

} // namespace korvant3emu
