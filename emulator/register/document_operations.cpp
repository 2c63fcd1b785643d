// Receipts, correction receipts and cash documents: opening, positions,
// agent data, closing with payments, cancelling.

#include "protocol/codes.h"
#include "register/fiscal_register.h"
#include "register/item_codes.h"
#include "register/printouts.h"
#include "register/random_token.h"
#include "register/receipt_arithmetic.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <utility>

namespace korvant3emu {
namespace {

// No single payment may exceed this (a hundred billion currency units), so
// their sum cannot overflow.
constexpr int64_t kPaymentLimit = int64_t(1000000000000000);

bool oneTaxSystemOf(int64_t taxcode, int64_t registered) {
    return taxcode > 0 && std::has_single_bit(static_cast<uint64_t>(taxcode)) &&
           (taxcode & registered) == taxcode;
}

// The register keeps the buyer's citizenship and identity document kind in two
// bytes and the date of birth in four (signed seconds).
bool buyerFits(const BuyerIdentity& buyer) {
    const auto within = [](const std::optional<int64_t>& value, int64_t low, int64_t high) {
        return !value || (*value >= low && *value <= high);
    };
    return within(buyer.citizenship, 0, 0xFFFF) && within(buyer.ident_type, 0, 0xFFFF) &&
           within(buyer.birth_date, std::numeric_limits<int32_t>::min(),
                  std::numeric_limits<int32_t>::max());
}

} // namespace

void FiscalRegister::openDocument(const OpenDocRequest& request) {
    requireFiscal();
    refuseUnless(state_.shift.open, extended::not_allowed, "the shift is closed");
    const auto kind = docKindOf(request.doc_kind);
    // A receipt will be a fiscal document; a cash document is not.
    if (!kind || !isCashDocument(*kind)) {
        requireClockNotBehind();
    }
    refuseUnless(shiftState() != kShiftExpired, extended::shift_expired,
                 "the shift is older than 24 hours");
    refuseUnless(!document_, extended::not_allowed, "a document is already open");
    refuseUnless(kind.has_value(), extended::bad_parameters, "unknown doc_kind");
    if (!isCashDocument(*kind)) {
        refuseUnless(oneTaxSystemOf(request.taxcode, state_.registration.taxcode),
                     extended::bad_parameters,
                     "taxcode must name one taxation system of the registration");
    }
    refuseUnless(buyerFits(request.buyer), extended::bad_parameters,
                 "citizenship and client_ident_type must fit two bytes, birth_date four");
    if (isCorrection(*kind)) {
        refuseUnless(request.correction.kind == 0 || request.correction.kind == 1,
                     extended::bad_parameters, "correction_kind must be 0 or 1");
    }

    OpenDocument document;
    document.id = randomToken();
    document.kind = *kind;
    document.cashier = request.cashier;
    document.taxcode = request.taxcode;
    document.client_name = request.client_name;
    document.client_inn = request.client_inn;
    document.client_contact = request.client_contact;
    document.buyer = request.buyer;
    document.correction = request.correction;
    document_ = std::move(document);
}

void FiscalRegister::addItem(Item item) {
    refuseUnless(document_.has_value(), extended::not_allowed, "no document is open");
    refuseUnless(!isCashDocument(document_->kind), extended::not_allowed,
                 "a cash document takes no items");
    refuseUnless(item.tax_id >= 1 && item.tax_id <= 6, extended::bad_parameters,
                 "tax_id must be 1 to 6");
    refuseUnless(paymentMethodTitle(item.payment_method) != nullptr, extended::bad_parameters,
                 "payment_method must be 1 to 7");
    refuseUnless(calculationSubjectTitle(item.item_attr) != nullptr, extended::bad_parameters,
                 "item_attr must be a calculation subject the register knows");
    refuseUnless(knownMeasure(item.unit), extended::bad_parameters,
                 "unit_id must be a measure the register knows");
    refuseUnless(item.quant > 0, extended::bad_parameters, "quant must be positive");
    refuseUnless(item.price >= 0 && item.discount >= 0, extended::bad_parameters,
                 "price and item_disc_abs must not be negative");
    const auto total = positionTotal(item.price, item.quant, item.discount);
    refuseUnless(total.has_value() && *total >= 0, extended::bad_parameters,
                 "the item total is negative or too large");
    int64_t documentTotal = 0;
    refuseUnless(!__builtin_add_overflow(document_->total, *total, &documentTotal),
                 extended::bad_parameters, "the receipt total is too large");

    item.total = *total;
    document_->total = documentTotal;
    document_->positions.emplace_back(std::move(item));
    changed(DocumentChange::Kind::position, document_->positions.size() - 1);
}

void FiscalRegister::addText(const TextLine& line) {
    refuseUnless(document_.has_value(), extended::not_allowed, "no document is open");
    refuseUnless(line.text_type >= 1 && line.text_type <= 5, extended::bad_parameters,
                 "text_type must be 1 to 5");
    document_->positions.emplace_back(line);
    changed(DocumentChange::Kind::position, document_->positions.size() - 1);
}

void FiscalRegister::setAgent(const AgentRequest& request) {
    refuseUnless(document_.has_value(), extended::not_allowed, "no document is open");
    auto& positions = document_->positions;
    const auto last = std::find_if(positions.rbegin(), positions.rend(), [](const Position& p) {
        return std::holds_alternative<Item>(p);
    });
    refuseUnless(last != positions.rend(), extended::not_allowed,
                 "agent data needs an item before it");
    refuseUnless(request.agent >= 1 && request.agent <= 7, extended::bad_parameters,
                 "agent must be 1 to 7");
    Item& item = std::get<Item>(*last);
    nlohmann::json previous = std::exchange(item.agent, request.texts);
    item.agent["agent"] = request.agent;
    changed(DocumentChange::Kind::agent, size_t(positions.rend() - last) - 1, std::move(previous));
}

void FiscalRegister::closeDocument(const Payments& payments) {
    refuseUnless(document_.has_value(), extended::not_allowed, "no document is open");
    for (int64_t amount :
         {payments.cash, payments.credit, payments.prepay, payments.postpay, payments.otherpay}) {
        refuseUnless(amount >= 0 && amount <= kPaymentLimit, extended::payment_error,
                     "a payment is negative or too large");
    }
    if (isCashDocument(document_->kind)) {
        closeCashDocument(payments);
    } else {
        closeReceipt(payments);
    }
}

void FiscalRegister::closeReceipt(const Payments& payments) {
    requireClockNotBehind();
    const OpenDocument& receipt = *document_;
    // A correction of the older kind carries only its sums; a receipt needs an item.
    const bool sumsOnly = receipt.itemCount() == 0;
    refuseUnless(!sumsOnly || isCorrection(receipt.kind), extended::not_allowed,
                 "a receipt needs at least one item");
    const int64_t total = sumsOnly ? payments.sum() : receipt.total;
    refuseUnless(payments.sum() >= total, extended::not_enough_money,
                 "the payments are below the receipt total");
    refuseUnless(payments.nonCash() <= total, extended::payment_error,
                 "the non-cash payments exceed the receipt total");
    const int64_t change = payments.sum() - total;
    const int64_t cashMoved = payments.cash - change;
    const bool cashIn = cashComesIn(receipt.kind);
    refuseUnless(cashIn || cashMoved <= state_.cash, extended::not_enough_money,
                 "not enough cash in the drawer");

    Counter& group = counter(state_, counterGroupOf(receipt.kind));
    group.check_count += 1;
    group.check_total += total;
    state_.shift.doc_number += 1;
    state_.cash += cashIn ? cashMoved : -cashMoved;
    const int64_t date = nextDocumentDate();
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printReceipt(document, receipt, {payments, total, change},
                 {state_.shift.id, state_.shift.doc_number, date});
    issueFiscal(document, date, ReceiptSums{receipt.kind, total});
    document_.reset();
}

void FiscalRegister::closeCashDocument(const Payments& payments) {
    const bool cashIn = document_->kind == DocKind::cash_in;
    refuseUnless(cashIn || payments.cash <= state_.cash, extended::not_enough_money,
                 "not enough cash in the drawer");

    // A register's non-fiscal document: numbered by a counter of its own, with no fiscal
    // number or sign, moving the drawer and the shift's cash totals.
    state_.cash += cashIn ? payments.cash : -payments.cash;
    Counter& moves = cashIn ? state_.cash_in : state_.cash_out;
    moves.check_count += 1;
    moves.check_total += payments.cash;
    state_.cash_documents += 1;
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printCashDocument(document, *document_, payments.cash, state_.cash,
                      {state_.shift.id, state_.cash_documents, now()});
    issuePlain(document);
    document_.reset();
}

void FiscalRegister::cancelDocument() {
    refuseUnless(document_.has_value(), extended::not_allowed, "no document is open");

    Layout document = newLayout();
    printCancelled(document, *document_);
    issuePlain(document);
    document_.reset();
}

} // namespace korvant3emu
