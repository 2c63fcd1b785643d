// ProcessCheck: a sale, sale return, purchase or purchase return receipt.
#include <optional>
#include <utility>

#include "config/log.h"
#include "documents/receipt_record.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/receipt/issue_receipt.h"
#include "operations/receipt/receipt_checks.h"
#include "operations/receipt/receipt_requests.h"
#include "operations/receipt/sale_requests.h"

namespace korvant {
namespace {

constexpr long kCheckPackageArgument = 2;
constexpr long kCheckOutputArgument = 3;

// The document kind of each operation type: sale 0, sale return 1, purchase 5,
// purchase return 6.
std::optional<int32_t> receiptDocKind(int32_t operationType) {
    switch (operationType) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return 5;
    case 4:
        return 6;
    default:
        return std::nullopt;
    }
}

// Every request of the receipt, or nothing when the receipt must be refused
// (an unknown operation type, a value without meaning for the register, a value
// that cannot be converted).
std::optional<ReceiptPlan> receiptPlan(const ReceiptRecord& receipt,
                                       const DeviceSettings& settings) {
    const auto docKind = receiptDocKind(receipt.operationType);
    if (!docKind || !receiptValuesValid(receipt)) {
        return std::nullopt;
    }
    ReceiptUnits units;
    ReceiptPlan plan;
    plan.open = receiptOpenRequest(receipt, *docKind, units).text();
    const Request documentAgent =
        agentRequest(receipt.agentType, receipt.agentData, receipt.vendorData);
    const MarkingRule marking{markStatusOf(receipt.operationType), settings.markTimeoutMs};
    for (const ReceiptPosition& position : receipt.positions) {
        if (position.kind != PositionKind::FiscalString) {
            plan.add(ReceiptCall::AddText, textRequest(position));
            continue;
        }
        plan.add(ReceiptCall::AddItem, saleItemRequest(position, marking, units));
        // A position's own agent data replaces the receipt's; the two are never merged.
        const Request positionAgent =
            agentRequest(position.calculationAgent, position.agentData, position.vendorData);
        const Request& agent = positionAgent.empty() ? documentAgent : positionAgent;
        if (!agent.empty()) {
            plan.add(ReceiptCall::SetAgent, agent);
        }
    }
    return finishPlan(std::move(plan), receipt.payments, units);
}

} // namespace

MethodOutcome processCheck(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const std::string package = args.text(kCheckPackageArgument);
    KORVANT_LOG("AddInKorvant::processCheck", package);
    const ReceiptRecord receipt(package);
    if (!receipt.wellFormed) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    const auto plan = receiptPlan(receipt, state.settings);
    if (!plan) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    return MethodOutcome::boolean(issueReceipt(state, *device, args, kCheckOutputArgument, *plan));
}

} // namespace korvant
