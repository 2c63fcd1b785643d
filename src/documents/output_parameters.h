#pragma once
// The host's output parameter document: the state of the shift and of the fiscal
// storage after an operation, as attributes of the top-level "Parameters"
// element of <OutputParameters>, or of <DocumentOutputParameters> for the
// result of a receipt.

#include <cstdint>
#include <optional>
#include <string_view>

#include "documents/attribute_document.h"

namespace korvant {

// Attribute names of the top-level Parameters element.
namespace output_attr {
inline constexpr std::string_view DateTime = "DateTime";
inline constexpr std::string_view ShiftNumber = "ShiftNumber";
inline constexpr std::string_view ShiftState = "ShiftState";
inline constexpr std::string_view FNError = "FNError";
inline constexpr std::string_view FNFail = "FNFail";
inline constexpr std::string_view FNOverflow = "FNOverflow";
inline constexpr std::string_view CashBalance = "CashBalance";
inline constexpr std::string_view BacklogDocumentsCounter = "BacklogDocumentsCounter";
inline constexpr std::string_view BacklogDocumentFirstNumber = "BacklogDocumentFirstNumber";
inline constexpr std::string_view BacklogDocumentFirstDateTime = "BacklogDocumentFirstDateTime";
inline constexpr std::string_view CheckNumber = "CheckNumber";
inline constexpr std::string_view ShiftClosingCheckNumber = "ShiftClosingCheckNumber";
inline constexpr std::string_view FiscalSign = "FiscalSign";
} // namespace output_attr

// Element names of the counters blocks, in the order CloseShift appends them.
namespace counters_block {
inline constexpr std::string_view Sale = "CountersOperationType1";
inline constexpr std::string_view Purchase = "CountersOperationType3";
inline constexpr std::string_view SaleReturn = "CountersOperationType2";
inline constexpr std::string_view PurchaseReturn = "CountersOperationType4";
} // namespace counters_block

// Root element names. The host's clients read the result of a receipt or a
// correction receipt only from the second; shifts and status use the first.
inline constexpr std::string_view kOutputParametersRoot = "OutputParameters";
inline constexpr std::string_view kDocumentOutputParametersRoot = "DocumentOutputParameters";

class OutputParametersDocument : public AttributeDocument {
public:
    explicit OutputParametersDocument(std::string_view root = kOutputParametersRoot);

    // Shift numbers are 16-bit and never negative, so they are written unsigned.
    void setShiftNumber(uint16_t shiftNumber);
    void setCheckNumber(uint32_t documentNumber);
    void setFiscalSign(uint32_t fiscalSign);
    void setDateTime(int64_t seconds);
    using AttributeDocument::setDateTime;

    // "ShiftState" is the device's shift state 0, 1, 2 written as "1", "2", "3";
    // any other device value writes nothing.
    void setShiftState(int64_t deviceShiftState);

    // Appends <blockName><Parameters CheckCount=".." TotalChecksAmount=".."
    // CorrectionCheckCount=".." TotalCorrectionChecksAmount=".."/></blockName> as
    // the last child of the top-level Parameters element. A correction total of
    // nullopt is written as the integer "0".
    void addCountersBlock(std::string_view blockName, int32_t checkCount, double totalChecksAmount,
                          int32_t correctionCheckCount,
                          std::optional<double> totalCorrectionChecksAmount);
};

} // namespace korvant
