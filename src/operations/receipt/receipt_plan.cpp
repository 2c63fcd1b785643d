#include "operations/receipt/receipt_plan.h"

#include "operations/receipt/receipt_requests.h"

namespace korvant {

std::optional<ReceiptPlan> finishPlan(ReceiptPlan plan, const ReceiptPayments& payments,
                                      ReceiptUnits& units) {
    plan.close = receiptCloseRequest(payments, units).text();
    if (!units.allConverted()) {
        return std::nullopt;
    }
    return plan;
}

} // namespace korvant
