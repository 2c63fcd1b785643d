#include "documents/input_parameters.h"

#include "documents/xml_document.h"

namespace korvant {

InputParametersDocument::InputParametersDocument(std::string_view text) {
    tinyxml2::XMLDocument document;
    wellFormed_ = parseHostDocument(document, text);
    const auto* parameters = firstChildNamed(document.RootElement(), "Parameters");
    cashierName_ = attributeText(parameters, "CashierName");
    cashierINN_ = attributeText(parameters, "CashierINN");
    saleAddress_ = attributeText(parameters, "SaleAddress");
    saleLocation_ = attributeText(parameters, "SaleLocation");
}

} // namespace korvant
