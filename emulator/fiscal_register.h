#pragma once
// The emulated fiscal register: its identity, the fiscal storage's state, the
// document open in it, its clock and its printer. Each operation first checks
// that the register can do it, raising a Refusal before it changes anything,
// then changes the state, prints and, for a fiscal document, numbers and signs it.

#include "clock.h"
#include "documents.h"
#include "layout.h"
#include "operation_requests.h"
#include "register_state.h"

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
    FiscalRegister(Identity identity, FiscalState state, Clock clock, std::string tapePath);

    const Identity& identity() const { return identity_; }
    const FiscalState& state() const { return state_; }
    const std::optional<OpenDocument>& document() const { return document_; }

    // The state read from a state file replaces the configured one, with the
    // document that was open when it was stored.
    void replaceState(FiscalState state, std::optional<OpenDocument> document);
    // Goes back to a state stored earlier, when the one an operation made could
    // not be stored; what the operation printed is discarded with it.
    void restore(FiscalState state, std::optional<OpenDocument> document);

    // What the operations printed goes to the paper only once the state that
    // goes with it is stored: a tape never shows a document the register could
    // lose. Appends the printouts of the last operation to the tape and its page.
    void commitPrintouts();
    void discardPrintouts();

    int64_t now() const { return clock_.now(state_.last.date); }
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
    void closeReceipt(const Payments& payments);
    void closeCashDocument(const Payments& payments);

    Layout newLayout() const { return Layout(identity_.line_length); }
    // What a receipt's check code tells beside the fiscal attributes.
    struct ReceiptSums {
        DocKind kind;
        int64_t total;
    };
    // Numbers, dates and signs the document, prints its fiscal attributes (and
    // a receipt's check code) and sends it to the printer.
    void issueFiscal(Layout& document, std::optional<ReceiptSums> receipt = std::nullopt);
    // Prints a document that carries no fiscal attributes.
    void issuePlain(Layout& document);
    void print(const Layout& document, std::optional<int64_t> fiscalNumber);

    Identity identity_;
    FiscalState state_;
    Clock clock_;
    std::string tapePath_;
    std::string pagePath_; // the tape as a page, beside it
    std::optional<OpenDocument> document_;
    std::map<int64_t, Layout> printed_; // recent fiscal documents by number
    // Printed by the operation under way, not yet on the tape and its page.
    std::vector<Layout> pendingPrintouts_;
    std::map<int64_t, Layout> pendingPrinted_;
};

} // namespace korvant3emu
