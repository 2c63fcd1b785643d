#include "host/demo/demo_documents.h"

#include "host/demo/xml_elements.h"
#include "host/system/system.h"

#include <charconv>

namespace korvant::host {
namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";

// The marking code of the carton of milk, as 1C passes it: base64 of
// "0104601234567893215Mk7sPzQ9cB2a<GS>93Ab1C" (GTIN, serial number, check code).
constexpr std::string_view kMilkMarkingCode =
    "MDEwNDYwMTIzNDU2Nzg5MzIxNU1rN3NQelE5Y0IyYR05M0FiMUM=";

// The receipt package's Parameters element for an operation type (1 sale, 2 sale return) under
// the general taxation system, with more attributes and child elements when given.
std::string receiptParameters(int operationType, std::string_view attributes = {},
                              std::string_view children = {}) {
    std::string element =
        R"(<Parameters CashierName="Смирнова О.В." CashierInn="504321987650" OperationType=")" +
        std::to_string(operationType) + R"(" TaxationSystem="0")" + std::string(attributes);
    return children.empty() ? element + "/>"
                            : element + ">" + std::string(children) + "</Parameters>";
}

std::string milk() {
    return R"(<FiscalString Name="Молоко «Луговое» 3,2% 1 л" Quantity="1" PriceWithDiscount="89.9" )"
           R"(DiscountAmount="0" VATRate="10" VATAmount="8.17" PaymentMethod="4" )"
           R"(CalculationSubject="1" MeasureOfQuantity="0"><GoodCodeData MarkingCode=")" +
           std::string(kMilkMarkingCode) + R"("/></FiscalString>)";
}

std::string package(std::string_view parameters, std::string_view positions,
                    std::string_view payments) {
    return std::string(kDeclaration) + "<CheckPackage>" + std::string(parameters) + "<Positions>" +
           std::string(positions) + "</Positions>" + std::string(payments) + "</CheckPackage>";
}

std::string twoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// The host's date-time text, "2024-03-05T09:07:00", in local time.
std::string hostDateTime(std::time_t moment) {
    const std::tm parts = localTime(moment);
    char year[8];
    const auto end = std::to_chars(year, year + sizeof year, parts.tm_year + 1900).ptr;
    return std::string(year, end) + "-" + twoDigits(parts.tm_mon + 1) + "-" +
           twoDigits(parts.tm_mday) + "T" + twoDigits(parts.tm_hour) + ":" +
           twoDigits(parts.tm_min) + ":" + twoDigits(parts.tm_sec);
}

} // namespace

std::string cashierParameters() {
    return std::string(kDeclaration) +
           R"(<InputParameters><Parameters CashierName="Смирнова О.В." CashierINN="504321987650"/>)"
           R"(</InputParameters>)";
}

std::string registrationTable(std::string_view tableFromRegister) {
    // The register's own numbers (serial, fiscal storage) stay as it gave them.
    return withRootAttributes(tableFromRegister,
                              {
                                  {"CashierName", "Смирнова О.В."},
                                  {"CashierINN", "504321987650"},
                                  {"KKTNumber", "0007613298045112"},
                                  {"CompanyName", "ООО «Лавка у дома»"},
                                  {"INN", "7714123456"},
                                  {"SaleAddress", "125009, г. Москва, ул. Садовая, д. 5"},
                                  {"SaleLocation", "Магазин «Лавка у дома»"},
                                  {"OFDCompany", "ООО «Демо ОФД»"},
                                  {"OFDCompanyINN", "7709999990"},
                                  {"FNSURL", "www.nalog.gov.ru"},
                                  {"SenderEmail", "chek@lavka.example"},
                                  {"TaxationSystems", "0,1"},
                                  {"AgentTypes", "5"},
                                  {"IsEncrypted", "false"},
                                  {"IsOffline", "false"},
                                  {"IsService", "false"},
                                  {"IsMarking", "true"},
                              });
}

std::string saleReceipt() {
    // 89.90 + 2 × 52.00 + (499.00 − 50.00) + 150.00 = 792.90, paid 600.00 in cash and 250.00 by
    // card: 57.10 change.
    return package(
        receiptParameters(1, R"( CustomerEmail="pokupatel@example.ru")"),
        milk() +
            R"(<FiscalString Name="Хлеб «Дарницкий» 700 г" Quantity="2" PriceWithDiscount="52" )"
            R"(DiscountAmount="0" VATRate="10" VATAmount="9.45" PaymentMethod="4" )"
            R"(CalculationSubject="1"/>)"
            R"(<FiscalString Name="Кофе молотый «Утро» 250 г" Quantity="1" )"
            R"(PriceWithDiscount="449" DiscountAmount="50" VATRate="20" VATAmount="74.83" )"
            R"(PaymentMethod="4" CalculationSubject="1"/>)"
            R"(<FiscalString Name="Журнал «Вечерний кроссворд» №11" Quantity="1" )"
            R"(PriceWithDiscount="150" DiscountAmount="0" VATRate="none" VATAmount="0" )"
            R"(PaymentMethod="4" CalculationSubject="1" CalculationAgent="5">)"
            R"(<VendorData VendorName="ООО «Издательство Северная звезда»" )"
            R"(VendorINN="7725123450" VendorPhone="+74951234567"/></FiscalString>)"
            R"(<TextString Text="Скидка по карте покупателя: 50.00"/>)"
            R"(<Barcode Type="EAN8" Value="29000012"/>)"
            R"(<TextString Text="Купон на скидку 10% на следующую покупку:"/>)"
            R"(<Barcode Type="EAN13" Value="2900001234566"/>)"
            R"(<TextString Text="Промокод для заказа на сайте:"/>)"
            R"(<Barcode Type="CODE39" Value="KOFE-10"/>)"
            R"(<TextString Text="Оцените покупку:"/>)"
            R"(<Barcode Type="QR" Value="https://lavka.example/otzyv"/>)",
        R"(<Payments Cash="600" ElectronicPayment="250" PrePayment="0" PostPayment="0" )"
        R"(Barter="0"/>)");
}

std::string saleReturnReceipt() {
    return package(receiptParameters(2), milk(),
                   R"(<Payments Cash="89.9" ElectronicPayment="0" PrePayment="0" )"
                   R"(PostPayment="0" Barter="0"/>)");
}

std::string correctionReceipt(std::time_t now) {
    constexpr std::time_t kDay = 24 * 60 * 60;
    return package(
        receiptParameters(1, {},
                          R"(<CorrectionData Type="0" Description="Продажа без применения ККТ )"
                          R"(при отключении электроэнергии" Date=")" +
                              hostDateTime(now - kDay) + R"("/>)"),
        R"(<FiscalString Name="Хлеб «Дарницкий» 700 г" Quantity="3" PriceWithDiscount="52" )"
        R"(DiscountAmount="0" VATRate="10" VATAmount="14.18" PaymentMethod="4" )"
        R"(CalculationSubject="1"/>)",
        R"(<Payments Cash="156" ElectronicPayment="0" PrePayment="0" PostPayment="0" )"
        R"(Barter="0"/>)");
}

std::string textDocument() {
    return std::string(kDeclaration) +
           R"(<Document><Positions><TextString Text="ЛАВКА У ДОМА"/>)"
           R"(<TextString Text="Кофе «Утро» всю неделю на 10% дешевле"/>)"
           R"(<TextString Text="Оставьте отзыв — получите скидку 5%"/>)"
           R"(<Barcode Type="QR" Value="https://lavka.example/otzyv"/></Positions></Document>)";
}

} // namespace korvant::host
