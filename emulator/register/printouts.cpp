#include "register/printouts.h"

#include "printer/text_format.h"
#include "register/item_codes.h"
#include "register/receipt_arithmetic.h"

#include <array>
#include <chrono>
#include <map>

namespace korvant3emu {
namespace {

std::string money(int64_t amount) {
    return "=" + formatMoney(amount);
}

const char* operationTitle(DocKind kind) {
    switch (kind) {
    case DocKind::sale:
    case DocKind::sale_correction:
        return "ПРИХОД";
    case DocKind::sale_return:
        return "ВОЗВРАТ ПРИХОДА";
    case DocKind::purchase:
    case DocKind::purchase_correction:
        return "РАСХОД";
    case DocKind::purchase_return:
        return "ВОЗВРАТ РАСХОДА";
    case DocKind::cash_in:
        return "ВНЕСЕНИЕ";
    case DocKind::cash_out:
        return "ВЫПЛАТА";
    }
    return "";
}

const char* documentTitle(DocKind kind) {
    if (isCashDocument(kind)) {
        return "НЕФИСКАЛЬНЫЙ ДОКУМЕНТ";
    }
    return isCorrection(kind) ? "КАССОВЫЙ ЧЕК КОРРЕКЦИИ" : "КАССОВЫЙ ЧЕК";
}

// The general rate of VAT on a date: 20 %, and 22 % from 2026 (the law changed the rate, not
// the register's slots).
int64_t generalRate(int64_t date) {
    return localYear(date) >= 2026 ? 22 : 20;
}

std::string vatTitle(int64_t taxId, int64_t date) {
    const std::string general = decimal(generalRate(date));
    switch (taxId) {
    case 1:
        return "БЕЗ НДС";
    case 2:
        return "НДС 10%";
    case 3:
        return "НДС " + general + "%";
    case 4:
        return "НДС 10/110";
    case 5:
        return "НДС " + general + "/" + decimal(100 + generalRate(date));
    case 6:
        return "НДС 0%";
    }
    return "НДС";
}

// The VAT of an item: the sum it was sent with, else the VAT its total
// includes at its rate on the document's date, to the kopeck.
int64_t vatOf(const Item& item, int64_t date) {
    if (item.tax_value) {
        return *item.tax_value;
    }
    int64_t percent = 0;
    switch (item.tax_id) {
    case 2:
    case 4:
        percent = 10;
        break;
    case 3:
    case 5:
        percent = generalRate(date);
        break;
    }
    return vatIncluded(item.total, percent).value_or(0);
}

// The printed title of a numbered attribute; 0 and numbers beyond the list
// have no title of their own.
template <size_t N>
const char* titleOf(const std::array<const char*, N>& titles, int64_t number,
                    const char* otherwise = "") {
    return number > 0 && number < int64_t(N) ? titles[size_t(number)] : otherwise;
}

const char* agentTitle(int64_t agent) {
    static const std::array<const char*, 8> titles{"",
                                                   "БАНК. ПЛ. АГЕНТ",
                                                   "БАНК. ПЛ. СУБАГЕНТ",
                                                   "ПЛ. АГЕНТ",
                                                   "ПЛ. СУБАГЕНТ",
                                                   "ПОВЕРЕННЫЙ",
                                                   "КОМИССИОНЕР",
                                                   "АГЕНТ"};
    return titleOf(titles, agent, "АГЕНТ");
}

std::string taxSystems(int64_t mask) {
    static const std::array<const char*, 6> titles{"ОСН",  "УСН доход", "УСН доход - расход",
                                                   "ЕНВД", "ЕСХН",      "ПСН"};
    std::string list;
    for (size_t bit = 0; bit < titles.size(); ++bit) {
        if (mask & (int64_t(1) << bit)) {
            list += (list.empty() ? "" : ", ") + std::string(titles[bit]);
        }
    }
    return list;
}

void printAgent(Layout& out, const nlohmann::json& agent) {
    if (!agent.is_object()) {
        return;
    }
    static const std::array<std::pair<const char*, const char*>, 10> lines{{
        {"payment_op_action", "ОПЕР. АГЕНТА"},
        {"payment_op_phone", "ТЕЛ. ПЛ. АГЕНТА"},
        {"payment_reception_op_phone", "ТЕЛ. ОПЕР. ПО ПРИЕМУ ПЛАТЕЖЕЙ"},
        {"transfer_op_name", "ОПЕР. ПЕРЕВОДА"},
        {"transfer_op_addr", "АДР. ОПЕР. ПЕРЕВОДА"},
        {"transfer_op_inn", "ИНН ОПЕР. ПЕРЕВОДА"},
        {"transfer_op_phone", "ТЕЛ. ОПЕР. ПЕРЕВОДА"},
        {"provider_name", "ПОСТАВЩИК"},
        {"provider_inn", "ИНН ПОСТАВЩИКА"},
        {"provider_phone", "ТЕЛ. ПОСТАВЩИКА"},
    }};
    out.line(std::string("   ПРИЗНАК АГЕНТА: ") + agentTitle(agent.value("agent", int64_t(0))));
    for (const auto& [member, label] : lines) {
        if (agent.contains(member) && agent[member].is_string()) {
            out.line(std::string("   ") + label + ": " + agent[member].get<std::string>());
        }
    }
}

void printItem(Layout& out, const Item& item, size_t number, int64_t date) {
    out.line(decimal(int64_t(number)) + ". " + (item.marked ? "[М] " : "") + item.name);
    out.pair("   " + formatQuantity(item.quant) + " x " + formatMoney(item.price),
             money(item.total + item.discount));
    if (item.discount != 0) {
        out.pair("   СКИДКА", "-" + formatMoney(item.discount));
    }
    // Codes the register does not know never reach a document; a stored one reads as none.
    const char* methodTitle = paymentMethodTitle(item.payment_method);
    const char* subjectTitle = calculationSubjectTitle(item.item_attr);
    const std::string method = methodTitle ? methodTitle : "";
    const std::string subject = subjectTitle ? subjectTitle : "";
    if (!method.empty() || !subject.empty()) {
        out.line("   " + method + (method.empty() || subject.empty() ? "" : ", ") + subject);
    }
    out.pair("   " + vatTitle(item.tax_id, date), formatMoney(vatOf(item, date)));
    printAgent(out, item.agent);
}

void printHeading(Layout& out, const OpenDocument& document) {
    out.rule();
    out.center(documentTitle(document.kind));
    out.center(operationTitle(document.kind));
}

void printCashier(Layout& out, const Cashier& cashier) {
    if (!cashier.name.empty()) {
        out.line("КАССИР: " + cashier.name);
    }
    if (!cashier.inn.empty()) {
        out.line("ИНН КАССИРА: " + cashier.inn);
    }
}

void printCorrection(Layout& out, const Correction& correction) {
    out.line(std::string("ТИП КОРРЕКЦИИ: ") +
             (correction.kind == 0 ? "САМОСТОЯТЕЛЬНО" : "ПО ПРЕДПИСАНИЮ"));
    out.line("ДАТА СОВЕРШ. РАСЧЕТА: " + formatDate(correction.date));
    if (!correction.document.empty()) {
        out.line("НОМЕР ПРЕДПИСАНИЯ: " + correction.document);
    }
    if (!correction.description.empty()) {
        out.line("ОСНОВАНИЕ: " + correction.description);
    }
}

void printPayments(Layout& out, const Payments& payments, int64_t change) {
    out.pair("НАЛИЧНЫМИ", money(payments.cash));
    const std::array<std::pair<const char*, int64_t>, 4> others{{
        {"БЕЗНАЛИЧНЫМИ", payments.credit},
        {"ПРЕДВАРИТЕЛЬНАЯ ОПЛАТА (АВАНС)", payments.prepay},
        {"ПОСЛЕДУЮЩАЯ ОПЛАТА (КРЕДИТ)", payments.postpay},
        {"ИНАЯ ФОРМА ОПЛАТЫ", payments.otherpay},
    }};
    for (const auto& [label, amount] : others) {
        if (amount != 0) {
            out.pair(label, money(amount));
        }
    }
    if (change != 0) {
        out.pair("СДАЧА", money(change));
    }
}

void printVatTotals(Layout& out, const OpenDocument& document, int64_t date) {
    std::map<int64_t, int64_t> byRate;
    for (const auto& position : document.positions) {
        if (const auto* item = std::get_if<Item>(&position)) {
            byRate[item->tax_id] += vatOf(*item, date);
        }
    }
    for (const auto& [taxId, amount] : byRate) {
        if (taxId != 1) {
            out.pair("СУММА " + vatTitle(taxId, date), formatMoney(amount));
        }
    }
}

// A number printed with at least `width` digits: country codes have three.
std::string zeroPadded(int64_t value, size_t width) {
    std::string digits = decimal(value);
    return digits.size() < width && value >= 0 ? std::string(width - digits.size(), '0') + digits
                                               : digits;
}

// A date kept as the seconds of 00:00 UTC on that day: "01.02.1980".
std::string calendarDate(int64_t seconds) {
    const std::chrono::sys_seconds moment{std::chrono::seconds{seconds}};
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(moment)};
    return zeroPadded(unsigned(date.day()), 2) + "." + zeroPadded(unsigned(date.month()), 2) + "." +
           zeroPadded(int(date.year()), 4);
}

void printBuyerIdentity(Layout& out, const BuyerIdentity& buyer) {
    if (buyer.birth_date) {
        out.line("ДАТА РОЖД. ПОКУПАТЕЛЯ: " + calendarDate(*buyer.birth_date));
    }
    if (buyer.citizenship) {
        out.line("ГРАЖДАНСТВО: " + zeroPadded(*buyer.citizenship, 3));
    }
    if (buyer.ident_type) {
        out.line("КОД ВИДА ДОК. УД. ЛИЧН.: " + decimal(*buyer.ident_type));
    }
    if (!buyer.ident_data.empty()) {
        out.line("ДАННЫЕ ДОК. УД. ЛИЧН.: " + buyer.ident_data);
    }
    if (!buyer.address.empty()) {
        out.line("АДРЕС ПОКУПАТЕЛЯ: " + buyer.address);
    }
}

void printCustomer(Layout& out, const OpenDocument& document) {
    if (!document.client_name.empty()) {
        out.line("ПОКУПАТЕЛЬ: " + document.client_name);
    }
    if (!document.client_inn.empty()) {
        out.line("ИНН ПОКУПАТЕЛЯ: " + document.client_inn);
    }
    printBuyerIdentity(out, document.buyer);
    if (!document.client_contact.empty()) {
        out.line("ТЕЛ./ЭЛ. АДР. ПОКУПАТЕЛЯ: " + document.client_contact);
    }
}

void printCounters(Layout& out, const FiscalState& state) {
    static const std::array<const char*, kCounterGroups> titles{
        "ПРИХОД",           "РАСХОД", "ВОЗВРАТ ПРИХОДА", "ВОЗВРАТ РАСХОДА", "КОРРЕКЦИЯ ПРИХОДА",
        "КОРРЕКЦИЯ РАСХОДА"};
    int64_t receipts = 0;
    for (const auto& counter : state.counters) {
        receipts += counter.check_count;
    }
    out.pair("ЧЕКОВ ЗА СМЕНУ", decimal(receipts));
    for (size_t i = 0; i < kCounterGroups; ++i) {
        out.pair(std::string(titles[i]) + " (" + decimal(state.counters[i].check_count) + ")",
                 money(state.counters[i].check_total));
    }
    out.pair("ВНЕСЕНИЙ (" + decimal(state.cash_in.check_count) + ")",
             money(state.cash_in.check_total));
    out.pair("ВЫПЛАТ (" + decimal(state.cash_out.check_count) + ")",
             money(state.cash_out.check_total));
}

void printBacklog(Layout& out, const Backlog& backlog) {
    out.pair("НЕПЕРЕДАННЫХ ФД", decimal(backlog.count));
    if (backlog.count > 0) {
        out.pair("ПЕРВЫЙ НЕПЕРЕДАННЫЙ ФД", decimal(backlog.first_document));
        out.pair("ДАТА ПЕРВОГО НЕПЕРЕДАННОГО ФД", formatDateTime(backlog.first_date));
    }
}

} // namespace

