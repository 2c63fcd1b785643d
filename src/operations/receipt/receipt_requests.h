#pragma once
// The requests both kinds of receipt share: how the document is opened (cashier,
// document kind, taxation system, customer), the members of every item, and how
// it is closed (the five payment sums).

#include <cstdint>
#include <optional>
#include <string>

#include "device/request.h"
#include "documents/receipt_record.h"
#include "operations/receipt/receipt_plan.h"

namespace korvant {

// The open request's members common to receipts and correction receipts:
// "user_name" always, "user_inn" when given, "doc_kind", "taxcode" as the
// one-bit mask, "client_name", "client_inn", "client_contact" when not empty,
// and the buyer's identity of addCustomerDetail (whose values may refuse the
// receipt through `units`).
Request receiptOpenRequest(const ReceiptRecord& receipt, int32_t docKind, ReceiptUnits& units);

struct LineSums;

// The members every item has: department 0, the tax code and sum, the price,
// quantity and discount of `sums`, the payment method, calculation subject and
// measure of quantity, the name and the internal code.
Request receiptItemRequest(const ReceiptPosition& position, const LineSums& sums);

// The customer's contact: the phone, or the e-mail address when there is no phone.
const std::string& customerContact(const ReceiptRecord& receipt);

// All five payment sums, always present, zero ones included.
Request receiptCloseRequest(const ReceiptPayments& payments, ReceiptUnits& units);

} // namespace korvant
