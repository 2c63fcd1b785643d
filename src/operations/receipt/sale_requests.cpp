#include "operations/receipt/sale_requests.h"

#include <string>

#include "device/tag_dictionary.h"
#include "documents/base64.h"
#include "operations/receipt/device_codes.h"
#include "operations/receipt/line_sums.h"

namespace korvant {
namespace {

// The marking members go only when the receipt kind takes marking data. A
// code that does not decode refuses the receipt: a marked item sold without
// its code would be a sale the register never checked.
void addMarking(Request& item, const std::string& markingCode, const MarkingRule& marking,
                ReceiptUnits& units) {
    if (marking.markStatus == 0 || markingCode.empty()) {
        return;
    }
    std::string stamp;
    if (!decodeBase64(markingCode, stamp)) {
        units.refuse();
        return;
    }
    if (stamp.empty()) {
        return; // only blanks: no code at all
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
    Request item = receiptItemRequest(position, lineSums(position, ZeroQuantity::Refuse, units));
    addMarking(item, position.markingCode, marking, units);
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
    // A type without a code refuses the receipt before any request is sent.
    request.set(tag::agent, agentTypeCode(agentType).value_or(0));
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