void printOwner(Layout& out, const Registration& registration) {
    for (const auto* text : {&registration.company_name, &registration.sale_address}) {
        if (!text->empty()) {
            out.center(*text);
        }
    }
    if (!registration.sale_location.empty()) {
        out.center("МЕСТО РАСЧЕТОВ: " + registration.sale_location);
    }
}

void printTextLine(Layout& out, const TextLine& line) {
    static const std::array<const char*, 6> labels{
        "", "", "ШТРИХКОД EAN-8", "ШТРИХКОД EAN-13", "ШТРИХКОД CODE39", "QR-КОД"};
    if (line.text_type >= 2 && line.text_type <= 5) {
        out.code("[" + std::string(labels[size_t(line.text_type)]) + ": " + line.text + "]",
                 static_cast<CodeType>(line.text_type), line.text);
    } else {
        out.line(line.text);
    }
}

void printReceipt(Layout& out, const OpenDocument& document, const Settlement& settlement,
                  const DocumentPlace& place) {
    printHeading(out, document);
    out.pair("СМЕНА " + decimal(place.shift), "ЧЕК " + decimal(place.number));
    printCashier(out, document.cashier);
    if (isCorrection(document.kind)) {
        printCorrection(out, document.correction);
    }
    out.rule();
    size_t number = 0;
    for (const auto& position : document.positions) {
        if (const auto* item = std::get_if<Item>(&position)) {
            printItem(out, *item, ++number, place.date);
        } else {
            printTextLine(out, std::get<TextLine>(position));
        }
    }
    out.rule();
    out.pair("ИТОГ", money(settlement.total));
    printPayments(out, settlement.payments, settlement.change);
    printVatTotals(out, document, place.date);
    out.line("СНО: " + taxSystems(document.taxcode));
    printCustomer(out, document);
}

