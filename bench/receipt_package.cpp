#include "receipt_package.h"

namespace korvant::bench {

std::string salePackage(int positions) {
    std::string package =
        R"(<?xml version="1.0" encoding="UTF-8"?><CheckPackage>)"
        R"(<Parameters CashierName="Иванова А.А." CashierInn="7700000000" OperationType="1" )"
        R"(TaxationSystem="0"/><Positions>)";
    for (int i = 1; i <= positions; ++i) {
        package += R"(<FiscalString Name="Товар )" + std::to_string(i) +
                   R"(" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" VATRate="20" )"
                   R"(VATAmount="30" PaymentMethod="4" CalculationSubject="1"/>)";
    }
    package += R"(</Positions><Payments Cash=")" +
               std::to_string(static_cast<long long>(kPositionTotal) * positions) +
               R"("/></CheckPackage>)";
    return package;
}

} // namespace korvant::bench
