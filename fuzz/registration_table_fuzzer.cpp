// The registration table OperationFN reads, and the same values written back
// the way GetDataKKT writes the table: what one method reads, the other must
// be able to hand back as a well-formed table that reads the same again.
#include <algorithm>

#include "document_checks.h"
#include "documents/registration_parameters.h"
#include "documents/registration_table_writer.h"

namespace korvant::fuzz {
namespace {

namespace attr = registration_attr;

struct TextField {
    std::string_view attribute;
    std::string RegistrationParameters::*member;
};

constexpr TextField kTexts[] = {
    {attr::KKTSerialNumber, &RegistrationParameters::kktSerialNumber},
    {attr::FirmwareVersion, &RegistrationParameters::firmwareVersion},
    {attr::FNSerialNumber, &RegistrationParameters::fnSerialNumber},
    {attr::KKTNumber, &RegistrationParameters::kktNumber},
    {attr::CompanyName, &RegistrationParameters::companyName},
    {attr::INN, &RegistrationParameters::inn},
    {attr::SaleAddress, &RegistrationParameters::saleAddress},
    {attr::SaleLocation, &RegistrationParameters::saleLocation},
    {attr::OFDCompany, &RegistrationParameters::ofdCompany},
    {attr::OFDCompanyINN, &RegistrationParameters::ofdCompanyInn},
    {attr::FNSURL, &RegistrationParameters::fnsUrl},
    {attr::SenderEmail, &RegistrationParameters::senderEmail},
    {attr::AutomaticNumber, &RegistrationParameters::automaticNumber},
    {attr::RegistrationLabelCodes, &RegistrationParameters::registrationLabelCodes},
    {attr::CashierName, &RegistrationParameters::cashierName},
    {attr::CashierINN, &RegistrationParameters::cashierInn},
};

// Control characters do not survive a table unchanged, by design: those XML
// forbids are written as U+FFFD, and a reader normalises line ends.
bool plainText(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const std::string_view text = asText(data, size);
    const RegistrationParameters read = readRegistrationParameters(text);

    RegistrationTableWriter table;
    for (const TextField& field : kTexts) {
        requireUtf8(read.*field.member, "registration texts are UTF-8");
        table.setText(field.attribute, read.*field.member);
    }
    table.setBitList(attr::AgentTypes, read.agentTypes);
    table.setBitList(attr::TaxationSystems, read.taxationSystems);
    table.setNumber(attr::DocumentNumber, read.documentNumber);
    table.setDateTime(attr::DateTime, read.dateTime);
    const std::string written = table.text();
    requireWellFormed(written, "the written table is well-formed");

    const RegistrationParameters again = readRegistrationParameters(written);
    for (const TextField& field : kTexts) {
        require(!plainText(read.*field.member) || again.*field.member == read.*field.member,
                "a text reads back as it was written");
    }
    require(again.agentTypes == read.agentTypes, "agent types read back");
    require(again.taxationSystems == read.taxationSystems, "taxation systems read back");
    require(again.documentNumber == read.documentNumber, "the document number reads back");

    // The bit lists on their own, with arbitrary text.
    const uint8_t mask = readBitList(text);
    require(readBitList(formatBitList(mask)) == mask, "a bit list reads back");
    readRegistrationBool(text);
    return 0;
}