void printCashDocument(Layout& out, const OpenDocument& document, int64_t amount, int64_t drawer,
                       const DocumentPlace& place) {
    printHeading(out, document);
    out.pair("СМЕНА " + decimal(place.shift), "ДОКУМЕНТ " + decimal(place.number));
    printCashier(out, document.cashier);
    out.rule();
    out.pair("СУММА", money(amount));
    out.pair("НАЛИЧНЫХ В КАССЕ", money(drawer));
}

void printCancelled(Layout& out, const OpenDocument& document) {
    printHeading(out, document);
    printCashier(out, document.cashier);
    out.center("ЧЕК АННУЛИРОВАН");
}

void printShiftOpening(Layout& out, const Cashier& cashier, int64_t shiftId) {
    out.rule();
    out.center("ОТЧЕТ ОБ ОТКРЫТИИ СМЕНЫ");
    out.pair("СМЕНА", decimal(shiftId));
    printCashier(out, cashier);
}

void printShiftTotals(Layout& out, const char* title, const Cashier* cashier,
                      const FiscalState& state) {
    out.rule();
    out.center(title);
    out.pair("СМЕНА", decimal(state.shift.id));
    if (cashier != nullptr) {
        printCashier(out, *cashier);
    }
    printCounters(out, state);
    out.pair("НАЛИЧНЫХ В КАССЕ", money(state.cash));
    printBacklog(out, state.backlog);
}

