#include "operations/sale_requests.h"

#include <string>

#include "device/tag_dictionary.h"
#include "documents/base64.h"
#include "documents/receipt_codes.h"

namespace korvant {
namespace {

// The host sends the price after the discount and the discount of the whole
// position; the register wants the unit price before the discount.
int64_t unitPriceBeforeDiscount(const ReceiptPosition& position, ReceiptUnits& units) {
    if (position.quantity == 0.0) {
        return units.refuse();
    }
    return units.amount(position.priceWithDiscount + position.discountAmount / position.quantity);
}

// The marking members go only when the receipt kind takes marking data and the
// code decodes; a code that does not decode leaves the item unmarked rather
// than stopping the sale.
void addMarking(Request& item, const std::string& markingCode, const MarkingRule& marking) {
    std::string stamp;
    if (marking.markStatus == 0 || markingCode.empty() || !decodeBase64(markingCode, stamp)) {
        return;
    }
    item.set(tag::mark_stamp, stamp);
    item.set(tag::item_attr_ext, 1);
    item.set(tag::timeout, marking.timeoutMs);
    item.set(tag::mark_status, marking.markStatus);
}

} // namespace

int32_t markStatusOf(int32_t operationType) {
    switch (operationType) {
    case 1:
        return 1;
    case 2:
        return 3;
    default:
        return 0;
    }
}

Request saleItemRequest(const ReceiptPosition& position, const MarkingRule& marking,
                        ReceiptUnits& units) {
    Request item = receiptItemRequest(position, unitPriceBeforeDiscount(position, units), units);
    item.set(tag::item_attr, position.calculationSubject);
    addMarking(item, position.markingCode, marking);
    item.set(tag::unit_id, position.measureOfQuantity);
    item.set(tag::country, position.countryOfOrigin);
    return item;
}

Request textRequest(const ReceiptPosition& position) {
    Request text;
    text.set(tag::text_type, static_cast<int32_t>(position.kind));
    text.set(tag::text,
             position.kind == PositionKind::TextString ? position.text : position.barcodeValue);
    return text;
}

Request agentRequest(int32_t agentType, const AgentDataRecord& agent,
                     const VendorDataRecord& vendor) {
    Request request;
    if (!agent.present && !vendor.present) {
        return request;
    }
    request.set(tag::agent, agentTypeCode(agentType));
    if (agent.present) {
        if (agentType < 2) {
            request.setIfNotEmpty(tag::transfer_op_addr, agent.acquirerOperatorAddress);
            request.setIfNotEmpty(tag::transfer_op_inn, agent.acquirerOperatorINN);
            request.setIfNotEmpty(tag::transfer_op_phone, agent.acquirerOperatorPhone);
            request.setIfNotEmpty(tag::transfer_op_name, agent.acquirerOperatorName);
            request.setIfNotEmpty(tag::payment_op_action, agent.agentOperation);
        }
        if (agentType < 4) {
            request.setIfNotEmpty(tag::payment_op_phone, agent.agentPhone);
        }
        if (agentType == 2 || agentType == 3) {
            request.setIfNotEmpty(tag::payment_reception_op_phone, agent.paymentProcessorPhone);
        }
    }
    if (vendor.present) {
        request.setIfNotEmpty(tag::provider_name, vendor.vendorName);
        request.setIfNotEmpty(tag::provider_inn, vendor.vendorINN);
        request.setIfNotEmpty(tag::provider_phone, vendor.vendorPhone);
    }
    return request;
}

} // namespace korvant
