#pragma once
// The host's input parameter document: who works the register. Located by
// structure: the first element is the root whatever its name, and its first
// direct child named "Parameters" carries the attributes.

#include <string>
#include <string_view>

namespace korvant {

class InputParametersDocument {
public:
    // Never fails: anything missing, or text that is not XML, reads as empty.
    explicit InputParametersDocument(std::string_view text);

    // False when the text was not a well-formed document (see parseHostDocument):
    // an operation must not act on a cashier it could not read.
    bool wellFormed() const { return wellFormed_; }

    const std::string& cashierName() const { return cashierName_; }   // "CashierName"
    const std::string& cashierINN() const { return cashierINN_; }     // "CashierINN"
    const std::string& saleAddress() const { return saleAddress_; }   // "SaleAddress"
    const std::string& saleLocation() const { return saleLocation_; } // "SaleLocation"

private:
    bool wellFormed_ = true;
    std::string cashierName_;
    std::string cashierINN_;
    std::string saleAddress_;
    std::string saleLocation_;
};

} // namespace korvant