void printSettlementReport(Layout& out, const FiscalState& state, int shiftState) {
    out.rule();
    out.center("ОТЧЕТ О ТЕКУЩЕМ СОСТОЯНИИ РАСЧЕТОВ");
    out.pair("СМЕНА", decimal(state.shift.id));
    out.line(shiftState == 0   ? "СМЕНА ЗАКРЫТА"
             : shiftState == 1 ? "СМЕНА ОТКРЫТА"
                               : "СМЕНА ПРЕВЫСИЛА 24 ЧАСА");
    printBacklog(out, state.backlog);
}

void printRegistrationReport(Layout& out, const FiscalState& state, const std::string& serial,
                             const int64_t* reason) {
    const Registration& r = state.registration;
    out.rule();
    out.center(reason ? "ОТЧЕТ ОБ ИЗМЕНЕНИИ ПАРАМЕТРОВ РЕГИСТРАЦИИ" : "ОТЧЕТ О РЕГИСТРАЦИИ");
    if (reason) {
        out.pair("КОД ПРИЧИНЫ ПЕРЕРЕГИСТРАЦИИ", decimal(*reason));
    }
    out.line("ИНН: " + r.company_inn);
    out.line("РН ККТ: " + r.regnum);
    out.line("ЗН ККТ: " + serial);
    out.line("СНО: " + taxSystems(r.taxcode));
    if (r.agents != 0) {
        out.pair("ПРИЗНАКИ АГЕНТА", decimal(r.agents));
    }
    const std::array<std::pair<int64_t, const char*>, 6> modes{{
        {0x01, "ШИФРОВАНИЕ"},
        {0x02, "АВТОНОМНЫЙ РЕЖИМ"},
        {0x04, "АВТОМАТИЧЕСКИЙ РЕЖИМ"},
        {0x08, "ПРИМЕНЕНИЕ В СФЕРЕ УСЛУГ"},
        {0x10, "РЕЖИМ БСО"},
        {0x20, "ККТ ДЛЯ ИНТЕРНЕТ"},
    }};
    for (const auto& [bit, title] : modes) {
        if (r.fd_mode & bit) {
            out.line(title);
        }
    }
    if (!r.automat_number.empty()) {
        out.line("НОМЕР АВТОМАТА: " + r.automat_number);
    }
    const std::array<std::pair<const char*, const std::string*>, 3> operatorLines{{
        {"ОФД: ", &r.ofd_name},
        {"ИНН ОФД: ", &r.ofd_inn},
        {"ЭЛ. АДР. ОТПРАВИТЕЛЯ: ", &r.sender_email},
    }};
    for (const auto& [label, text] : operatorLines) {
        if (!text->empty()) {
            out.line(label + *text);
        }
    }
}

