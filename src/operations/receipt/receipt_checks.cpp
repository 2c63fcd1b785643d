#include "operations/receipt/receipt_checks.h"

#include <algorithm>

#include "operations/receipt/device_codes.h"

namespace korvant {
namespace {

// An agent type counts only where it is sent: with agent or vendor data.
bool agentTypeKnown(int32_t agentType, const AgentDataRecord& agent,
                    const VendorDataRecord& vendor) {
    return (!agent.present && !vendor.present) || agentTypeCode(agentType).has_value();
}

} // namespace

bool receiptCodesKnown(const ReceiptRecord& receipt) {
    return taxationMask(receipt.taxationSystem).has_value() &&
           agentTypeKnown(receipt.agentType, receipt.agentData, receipt.vendorData);
}

bool positionValuesKnown(const ReceiptPosition& position) {
    if (position.kind != PositionKind::FiscalString) {
        return true;
    }
    return position.quantity >= 0 && position.priceWithDiscount >= 0 &&
           position.amountWithDiscount.value_or(0) >= 0 &&
           knownPaymentMethod(position.paymentMethod) &&
           knownCalculationSubject(position.calculationSubject) &&
           agentTypeKnown(position.calculationAgent, position.agentData, position.vendorData);
}

bool paymentsValid(const ReceiptPayments& payments) {
    return payments.cash >= 0 && payments.electronic >= 0 && payments.prepayment >= 0 &&
           payments.postpayment >= 0 && payments.barter >= 0;
}

bool receiptValuesValid(const ReceiptRecord& receipt) {
    return receiptCodesKnown(receipt) && paymentsValid(receipt.payments) &&
           std::all_of(receipt.positions.begin(), receipt.positions.end(), positionValuesKnown);
}

} // namespace korvant
