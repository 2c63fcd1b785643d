#include "documents/receipt_record.h"

#include "documents/barcode_value.h"
#include "documents/date_time.h"
#include "documents/value_format.h"
#include "documents/xml_document.h"

#include <array>

namespace korvant {
namespace {

using tinyxml2::XMLElement;

int32_t intAttribute(const XMLElement* element, std::string_view name) {
    return readInt(attributeText(element, name));
}

double doubleAttribute(const XMLElement* element, std::string_view name) {
    return readDouble(attributeText(element, name));
}

// A sum the host may leave out or write as "": none then, rather than 0.
std::optional<double> optionalDoubleAttribute(const XMLElement* element, std::string_view name) {
    const std::string text = attributeText(element, name);
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return std::nullopt;
    }
    return readDouble(text);
}

// The cashier's INN: "CashierInn", or "CashierINN" as 1C clients write it in
// receipt packages as in the input parameters.
std::string cashierInnOf(const XMLElement* parameters) {
    std::string inn = attributeText(parameters, "CashierInn");
    return inn.empty() ? attributeText(parameters, "CashierINN") : inn;
}

// The first of the attribute `name` of Parameters and the attribute `detailName`
// of its CustomerDetail that is not empty: clients of interface revision 3004
// and later write the buyer in the element, older ones in the attributes.
std::string customerText(const XMLElement* parameters, std::string_view name,
                         const XMLElement* customerDetail, std::string_view detailName) {
    std::string text = attributeText(parameters, name);
    return text.empty() ? attributeText(customerDetail, detailName) : text;
}

CustomerDetailRecord readCustomerDetail(const XMLElement* customerDetail) {
    CustomerDetailRecord record;
    record.address = attributeText(customerDetail, "Address");
    record.citizenship = attributeText(customerDetail, "Citizenship");
    record.documentTypeCode = attributeText(customerDetail, "DocumentTypeCode");
    record.documentData = attributeText(customerDetail, "DocumentData");
    record.dateOfBirth = attributeText(customerDetail, "DateOfBirth");
    return record;
}

AgentDataRecord readAgentData(const XMLElement* agentData) {
    AgentDataRecord record;
    if (!hasAnyAttribute(agentData)) {
        return record;
    }
    record.present = true;
    record.agentOperation = attributeText(agentData, "AgentOperation");
    record.agentPhone = attributeText(agentData, "AgentPhone");
    record.paymentProcessorPhone = attributeText(agentData, "PaymentProcessorPhone");
    record.acquirerOperatorPhone = attributeText(agentData, "AcquirerOperatorPhone");
    record.acquirerOperatorName = attributeText(agentData, "AcquirerOperatorName");
    record.acquirerOperatorAddress = attributeText(agentData, "AcquirerOperatorAddress");
    record.acquirerOperatorINN = attributeText(agentData, "AcquirerOperatorINN");
    return record;
}

VendorDataRecord readVendorData(const XMLElement* vendorData) {
    VendorDataRecord record;
    if (!hasAnyAttribute(vendorData)) {
        return record;
    }
    record.present = true;
    record.vendorName = attributeText(vendorData, "VendorName");
    record.vendorPhone = attributeText(vendorData, "VendorPhone");
    record.vendorINN = attributeText(vendorData, "VendorINN");
    return record;
}

CorrectionDataRecord readCorrectionData(const XMLElement* correctionData) {
    CorrectionDataRecord record;
    if (hasAttribute(correctionData, "Type")) {
        record.kind = intAttribute(correctionData, "Type");
    }
    record.description = attributeText(correctionData, "Description");
    record.date = ParseDateTime(attributeText(correctionData, "Date"));
    record.documentNumber = attributeText(correctionData, "Number");
    return record;
}

// The line's marking code: the fiscal string's own "MarkingCode", else the one
// of GoodCodeData, else a GoodCodeData identifier of a marking kind. The other
// identifiers (NotIdentified, EAN8, EAN13, ITF14, GS1.0, EGAIS20, EGAIS30,
// F1-F6) carry the product's own code, which clients write for every barcoded
// product: it names the product, not a marked item. An empty attribute names
// nothing.
std::string readMarkingCode(const XMLElement& fiscalString) {
    static constexpr std::array<std::string_view, 3> kMarkingKinds{"GS1.M", "KMK", "MI"};
    const auto* goodCodeData = firstChildNamed(&fiscalString, "GoodCodeData");
    for (std::string code : {attributeText(&fiscalString, "MarkingCode"),
                             attributeText(goodCodeData, "MarkingCode")}) {
        if (!code.empty()) {
            return code;
        }
    }
    for (const auto kind : kMarkingKinds) {
        std::string code = attributeText(goodCodeData, kind);
        if (!code.empty()) {
            return code;
        }
    }
    return {};
}

ReceiptPosition readFiscalString(const XMLElement& fiscalString) {
    ReceiptPosition position;
    position.kind = PositionKind::FiscalString;
    position.name = attributeText(&fiscalString, "Name");
    position.quantity = doubleAttribute(&fiscalString, "Quantity");
    position.priceWithDiscount = doubleAttribute(&fiscalString, "PriceWithDiscount");
    position.discountAmount = doubleAttribute(&fiscalString, "DiscountAmount");
    position.amountWithDiscount = optionalDoubleAttribute(&fiscalString, "AmountWithDiscount");
    position.vatRate = attributeText(&fiscalString, "VATRate");
    position.vatAmount = optionalDoubleAttribute(&fiscalString, "VATAmount");
    position.paymentMethod = intAttribute(&fiscalString, "PaymentMethod");
    position.calculationSubject = intAttribute(&fiscalString, "CalculationSubject");
    position.measureOfQuantity = intAttribute(&fiscalString, "MeasureOfQuantity");
    position.countryOfOrigin = readUnsigned(attributeText(&fiscalString, "CountryOfOrigin"));
    position.calculationAgent = intAttribute(&fiscalString, "CalculationAgent");
    position.markingCode = readMarkingCode(fiscalString);
    position.agentData = readAgentData(firstChildNamed(&fiscalString, "AgentData"));
    position.vendorData = readVendorData(firstChildNamed(&fiscalString, "VendorData"));
    return position;
}

ReceiptPosition readTextString(const XMLElement& textString) {
    ReceiptPosition position;
    position.kind = PositionKind::TextString;
    position.text = attributeText(&textString, "Text");
    return position;
}

std::vector<ReceiptPosition> readPositions(const XMLElement* positions) {
    std::vector<ReceiptPosition> list;
    if (positions == nullptr) {
        return list;
    }
    for (const auto* child = positions->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const std::string_view name = child->Name();
        if (name == "FiscalString") {
            list.push_back(readFiscalString(*child));
        } else if (name == "TextString") {
            list.push_back(readTextString(*child));
        } else if (name == "Barcode") {
            // A barcode of any other type, an absent one included, is skipped.
            const auto kind = positionKindOf(attributeText(child, "Type"));
            if (!isBarcodeKind(kind)) {
                continue;
            }
            ReceiptPosition position;
            position.kind = kind;
            position.barcodeValue = barcodeValueOf(*child).value_or(std::string());
            list.push_back(std::move(position));
        }
    }
    return list;
}

ReceiptPayments readPayments(const XMLElement* payments) {
    ReceiptPayments sums;
    sums.cash = doubleAttribute(payments, "Cash");
    sums.electronic = doubleAttribute(payments, "ElectronicPayment");
    sums.prepayment = doubleAttribute(payments, "PrePayment");
    sums.postpayment = doubleAttribute(payments, "PostPayment");
    sums.barter = doubleAttribute(payments, "Barter");
    return sums;
}

} // namespace