void printArchiveClosing(Layout& out, const Cashier& cashier, const FiscalState& state) {
    out.rule();
    out.center("ОТЧЕТ О ЗАКРЫТИИ ФН");
    printCashier(out, cashier);
    out.pair("СМЕНА", decimal(state.shift.id));
    printBacklog(out, state.backlog);
}

void printFiscalFooter(Layout& out, const FiscalState& state, const std::string& serial,
                       const LastDocument& document) {
    out.rule();
    out.pair("РН ККТ:", state.registration.regnum);
    out.pair("ЗН ККТ:", serial);
    out.pair("ФН: " + state.fn_serial, formatDateTime(document.date));
    out.pair("ФД: " + decimal(document.number), "ФП: " + decimal(document.sign));
    if (!state.registration.fns_site.empty()) {
        out.line("САЙТ ФНС: " + state.registration.fns_site);
    }
}

void printCheckCode(Layout& out, const std::string& checkCode) {
    out.code("[QR-КОД ЧЕКА: " + checkCode + "]", CodeType::qr, checkCode);
}

void printPlainFooter(Layout& out, const std::string& serial, int64_t date) {
    out.rule();
    out.pair("ЗН ККТ:", serial);
    out.pair("ДАТА", formatDateTime(date));
}

} // namespace korvant3emu
