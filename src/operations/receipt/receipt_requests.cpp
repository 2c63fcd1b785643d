#include "operations/receipt/receipt_requests.h"

#include "device/tag_dictionary.h"
#include "operations/operation_support.h"
#include "operations/receipt/customer_detail.h"
#include "operations/receipt/device_codes.h"
#include "operations/receipt/line_sums.h"

namespace korvant {
namespace {

// Every position goes with the same internal code.
constexpr std::string_view kInternalCode = "123";

} // namespace

Request receiptOpenRequest(const ReceiptRecord& receipt, int32_t docKind, ReceiptUnits& units) {
    Request open = cashierRequest(receipt.cashierName, receipt.cashierInn);
    open.set(tag::doc_kind, docKind);
    // A system without a mask refuses the receipt before any request is sent.
    open.set(tag::taxcode, taxationMask(receipt.taxationSystem).value_or(0));
    open.setIfNotEmpty(tag::client_name, receipt.customerInfo);
    open.setIfNotEmpty(tag::client_inn, receipt.customerINN);
    open.setIfNotEmpty(tag::client_contact, customerContact(receipt));
    addCustomerDetail(open, receipt.customerDetail, units);
    return open;
}

Request receiptItemRequest(const ReceiptPosition& position, const LineSums& sums) {
    Request item;
    item.set(tag::dept_id, 0);
    item.set(tag::tax_id, sums.taxCode);
    item.set(tag::tax_value, sums.vat);
    item.set(tag::price, sums.price);
    item.set(tag::quant, sums.quantity);
    item.set(tag::item_disc_abs, sums.discount);
    item.set(tag::payment_method, position.paymentMethod);
    item.set(tag::item_attr, position.calculationSubject);
    item.set(tag::unit_id, position.measureOfQuantity);
    item.set(tag::name, position.name);
    item.set(tag::intcode, kInternalCode);
    return item;
}

const std::string& customerContact(const ReceiptRecord& receipt) {
    return receipt.customerPhone.empty() ? receipt.customerEmail : receipt.customerPhone;
}

Request receiptCloseRequest(const ReceiptPayments& payments, ReceiptUnits& units) {
    Request close;
    close.set(tag::cash, units.amount(payments.cash));
    close.set(tag::credit, units.amount(payments.electronic));
    close.set(tag::prepay, units.amount(payments.prepayment));
    close.set(tag::postpay, units.amount(payments.postpayment));
    close.set(tag::otherpay, units.amount(payments.barter));
    return close;
}

} // namespace korvant
