#include "documents/output_parameters.h"

#include "documents/value_format.h"
#include "documents/xml_document.h"

#include <string>

namespace korvant {
namespace {

std::string templateText(std::string_view root) {
    const std::string name(root);
    return R"(<?xml version="1.0" encoding="UTF-8"?><)" + name + "><Parameters/></" + name + ">";
}

} // namespace

OutputParametersDocument::OutputParametersDocument(std::string_view root)
    : AttributeDocument(templateText(root)) {
    auto* parameters = document().RootElement()->FirstChildElement("Parameters");
    setTarget(*parameters);
}

void OutputParametersDocument::setShiftNumber(uint16_t shiftNumber) {
    setUnsigned(output_attr::ShiftNumber, shiftNumber);
}

void OutputParametersDocument::setCheckNumber(uint32_t documentNumber) {
    setUnsigned(output_attr::CheckNumber, documentNumber);
}

void OutputParametersDocument::setFiscalSign(uint32_t fiscalSign) {
    setUnsigned(output_attr::FiscalSign, fiscalSign);
}

void OutputParametersDocument::setDateTime(int64_t seconds) {
    setDateTime(output_attr::DateTime, seconds);
}

void OutputParametersDocument::setShiftState(int64_t deviceShiftState) {
    if (deviceShiftState >= 0 && deviceShiftState <= 2) {
        setSigned(output_attr::ShiftState, static_cast<int32_t>(deviceShiftState) + 1);
    }
}

void OutputParametersDocument::addCountersBlock(std::string_view blockName, int32_t checkCount,
                                                double totalChecksAmount,
                                                int32_t correctionCheckCount,
                                                std::optional<double> totalCorrectionChecksAmount) {
    auto* counters = document().NewElement("Parameters");
    setAttributeText(*counters, "CheckCount", formatSigned(checkCount));
    setAttributeText(*counters, "TotalChecksAmount", formatAmount(totalChecksAmount));
    setAttributeText(*counters, "CorrectionCheckCount", formatSigned(correctionCheckCount));
    setAttributeText(*counters, "TotalCorrectionChecksAmount",
                     totalCorrectionChecksAmount ? formatAmount(*totalCorrectionChecksAmount)
                                                 : formatSigned(0));
    auto* block = document().NewElement(std::string(blockName).c_str());
    block->InsertEndChild(counters);
    target().InsertEndChild(block);
}

} // namespace korvant
