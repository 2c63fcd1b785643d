#include "host/demo/demo_day.h"

#include "host/demo/demo_documents.h"
#include "host/demo/demo_format.h"
#include "host/demo/xml_elements.h"

#include <ctime>
#include <stdexcept>
#include <utility>

namespace korvant::host {
namespace {

using Clock = std::chrono::steady_clock;

// Column widths of a call's line: the longest Russian method name, the outcome, the time.
constexpr std::size_t kMethodWidth = 31;
constexpr std::size_t kOutcomeWidth = 8;
constexpr std::size_t kTimeWidth = 9;

// ShiftState of the output parameter documents.
constexpr std::string_view kShiftClosed = "1";
constexpr std::string_view kShiftOpen = "2";
constexpr std::string_view kShiftExpired = "3";

std::string joined(std::initializer_list<std::string> parts) {
    std::string text;
    for (const auto& part : parts) {
        if (!part.empty()) {
            text += (text.empty() ? "" : ", ") + part;
        }
    }
    return text;
}

// The attributes of the output parameter document a method handed back in argument `index`.
XmlElement outputParameters(const CallResult& answer, std::size_t index) {
    return firstXmlElement(answer.text(index), "Parameters");
}

std::string cashText(const XmlElement& parameters) {
    const auto cash = decimalValue(parameters.attribute("CashBalance"));
    return cash ? "в кассе " + moneyText(*cash) : std::string();
}

std::string shiftText(const XmlElement& parameters) {
    const std::string state = parameters.attribute("ShiftState");
    const std::string word = state == kShiftClosed    ? "закрыта"
                             : state == kShiftOpen    ? "открыта"
                             : state == kShiftExpired ? "открыта более 24 часов"
                                                      : "";
    // A register that has never opened a shift reports shift 0.
    const std::string number = parameters.attribute("ShiftNumber");
    const bool numbered = !number.empty() && number != "0";
    return word.empty() ? std::string() : "смена " + (numbered ? number + " " : "") + word;
}

std::string describeDriver(const CallResult& answer) {
    const XmlElement description = firstXmlElement(answer.text(0), "DriverDescription");
    const bool loaded = description.attribute("MainDriverInstalled") == "true";
    return joined({description.attribute("Name"),
                   loaded ? "библиотека драйвера " + description.attribute("DriverVersion")
                          : "библиотека драйвера не загружена"});
}

std::string describeSettings(const CallResult& answer) {
    std::string captions;
    for (const auto& parameter : xmlElementsNamed(answer.text(0), "Parameter")) {
        captions = joined({captions, parameter.attribute("Caption")});
    }
    return "настройки: " + captions;
}

bool fiscal(const CallResult& registrationData) {
    return firstXmlElement(registrationData.text(1), "Parameters").attribute("Fiscal") == "true";
}

std::string describeRegistration(const CallResult& answer) {
    const XmlElement table = firstXmlElement(answer.text(1), "Parameters");
    if (!fiscal(answer)) {
        return joined({"ЗН ККТ " + table.attribute("KKTSerialNumber"),
                       "ФН " + table.attribute("FNSerialNumber"), "не зарегистрирована"});
    }
    return joined({"РН ККТ " + table.attribute("KKTNumber"), "ИНН " + table.attribute("INN"),
                   "зарегистрирована (ФД " + table.attribute("DocumentNumber") + ")"});
}

std::string describeStatus(const CallResult& answer) {
    const XmlElement status = outputParameters(answer, 2);
    return joined(
        {shiftText(status), "последний ФД " + status.attribute("CheckNumber"), cashText(status)});
}

// "продажа: смена 1, ФД 4, ФП 3735928559", from the output parameters in argument `index`. The
// receipt's number (CheckNumber) is its fiscal document number, the one the tape shows as ФД.
std::function<std::string(const CallResult&)> receiptDetails(std::string kind, std::size_t index) {
    return [kind = std::move(kind), index](const CallResult& answer) {
        const XmlElement receipt = outputParameters(answer, index);
        return kind + ": " +
               joined({"смена " + receipt.attribute("ShiftNumber"),
                       "ФД " + receipt.attribute("CheckNumber"),
                       "ФП " + receipt.attribute("FiscalSign")});
    };
}

} // namespace

DemoDay::DemoDay(Component& component, std::string serial, std::ostream& out)
    : component_(component), serial_(std::move(serial)), out_(out) {}

DaySummary DemoDay::run() {
    const auto start = Clock::now();
    // 1C:Enterprise hands the component its language right after Init.
    component_.setLocale(std::string_view("ru_RU"));
    describeDriver();
    configure();
    if (connect()) {
        if (ensureRegistered() && ensureShiftOpen()) {
            makeReceipts();
            moveCash();
            printDocuments();
            reportStatus();
            closeShift();
        }
        disconnect();
    }
    summary_.time = Clock::now() - start;
    return summary_;
}

void DemoDay::describeDriver() {
    call("ПолучитьОписание", {Value::empty()}, host::describeDriver);
    call("ПолучитьПараметры", {Value::empty()}, describeSettings);
}

void DemoDay::configure() {
    const auto set = [this](std::string_view name, std::string value, std::string shown) {
        call("УстановитьПараметр", {Value::text(name), Value::text(value)},
             [shown = std::string(name) + " = " + shown](const CallResult&) { return shown; });
    };
    set("Serial", serial_, serial_);
    // The emulator answers at any address; a register on the shop's network would have this one.
    set("Ipaddr", "192.168.1.50", "192.168.1.50");
    set("MarkTimeout", "10", "10 с");
}

bool DemoDay::connect() {
    const auto opened = call("Подключить", {Value::empty()}, [](const CallResult& answer) {
        return "устройство " + answer.text(0);
    });
    if (opened) {
        device_ = opened->text(0);
    }
    return opened.has_value();
}

bool DemoDay::ensureRegistered() {
    const auto before =
        call("ПолучитьПараметрыККТ", {device(), Value::empty()}, describeRegistration);
    if (!before) {
        return false;
    }
    if (fiscal(*before)) {
        skipped("ОперацияФН", "ККТ уже зарегистрирована");
        return true;
    }
    // As 1C does it: the table the register gave, with the owner's details filled in.
    const auto registered = call(
        "ОперацияФН", {device(), Value::i4(1), Value::text(registrationTable(before->text(1)))},
        [](const CallResult&) { return std::string("регистрация ККТ"); });
    return registered &&
           call("ПолучитьПараметрыККТ", {device(), Value::empty()}, describeRegistration);
}

bool DemoDay::ensureShiftOpen() {
    const auto status =
        call("ПолучитьТекущееСостояние",
             {device(), Value::text(cashierParameters()), Value::empty()}, describeStatus);
    if (!status) {
        return false;
    }
    const XmlElement state = outputParameters(*status, 2);
    if (state.attribute("ShiftState") == kShiftOpen) {
        skipped("ОткрытьСмену", "смена " + state.attribute("ShiftNumber") + " уже открыта");
        return true;
    }
    // A shift left open for more than 24 hours takes no documents: it is closed first.
    if (state.attribute("ShiftState") == kShiftExpired && !closeShift()) {
        return false;
    }
    return call("ОткрытьСмену", {device(), Value::text(cashierParameters()), Value::empty()},
                [](const CallResult& answer) { return shiftText(outputParameters(answer, 2)); })
        .has_value();
}

void DemoDay::makeReceipts() {
    // The second argument of СформироватьЧек is the host's flag for an electronic-only receipt.
    if (call("СформироватьЧек",
             {device(), Value::boolean(false), Value::text(saleReceipt()), Value::empty()},
             receiptDetails("продажа", 3))) {
        ++summary_.receipts;
    }
    if (call("СформироватьЧек",
             {device(), Value::boolean(false), Value::text(saleReturnReceipt()), Value::empty()},
             receiptDetails("возврат продажи", 3))) {
        ++summary_.receipts;
    }
    if (call("СформироватьЧекКоррекции",
             {device(), Value::text(correctionReceipt(std::time(nullptr))), Value::empty()},
             receiptDetails("коррекция прихода", 2))) {
        ++summary_.receipts;
    }
}

void DemoDay::moveCash() {
    for (const double amount : {kCashIn, kCashOut}) {
        const std::string shown =
            (amount >= 0 ? "внесение " : "выемка ") + moneyText(amount >= 0 ? amount : -amount);
        call("НапечататьЧекВнесенияВыемки",
             {device(), Value::text(cashierParameters()), Value::r8(amount)},
             [shown](const CallResult&) { return shown; });
    }
}

void DemoDay::printDocuments() {
    call("НапечататьТекстовыйДокумент", {device(), Value::text(textDocument())},
         [](const CallResult&) { return std::string("три строки и QR-код"); });
    call("НапечататьОтчетБезГашения", {device(), Value::text(cashierParameters())},
         [](const CallResult&) { return std::string("X-отчёт"); });
}

void DemoDay::reportStatus() {
    call("ПолучитьТекущееСостояние", {device(), Value::text(cashierParameters()), Value::empty()},
         describeStatus);
    call("ОтчетОТекущемСостоянииРасчетов",
         {device(), Value::text(cashierParameters()), Value::empty()},
         [](const CallResult& answer) {
             const XmlElement report = outputParameters(answer, 2);
             return joined({shiftText(report),
                            "непереданных ФД " + report.attribute("BacklogDocumentsCounter"),
                            cashText(report)});
         });
}

bool DemoDay::closeShift() {
    return call("ЗакрытьСмену", {device(), Value::text(cashierParameters()), Value::empty()},
                [](const CallResult& answer) {
                    const XmlElement closing = outputParameters(answer, 2);
                    return joined(
                        {"смена " + closing.attribute("ShiftNumber") + " закрыта",
                         cashText(closing),
                         "непереданных ФД " + closing.attribute("BacklogDocumentsCounter")});
                })
        .has_value();
}

void DemoDay::disconnect() {
    call("Отключить", {device()});
}

std::optional<CallResult> DemoDay::call(std::string_view method, std::vector<Value> args,
                                        const Details& details) {
    ++summary_.calls;
    const auto start = Clock::now();
    std::optional<CallResult> answer;
    try {
        answer = component_.call(method, std::move(args));
    } catch (const std::invalid_argument&) {
        // A build of the add-in without this method: FindMethod did not know the name.
    }
    const std::string time = durationText(Clock::now() - start);
    if (answer && answer->succeeded()) {
        printLine(method, "ок", time, details ? details(*answer) : std::string());
        return answer;
    }
    ++summary_.failures;
    const std::string reason = !answer ? "у компоненты нет такого метода"
                               : !answer->called ? "компонента отклонила вызов"
                                                 : lastError();
    printLine(method, "ОШИБКА", time, reason);
    return std::nullopt;
}

void DemoDay::skipped(std::string_view method, std::string_view reason) {
    printLine(method, "не нужен", "", reason);
}

void DemoDay::printLine(std::string_view method, std::string_view outcome, std::string_view time,
                        std::string_view details) {
    std::string line = padded(method, kMethodWidth) + " " + padded(outcome, kOutcomeWidth) +
                       rightAligned(time, kTimeWidth);
    if (!details.empty()) {
        line += "  " + std::string(details);
    }
    out_ << line << std::endl;
}

std::string DemoDay::lastError() {
    try {
        const auto answer = component_.call("ПолучитьОшибку", {Value::empty()});
        if (answer.result && answer.result->type == VType::I4) {
            return "ошибка " + std::to_string(answer.result->integer) + ": " + answer.text(0);
        }
    } catch (const std::invalid_argument&) {
    }
    return "причину узнать не удалось";
}

} // namespace korvant::host
