#pragma once
// The emulated fiscal register: its identity, the fiscal storage's state, the
// document open in it and its clock. Each operation first checks that the
// register can do it, raising a Refusal before it changes anything, then changes
// the state, lays out what it prints and, for a fiscal document, numbers and
// signs it. What it printed and how the open document changed are handed over to
// be stored, and printed once stored.

#include "printer/layout.h"
#include "register/clock.h"
#include "register/documents.h"
#include "register/operation_requests.h"
#include "register/register_state.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvant3emu {

struct Identity {
    std::string serial;
    std::string firmware_version;
    size_t line_length = 48;
};

// Shift states as the register reports them.
inline constexpr int kShiftClosed = 0;
inline constexpr int kShiftOpen = 1;
inline constexpr int kShiftExpired = 2;

class FiscalRegister {
public:
    FiscalRegister(Identity identity, FiscalState state, Clock clock);

    const Identity& identity() const { return identity_; }
    const FiscalState& state() const { return state_; }
    const std::optional<OpenDocument>& document() const { return document_; }

    // The state read from a state file replaces the one in memory, with the document that was
    // open when it was stored (the configured state at the first reading, or what another
    // process made of it since), or the one stored before when an operation's state could not
    // be stored. What the operation printed or changed is discarded with it.
    void replaceState(FiscalState state, std::optional<OpenDocument> document);

    // What the last operation printed: to be stored, then printed. Fiscal documents among them
    // are kept for copies from then on.
    std::vector<Layout> takePrintouts();
    // How the last operations changed the open document, oldest first, since they were taken.
    std::vector<DocumentChange> takeChanges();
    void discardPrintouts();

    // Takes back changes that could not be stored, newest first.
    void revertChanges(const std::vector<DocumentChange>& changes);

    // The open document belongs to the client that opened it, or took it over.
    void claimDocument(const Client& owner);

    // The register's clock; it may read before the last fiscal document when it was set back.
    int64_t now() const { return clock_.now(); }
    void advanceClock(int64_t seconds) { clock_.advance(seconds); }
    int shiftState() const;
    // Registered and the archive still open: fiscal documents can be made.
    bool fiscal() const { return state_.registered && !state_.archive_closed; }

    void openShift(const Cashier& cashier);
    void closeShift(const Cashier& cashier);
    void openDocument(const OpenDocRequest& request);
    void addItem(Item item);
    void addText(const TextLine& line);
    void setAgent(const AgentRequest& request);
    void closeDocument(const Payments& payments);
    void cancelDocument();
    void printText(const TextLine& line);
    void reportX();
    void reportState();
    void registration(const RegistrationRequest& request);
    void closeArchive(const Cashier& cashier);
    void printCopy(int64_t documentNumber);

private:
    void requireFiscal() const;
    void requireNoDocument() const;
    // A fiscal document is dated by the clock, never before the last one: a clock set back
    // refuses it with its own code until it reads the last document's date again.
    void requireClockNotBehind() const;
    int64_t nextDocumentDate() const { return clock_.nextDocumentDate(state_.last.date); }
    void closeReceipt(const Payments& payments);
    void closeCashDocument(const Payments& payments);

    Layout newLayout() const { return Layout(identity_.line_length); }
    // What a receipt's check code tells beside the fiscal attributes.
    struct ReceiptSums {
        DocKind kind;
        int64_t total;
    };
    // Numbers the document, dates it `date` (nextDocumentDate(), taken before its body was
    // printed), signs it, prints its fiscal attributes (and a receipt's check code) and sends it
    // to the printer.
    void issueFiscal(Layout& document, int64_t date,
                     std::optional<ReceiptSums> receipt = std::nullopt);
    // Prints a document that carries no fiscal attributes.
    void issuePlain(Layout& document);
    void print(const Layout& document, std::optional<int64_t> fiscalNumber);

    // Counts a change of the open document, to be stored.
    void changed(DocumentChange::Kind kind, size_t index, nlohmann::json previousAgent = {});

    Identity identity_;
    FiscalState state_;
    Clock clock_;
    std::optional<OpenDocument> document_;
    std::vector<DocumentChange> changes_;
    std::map<int64_t, Layout> printed_; // recent fiscal documents by number
    // Printed by the operation under way, not yet on the tape and its page.
    std::vector<Layout> pendingPrintouts_;
    std::map<int64_t, Layout> pendingPrinted_;
};

} // namespace korvant3emu
