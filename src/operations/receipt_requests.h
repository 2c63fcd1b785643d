#pragma once
// The requests both kinds of receipt share: how the document is opened (cashier,
// document kind, taxation system, customer) and closed (the five payment sums),
// and the conversion of money and quantities that refuses the whole receipt when
// one value cannot be converted.

#include <cstdint>
#include <optional>
#include <string>

#include "device/request.h"
#include "device/units.h"
#include "documents/receipt_record.h"

namespace korvant {

// Converts the money and quantities of one receipt into device units and
// remembers whether any of them could not be converted. Every request of the
// receipt is built first, so one bad value refuses the receipt before the
// register has seen anything of it.
class ReceiptUnits {
public:
    int64_t amount(double roubles) { return take(amountToDevice(roubles)); }
    int64_t quantity(double quantity) { return take(quantityToDevice(quantity)); }
    // A value the receipt cannot have at all, such as the unit price of a zero
    // quantity, a VAT rate the register has no slot for or a marking code that
    // does not decode.
    int64_t refuse() { return take(std::nullopt); }

    bool allConverted() const { return allConverted_; }

private:
    int64_t take(std::optional<int64_t> value) {
        allConverted_ = allConverted_ && value.has_value();
        return value.value_or(0);
    }

    bool allConverted_ = true;
};

// The open request's members common to receipts and correction receipts:
// "user_name" always, "user_inn" when given, "doc_kind", "taxcode" as the
// one-bit mask, and "client_name", "client_inn", "client_contact" when not empty.
Request receiptOpenRequest(const ReceiptRecord& receipt, int32_t docKind);

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
