// The receipt package reader, and every request ProcessCheck and
// ProcessCorrectionCheck build from what it read.
#include "document_checks.h"
#include "documents/receipt_record.h"
#include "operations/receipt/line_sums.h"
#include "operations/receipt/receipt_requests.h"
#include "operations/receipt/sale_requests.h"

namespace korvant::fuzz {
namespace {

void requireTexts(const AgentDataRecord& agent, const VendorDataRecord& vendor) {
    for (const std::string* text :
         {&agent.agentOperation, &agent.agentPhone, &agent.paymentProcessorPhone,
          &agent.acquirerOperatorPhone, &agent.acquirerOperatorName, &agent.acquirerOperatorAddress,
          &agent.acquirerOperatorINN, &vendor.vendorName, &vendor.vendorPhone, &vendor.vendorINN}) {
        requireUtf8(*text, "agent and vendor texts are UTF-8");
    }
}

void checkPosition(const ReceiptRecord& receipt, const ReceiptPosition& position,
                   ReceiptUnits& units) {
    if (position.kind != PositionKind::FiscalString) {
        requireUtf8(position.text, "a text line is UTF-8");
        requireUtf8(position.barcodeValue, "a barcode value is UTF-8");
        requireRequest(textRequest(position));
        return;
    }
    requireUtf8(position.name, "a name is UTF-8");
    requireUtf8(position.markingCode, "a marking code is UTF-8");
    requireTexts(position.agentData, position.vendorData);
    const MarkingRule marking{markStatusOf(receipt.operationType), 30000};
    requireRequest(saleItemRequest(position, marking, units));
    // The correction item of the same position.
    requireRequest(
        receiptItemRequest(position, lineSums(position, ZeroQuantity::PriceAsGiven, units)));
    requireRequest(
        agentRequest(position.calculationAgent, position.agentData, position.vendorData));
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const ReceiptRecord receipt(asText(data, size));
    for (const std::string* text :
         {&receipt.cashierName, &receipt.cashierInn, &receipt.customerInfo, &receipt.customerINN,
          &receipt.customerEmail, &receipt.customerPhone, &receipt.customerDetail.address,
          &receipt.customerDetail.documentData, &receipt.correction.description,
          &receipt.correction.documentNumber}) {
        requireUtf8(*text, "receipt texts are UTF-8");
    }
    requireTexts(receipt.agentData, receipt.vendorData);

    ReceiptUnits units;
    requireRequest(receiptOpenRequest(receipt, 0, units));
    for (const ReceiptPosition& position : receipt.positions) {
        checkPosition(receipt, position, units);
    }
    requireRequest(agentRequest(receipt.agentType, receipt.agentData, receipt.vendorData));
    requireRequest(receiptCloseRequest(receipt.payments, units));
    return 0;
}
