#include "register/register_state.h"

#include "device/tag_dictionary.h"
#include "files/stored_json.h"
#include "protocol/request.h"

#include <stdexcept>

namespace korvant3emu {
namespace {

using nlohmann::json;
namespace tag = korvant::tag;

constexpr std::array<uint16_t, kCounterGroups> kCounterTags{
    tag::sales,          tag::buys, tag::sales_return, tag::buys_return, tag::sales_correction,
    tag::buys_correction};

struct TextMember {
    uint16_t tag;
    std::string Registration::*field;
};
constexpr std::array<TextMember, 10> kRegistrationTexts{{
    {tag::company_name, &Registration::company_name},
    {tag::company_inn, &Registration::company_inn},
    {tag::sale_address, &Registration::sale_address},
    {tag::sale_location, &Registration::sale_location},
    {tag::ofd_name, &Registration::ofd_name},
    {tag::ofd_inn, &Registration::ofd_inn},
    {tag::fns_site, &Registration::fns_site},
    {tag::sender_email, &Registration::sender_email},
    {tag::automat_number, &Registration::automat_number},
    {tag::regnum, &Registration::regnum},
}};

struct NumberMember {
    uint16_t tag;
    int64_t Registration::*field;
};
constexpr std::array<NumberMember, 4> kRegistrationNumbers{{
    {tag::taxcode, &Registration::taxcode},
    {tag::agents, &Registration::agents},
    {tag::fd_mode, &Registration::fd_mode},
    {tag::fd_ext_mode, &Registration::fd_ext_mode},
}};

} // namespace

Registration defaultRegistration() {
    Registration r;
    r.company_name = "ООО \"Ромашка\"";
    r.company_inn = "7701000001";
    r.sale_address = "г. Москва, ул. Примерная, д. 1";
    r.sale_location = "Магазин";
    r.ofd_name = "ООО \"Оператор фискальных данных\"";
    r.ofd_inn = "7702000002";
    r.fns_site = "www.nalog.gov.ru";
    r.sender_email = "kkt@example.com";
    r.regnum = "0000000001000001";
    r.taxcode = 0x3F;
    r.agents = 0x7F;
    return r;
}

Registration registrationFromJson(const json& object, Registration base) {
    if (!object.is_object()) {
        throw std::runtime_error("registration is not an object");
    }
    for (const auto& [name, value] : object.items()) {
        bool known = false;
        for (const auto& member : kRegistrationTexts) {
            if (name == key(member.tag)) {
                if (!value.is_string()) {
                    throw std::runtime_error("registration member \"" + name +
                                             "\" is not a string");
                }
                base.*member.field = value.get<std::string>();
                known = true;
            }
        }
        for (const auto& member : kRegistrationNumbers) {
            if (name == key(member.tag)) {
                if (!value.is_number_integer() || value.get<int64_t>() < 0 ||
                    value.get<int64_t>() > 0xFF) {
                    throw std::runtime_error("registration member \"" + name +
                                             "\" is not an integer from 0 to 255");
                }
                base.*member.field = value.get<int64_t>();
                known = true;
            }
        }
        if (!known) {
            throw std::runtime_error("unknown registration member \"" + name + "\"");
        }
    }
    return base;
}

json toJson(const Registration& registration) {
    json object = json::object();
    for (const auto& member : kRegistrationTexts) {
        object[key(member.tag)] = registration.*member.field;
    }
    for (const auto& member : kRegistrationNumbers) {
        object[key(member.tag)] = registration.*member.field;
    }
    return object;
}

Counter& counter(FiscalState& state, CounterGroup group) {
    return state.counters.at(static_cast<size_t>(group));
}

uint16_t counterTag(size_t index) {
    return kCounterTags.at(index);
}

namespace {

json toJson(const Counter& counter) {
    return {{key(tag::check_count), counter.check_count},
            {key(tag::check_total), counter.check_total}};
}

Counter counterFromJson(const json& group) {
    return {stored::number(group, key(tag::check_count)),
            stored::number(group, key(tag::check_total))};
}

} // namespace

json toJson(const FiscalState& state) {
    json counters = json::object();
    for (size_t i = 0; i < kCounterGroups; ++i) {
        counters[key(kCounterTags[i])] = toJson(state.counters[i]);
    }
    return {
        {key(tag::fd_serial), state.fn_serial},
        {"registered", state.registered},
        {"archive_closed", state.archive_closed},
        {"registration", toJson(state.registration)},
        {key(tag::fd_reg_document), state.reg_document},
        {key(tag::fd_reg_date), state.reg_date},
        {key(tag::fd_reg_count), state.reg_count},
        {key(tag::fd_last_doc), state.last.number},
        {key(tag::fd_last_date), state.last.date},
        {key(tag::fd_sign), state.last.sign},
        {"shift_open", state.shift.open},
        {key(tag::shift_id), state.shift.id},
        {"shift_opened", state.shift.opened_at},
        {key(tag::shift_doc_number), state.shift.doc_number},
        {"counters", counters},
        {key(tag::shift_cash), state.cash},
        {"cash_in", toJson(state.cash_in)},
        {"cash_out", toJson(state.cash_out)},
        {"cash_documents", state.cash_documents},
        {key(tag::fd_waiting), state.backlog.count},
        {key(tag::fd_waiting_document), state.backlog.first_document},
        {key(tag::fd_waiting_date), state.backlog.first_date},
    };
}

FiscalState fiscalStateFromJson(const json& object) {
    if (!object.is_object()) {
        throw std::runtime_error("the state is not a JSON object");
    }
    FiscalState state;
    state.fn_serial = stored::text(object, key(tag::fd_serial));
    state.registered = stored::flag(object, "registered");
    state.archive_closed = stored::flag(object, "archive_closed");
    state.registration = registrationFromJson(stored::object(object, "registration"), {});
    state.reg_document = stored::number(object, key(tag::fd_reg_document));
    state.reg_date = stored::number(object, key(tag::fd_reg_date));
    state.reg_count = stored::number(object, key(tag::fd_reg_count));
    state.last.number = stored::number(object, key(tag::fd_last_doc));
    state.last.date = stored::number(object, key(tag::fd_last_date));
    state.last.sign = static_cast<uint32_t>(stored::number(object, key(tag::fd_sign)));
    state.shift.open = stored::flag(object, "shift_open");
    state.shift.id = stored::number(object, key(tag::shift_id));
    state.shift.opened_at = stored::number(object, "shift_opened");
    state.shift.doc_number = stored::number(object, key(tag::shift_doc_number));
    const json& counters = stored::object(object, "counters");
    for (size_t i = 0; i < kCounterGroups; ++i) {
        state.counters[i] = counterFromJson(stored::object(counters, key(kCounterTags[i])));
    }
    state.cash = stored::number(object, key(tag::shift_cash));
    // A state stored before cash documents had counters of their own has none yet.
    if (object.contains("cash_documents")) {
        state.cash_in = counterFromJson(stored::object(object, "cash_in"));
        state.cash_out = counterFromJson(stored::object(object, "cash_out"));
        state.cash_documents = stored::number(object, "cash_documents");
    }
    state.backlog.count = stored::number(object, key(tag::fd_waiting));
    state.backlog.first_document = stored::number(object, key(tag::fd_waiting_document));
    state.backlog.first_date = stored::number(object, key(tag::fd_waiting_date));
    if (state.last.number < 0 || state.shift.id < 0 || state.backlog.count < 0) {
        throw std::runtime_error("document, shift or backlog numbers are negative");
    }
    return state;
}

} // namespace korvant3emu
