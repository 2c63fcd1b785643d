#pragma once
// The position requests of a receipt (sale, sale return, purchase, purchase
// return): goods and services with their tax, marking and agent data, text
// lines and barcodes.

#include <cstdint>

#include "device/request.h"
#include "documents/receipt_record.h"
#include "operations/receipt/receipt_requests.h"

namespace korvant {

// How marking codes go with the items of one receipt.
struct MarkingRule {
    int32_t markStatus = 0; // 0: no marking data for any item
    int32_t timeoutMs = 0;  // the marking-code request time-out of the device settings
};

// 1 for a sale, 3 for a sale return, 0 (no marking data) otherwise.
int32_t markStatusOf(int32_t operationType);

// The item request of a fiscal string, with the sums of `lineSums` and, for
// sales and sale returns, its marking code. A zero quantity (no unit price) and
// a marking code that does not decode refuse the receipt through `units`.
Request saleItemRequest(const ReceiptPosition& position, const MarkingRule& marking,
                        ReceiptUnits& units);

// A text line ("text_type" 1) or barcode (2 to 5) with its text or value.
Request textRequest(const ReceiptPosition& position);

// The agent data of the receipt or of one position, as the register wants it
// after an item; empty (never sent) when neither agent nor vendor data is given.
// `agentType` decides which agent texts go: transfer operator and agent
// operation below 2 (negative included), the agent's phone below 4, the
// payment processor's phone for 2 and 3.
Request agentRequest(int32_t agentType, const AgentDataRecord& agent,
                     const VendorDataRecord& vendor);

} // namespace korvant
