#pragma once
// The plan of a receipt: every request it sends, written out before the
// register sees any of it, with the money and quantities converted into device
// units. One value that cannot be converted refuses the whole receipt, so a
// refused receipt never leaves a half-filled document in the register.
// Receipts and correction receipts differ only in the requests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// The library calls that fill an open document.
enum class ReceiptCall { AddItem, AddText, SetAgent };

struct ReceiptStep {
    ReceiptCall call;
    std::string request;
};

// The request texts of one receipt, in the order they go to the register.
struct ReceiptPlan {
    std::string open;
    std::vector<ReceiptStep> steps;
    std::string close;

    void add(ReceiptCall call, const Request& request) { steps.push_back({call, request.text()}); }
};

// Completes `plan` with the close request; nothing when any value of the
// receipt could not be converted, so that the receipt is refused before the
// register has seen any of it.
std::optional<ReceiptPlan> finishPlan(ReceiptPlan plan, const ReceiptPayments& payments,
                                      ReceiptUnits& units);

} // namespace korvant
