#pragma once
// The receipt as one reading of the host's receipt package yields it. Values stay
// as the host wrote them (texts UTF-8, numbers read locale-independently);
// turning them into device requests is the receipt operations' business.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/receipt_codes.h"

namespace korvant {

struct AgentDataRecord {
    std::string agentOperation;          // "AgentOperation"
    std::string agentPhone;              // "AgentPhone"
    std::string paymentProcessorPhone;   // "PaymentProcessorPhone"
    std::string acquirerOperatorPhone;   // "AcquirerOperatorPhone"
    std::string acquirerOperatorName;    // "AcquirerOperatorName"
    std::string acquirerOperatorAddress; // "AcquirerOperatorAddress"
    std::string acquirerOperatorINN;     // "AcquirerOperatorINN"
    // The element exists and carries at least one attribute.
    bool present = false;
};

struct VendorDataRecord {
    std::string vendorName;  // "VendorName"
    std::string vendorPhone; // "VendorPhone"
    std::string vendorINN;   // "VendorINN"
    bool present = false;
};

struct CorrectionDataRecord {
    int32_t kind = 1;           // "Type": 1 when absent, 0 when unreadable
    std::string description;    // "Description"
    int64_t date = 0;           // "Date" through ParseDateTime
    std::string documentNumber; // "Number"
};

// The buyer's identity beyond the name and INN, as 1C's equipment library writes
// it in Parameters/CustomerDetail for a buyer identified by a document. Texts as
// written, empty when absent; whether the register can hold them is the
// operations' to judge.
struct CustomerDetailRecord {
    std::string address;          // "Address"
    std::string citizenship;      // "Citizenship": the country's numeric code
    std::string documentTypeCode; // "DocumentTypeCode": the identity document's kind
    std::string documentData;     // "DocumentData": its series and number
    std::string dateOfBirth;      // "DateOfBirth": dd.MM.yyyy
};

// Payment sums in roubles.
struct ReceiptPayments {
    double cash = 0.0;        // "Cash"
    double electronic = 0.0;  // "ElectronicPayment"
    double prepayment = 0.0;  // "PrePayment"
    double postpayment = 0.0; // "PostPayment"
    double barter = 0.0;      // "Barter"
};

struct ReceiptPosition {
    PositionKind kind = PositionKind::TextString;
    // Fiscal strings.
    std::string name;               // "Name"
    double quantity = 0.0;          // "Quantity"
    double priceWithDiscount = 0.0; // "PriceWithDiscount", roubles
    double discountAmount = 0.0;    // "DiscountAmount", roubles
    // "AmountWithDiscount", roubles: the line's total as the host's document has
    // it; none when the attribute is absent or empty.
    std::optional<double> amountWithDiscount;
    std::string vatRate; // "VATRate"
    // "VATAmount", roubles; none when absent or empty (hosts often leave it so).
    std::optional<double> vatAmount;
    int32_t paymentMethod = 0;      // "PaymentMethod"
    int32_t calculationSubject = 0; // "CalculationSubject"
    int32_t calculationAgent = 0;   // "CalculationAgent"
    int32_t measureOfQuantity = 0;  // "MeasureOfQuantity"
    uint32_t countryOfOrigin = 0;   // "CountryOfOrigin"
    AgentDataRecord agentData;      // child AgentData
    VendorDataRecord vendorData;    // child VendorData
    std::string markingCode;        // base64 as the host sent it
    // Text lines.
    std::string text; // "Text"
    // Barcodes.
    std::string barcodeValue; // "Value", or the bytes of "ValueBase64"
};

struct ReceiptRecord {
    ReceiptRecord() = default;
    // Reads the UTF-8 package text. Never fails: missing parts keep their
    // defaults, and text that is not XML reads as an empty package that is not
    // well-formed, which the operations refuse.
    explicit ReceiptRecord(std::string_view packageText);

    // False when the text was not a well-formed document (see parseHostDocument).
    bool wellFormed = true;

    std::string cashierName;    // Parameters "CashierName"
    std::string cashierInn;     // Parameters "CashierInn", else "CashierINN"
    int32_t operationType = 0;  // Parameters "OperationType": 1 sale, 2 sale return, 3, 4
    int32_t taxationSystem = 0; // Parameters "TaxationSystem"
    int32_t agentType = 0;      // Parameters "AgentType"
    // Parameters "CustomerInfo" and "CustomerINN"; where one is absent or empty,
    // "Info" and "INN" of Parameters/CustomerDetail.
    std::string customerInfo;
    std::string customerINN;
    std::string customerEmail; // Parameters "CustomerEmail"
    std::string customerPhone; // Parameters "CustomerPhone"
    std::vector<ReceiptPosition> positions;
    ReceiptPayments payments;
    CustomerDetailRecord customerDetail;
    CorrectionDataRecord correction;
    AgentDataRecord agentData;
    VendorDataRecord vendorData;
};

} // namespace korvant