ReceiptRecord::ReceiptRecord(std::string_view packageText) {
    tinyxml2::XMLDocument document;
    wellFormed = parseHostDocument(document, packageText);
    const auto* root = document.RootElement();

    const auto* parameters = firstChildNamed(root, "Parameters");
    cashierName = attributeText(parameters, "CashierName");
    cashierInn = cashierInnOf(parameters);
    operationType = intAttribute(parameters, "OperationType");
    taxationSystem = intAttribute(parameters, "TaxationSystem");
    agentType = intAttribute(parameters, "AgentType");
    const auto* customer = firstChildNamed(parameters, "CustomerDetail");
    customerInfo = customerText(parameters, "CustomerInfo", customer, "Info");
    customerINN = customerText(parameters, "CustomerINN", customer, "INN");
    customerEmail = attributeText(parameters, "CustomerEmail");
    customerPhone = attributeText(parameters, "CustomerPhone");
    customerDetail = readCustomerDetail(customer);
    correction = readCorrectionData(firstChildNamed(parameters, "CorrectionData"));
    agentData = readAgentData(firstChildNamed(parameters, "AgentData"));
    vendorData = readVendorData(firstChildNamed(parameters, "VendorData"));

    positions = readPositions(firstChildNamed(root, "Positions"));
    payments = readPayments(firstChildNamed(root, "Payments"));
}

} // namespace korvant
