#include "register/operation_requests.h"

#include "device/tag_dictionary.h"
#include "register/register_state.h"

#include <stdexcept>

namespace korvant3emu {

namespace tag = korvant::tag;

Cashier readCashier(const Request& request) {
    return {request.text(tag::user_name), request.text(tag::user_inn, {})};
}

Cashier readOptionalCashier(const Request& request) {
    return {request.text(tag::user_name, {}), request.text(tag::user_inn, {})};
}

namespace {

BuyerIdentity readBuyer(const Request& request) {
    const auto number = [&request](uint16_t tagNumber) {
        return request.has(tagNumber) ? std::optional<int64_t>(request.number(tagNumber))
                                      : std::nullopt;
    };
    return {request.text(tag::client_address, {}), number(tag::citizenship),
            number(tag::client_ident_type), request.text(tag::client_ident_data, {}),
            number(tag::birth_date)};
}

} // namespace

OpenDocRequest readOpenDoc(const Request& request) {
    OpenDocRequest open;
    open.cashier = readCashier(request);
    open.doc_kind = request.number(tag::doc_kind);
    const auto kind = docKindOf(open.doc_kind);
    const bool receipt = kind && !isCashDocument(*kind);
    open.taxcode = receipt ? request.number(tag::taxcode) : request.number(tag::taxcode, 0);
    open.client_name = request.text(tag::client_name, {});
    open.client_inn = request.text(tag::client_inn, {});
    open.client_contact = request.text(tag::client_contact, {});
    open.buyer = readBuyer(request);
    if (kind && isCorrection(*kind)) {
        open.correction.kind = request.number(tag::correction_kind);
        open.correction.date = request.number(tag::correction_date);
        open.correction.document = request.text(tag::correction_document, {});
        open.correction.description = request.text(tag::correction_description, {});
    }
    return open;
}

Item readItem(const Request& request) {
    Item item;
    item.name = request.text(tag::name);
    item.price = request.number(tag::price);
    item.quant = request.number(tag::quant);
    item.tax_id = request.number(tag::tax_id);
    item.discount = request.number(tag::item_disc_abs, 0);
    if (request.has(tag::tax_value)) {
        item.tax_value = request.number(tag::tax_value);
    }
    item.payment_method = request.number(tag::payment_method, 0);
    item.item_attr = request.number(tag::item_attr, 0);
    item.unit = request.number(tag::unit_id, 0);
    item.marked = !request.text(tag::mark_stamp, {}).empty();
    // Members the register keeps in the document but never prints; their types
    // are checked all the same.
    for (uint16_t number :
         {tag::dept_id, tag::country, tag::item_attr_ext, tag::timeout, tag::mark_status}) {
        request.number(number, 0);
    }
    request.text(tag::intcode, {});
    return item;
}

TextLine readText(const Request& request) {
    return {request.number(tag::text_type), request.text(tag::text)};
}

AgentRequest readAgent(const Request& request) {
    return {request.number(tag::agent), request.textMembersExcept(tag::agent)};
}

Payments readPayments(const Request& request) {
    Payments payments;
    payments.cash = request.number(tag::cash);
    payments.credit = request.number(tag::credit, 0);
    payments.prepay = request.number(tag::prepay, 0);
    payments.postpay = request.number(tag::postpay, 0);
    payments.otherpay = request.number(tag::otherpay, 0);
    return payments;
}

RegistrationRequest readRegistration(const Request& request) {
    RegistrationRequest registration;
    registration.cashier = readOptionalCashier(request);
    for (uint16_t needed : {tag::taxcode, tag::agents, tag::fd_mode, tag::fd_ext_mode}) {
        request.number(needed);
    }
    registration.members = nlohmann::json::object();
    const auto known = toJson(Registration{});
    for (const auto& [name, value] : request.json().items()) {
        if (known.contains(name)) {
            registration.members[name] = value;
        }
    }
    try {
        registrationFromJson(registration.members, {});
    } catch (const std::runtime_error& error) {
        throw BadRequest{error.what()};
    }
    if (request.has(tag::reg_reason)) {
        registration.reg_reason = request.number(tag::reg_reason);
    }
    if (request.has(tag::fd_serial)) {
        registration.fd_serial = request.text(tag::fd_serial);
    }
    return registration;
}

int64_t readDocumentNumber(const Request& request) {
    return request.number(tag::fd_number);
}

} // namespace korvant3emu
