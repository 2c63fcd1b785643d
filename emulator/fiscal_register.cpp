#include "fiscal_register.h"

#include "check_code.h"
#include "codes.h"
#include "file_text.h"
#include "fiscal_sign.h"
#include "printouts.h"
#include "tape_page.h"

namespace korvant3emu {
namespace {

constexpr int64_t kShiftLimitSeconds = 24 * 60 * 60;
// Fiscal documents kept for printing copies.
constexpr size_t kPrintedKept = 1000;

} // namespace

FiscalRegister::FiscalRegister(Identity identity, FiscalState state, Clock clock,
                               std::string tapePath)
    : identity_(std::move(identity)), state_(std::move(state)), clock_(clock),
      tapePath_(std::move(tapePath)), pagePath_(pagePathBeside(tapePath_)) {}

void FiscalRegister::replaceState(FiscalState state, std::optional<OpenDocument> document) {
    restore(std::move(state), std::move(document));
    printed_.clear();
}

void FiscalRegister::restore(FiscalState state, std::optional<OpenDocument> document) {
    state_ = std::move(state);
    document_ = std::move(document);
    discardPrintouts();
}

void FiscalRegister::commitPrintouts() {
    if (!tapePath_.empty() && !pendingPrintouts_.empty()) {
        // Out of paper is not the fiscal storage's concern: the document stands.
        std::string torn;
        for (const Layout& document : pendingPrintouts_) {
            torn += document.text() + std::string(identity_.line_length, '=') + "\n";
        }
        appendFileText(tapePath_, torn);
        for (const Layout& document : pendingPrintouts_) {
            appendToPage(pagePath_, document);
        }
    }
    for (auto& [number, document] : pendingPrinted_) {
        printed_.insert_or_assign(number, std::move(document));
        if (printed_.size() > kPrintedKept) {
            printed_.erase(printed_.begin());
        }
    }
    discardPrintouts();
}

void FiscalRegister::discardPrintouts() {
    pendingPrintouts_.clear();
    pendingPrinted_.clear();
}

int FiscalRegister::shiftState() const {
    if (!state_.shift.open) {
        return kShiftClosed;
    }
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

void FiscalRegister::issueFiscal(Layout& document, std::optional<ReceiptSums> receipt) {
    LastDocument issued;
    issued.number = state_.last.number + 1;
    issued.date = clock_.nextDocumentDate(state_.last.date);
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
