// ProcessCorrectionCheck: a correction receipt for sales or purchases.
#include <optional>
#include <utility>

#include "device/tag_dictionary.h"
#include "documents/receipt_record.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/receipt/issue_receipt.h"
#include "operations/receipt/line_sums.h"
#include "operations/receipt/receipt_checks.h"
#include "operations/receipt/receipt_requests.h"

namespace korvant {
namespace {

constexpr long kCorrectionPackageArgument = 1;
constexpr long kCorrectionOutputArgument = 2;

// Only sales (7) and purchases (8) are corrected; returns are not.
std::optional<int32_t> correctionDocKind(int32_t operationType) {
    switch (operationType) {
    case 1:
        return 7;
    case 3:
        return 8;
    default:
        return std::nullopt;
    }
}

Request correctionOpenRequest(const ReceiptRecord& receipt, int32_t docKind, ReceiptUnits& units) {
    Request open = receiptOpenRequest(receipt, docKind, units);
    open.set(tag::correction_kind, receipt.correction.kind);
    open.set(tag::correction_date, receipt.correction.date);
    open.setIfNotEmpty(tag::correction_document, receipt.correction.documentNumber);
    open.setIfNotEmpty(tag::correction_description, receipt.correction.description);
    return open;
}

// A correction item has the sums of a sale's item; a zero quantity, which has
// no unit price, is sent with the price after the discount for the register to
// judge. Text lines and barcodes go as items too, empty ones.
Request correctionItemRequest(const ReceiptPosition& position, ReceiptUnits& units) {
    return receiptItemRequest(position, lineSums(position, ZeroQuantity::PriceAsGiven, units));
}

std::optional<ReceiptPlan> correctionPlan(const ReceiptRecord& receipt) {
    const auto docKind = correctionDocKind(receipt.operationType);
    if (!docKind || !receiptValuesValid(receipt)) {
        return std::nullopt;
    }
    ReceiptUnits units;
    ReceiptPlan plan;
    plan.open = correctionOpenRequest(receipt, *docKind, units).text();
    for (const ReceiptPosition& position : receipt.positions) {
        plan.add(ReceiptCall::AddItem, correctionItemRequest(position, units));
    }
    return finishPlan(std::move(plan), receipt.payments, units);
}

} // namespace

MethodOutcome processCorrectionCheck(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const ReceiptRecord receipt(args.text(kCorrectionPackageArgument));
    if (!receipt.wellFormed) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    const auto plan = correctionPlan(receipt);
    if (!plan) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }
    return MethodOutcome::boolean(
        issueReceipt(state, *device, args, kCorrectionOutputArgument, *plan));
}

} // namespace korvant
