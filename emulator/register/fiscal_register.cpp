#include "register/fiscal_register.h"

#include "protocol/codes.h"
#include "register/check_code.h"
#include "register/fiscal_sign.h"
#include "register/printouts.h"

#include <utility>

namespace korvant3emu {
namespace {

constexpr int64_t kShiftLimitSeconds = 24 * 60 * 60;
// Fiscal documents kept for printing copies.
constexpr size_t kPrintedKept = 1000;

} // namespace

FiscalRegister::FiscalRegister(Identity identity, FiscalState state, Clock clock)
    : identity_(std::move(identity)), state_(std::move(state)), clock_(clock) {}

void FiscalRegister::replaceState(FiscalState state, std::optional<OpenDocument> document) {
    clock_.catchUp(state.last.date);
    state_ = std::move(state);
    document_ = std::move(document);
    discardPrintouts();
    changes_.clear();
    // Copies are printed only of documents the register holds.
    printed_.erase(printed_.upper_bound(state_.last.number), printed_.end());
}

std::vector<Layout> FiscalRegister::takePrintouts() {
    for (auto& [number, document] : pendingPrinted_) {
        printed_.insert_or_assign(number, std::move(document));
        if (printed_.size() > kPrintedKept) {
            printed_.erase(printed_.begin());
        }
    }
    pendingPrinted_.clear();
    return std::exchange(pendingPrintouts_, {});
}

std::vector<DocumentChange> FiscalRegister::takeChanges() {
    return std::exchange(changes_, {});
}

void FiscalRegister::discardPrintouts() {
    pendingPrintouts_.clear();
    pendingPrinted_.clear();
}

void FiscalRegister::claimDocument(const Client& owner) {
    if (document_) {
        document_->owner = owner;
    }
}

void FiscalRegister::changed(DocumentChange::Kind kind, size_t index,
                             nlohmann::json previousAgent) {
    document_->changes += 1;
    changes_.push_back({kind, index, document_->changes, std::move(previousAgent)});
}

void FiscalRegister::revertChanges(const std::vector<DocumentChange>& changes) {
    for (auto change = changes.rbegin(); change != changes.rend() && document_; ++change) {
        auto& positions = document_->positions;
        if (change->kind == DocumentChange::Kind::agent) {
            std::get<Item>(positions.at(change->index)).agent = change->previousAgent;
        } else {
            if (const auto* item = std::get_if<Item>(&positions.back())) {
                document_->total -= item->total;
            }
            positions.pop_back();
        }
        document_->changes -= 1;
    }
}

int FiscalRegister::shiftState() const {
    if (!state_.shift.open) {
        return kShiftClosed;
    }
    // Measured by the clock from the opening: a clock set back makes the shift younger, and
    // documents dated ahead of the clock do not age it.
    return now() - state_.shift.opened_at >= kShiftLimitSeconds ? kShiftExpired : kShiftOpen;
}

void FiscalRegister::requireFiscal() const {
    refuseUnless(!state_.archive_closed, extended::archive_closed,
                 "the fiscal storage archive is closed");
    refuseUnless(state_.registered, extended::not_registered, "the register is not registered");
}

void FiscalRegister::requireNoDocument() const {
    refuseUnless(!document_, extended::not_allowed, "a document is open");
}

void FiscalRegister::requireClockNotBehind() const {
    refuseUnless(now() >= state_.last.date, extended::clock_behind,
                 "the register's clock is before the date of the last fiscal document");
}

void FiscalRegister::issueFiscal(Layout& document, int64_t date,
                                 std::optional<ReceiptSums> receipt) {
    LastDocument issued;
    issued.number = state_.last.number + 1;
    issued.date = date;
    clock_.documentIssued(date);
    issued.sign = fiscalSign(state_.fn_serial, issued.number, issued.date, document.text());
    state_.last = issued;
    // An offline register keeps every document until an exchange that never
    // comes; an online one hands each to the tax operator at once.
    if (state_.registration.fd_mode & kOfflineMode) {
        if (state_.backlog.count++ == 0) {
            state_.backlog.first_document = issued.number;
            state_.backlog.first_date = issued.date;
        }
    }
    printFiscalFooter(document, state_, identity_.serial, issued);
    if (receipt) {
        printCheckCode(document,
                       receiptCheckCode(receipt->kind, receipt->total, state_.fn_serial, issued));
    }
    print(document, issued.number);
}

void FiscalRegister::issuePlain(Layout& document) {
    printPlainFooter(document, identity_.serial, now());
    print(document, std::nullopt);
}

void FiscalRegister::print(const Layout& document, std::optional<int64_t> fiscalNumber) {
    pendingPrintouts_.push_back(document);
    if (fiscalNumber) {
        pendingPrinted_.insert_or_assign(*fiscalNumber, document);
    }
}

void FiscalRegister::printText(const TextLine& line) {
    requireNoDocument();
    refuseUnless(line.text_type >= 1 && line.text_type <= 5, extended::bad_parameters,
                 "text_type must be 1 to 5");
    Layout document = newLayout();
    printTextLine(document, line);
    print(document, std::nullopt);
}

void FiscalRegister::printCopy(int64_t documentNumber) {
    requireNoDocument();
    const auto found = printed_.find(documentNumber);
    refuseUnless(found != printed_.end(), extended::bad_parameters,
                 "no such document among those printed since the register started");
    Layout copy = newLayout();
    copy.center("КОПИЯ");
    copy.append(found->second);
    print(copy, std::nullopt);
}

void FiscalRegister::reportX() {
    requireNoDocument();
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printShiftTotals(document, "ОТЧЕТ БЕЗ ГАШЕНИЯ", nullptr, state_);
    issuePlain(document);
}

} // namespace korvant3emu
