#include "documents/registration_parameters.h"

#include "documents/date_time.h"
#include "documents/value_format.h"
#include "documents/xml_document.h"

namespace korvant {
namespace {

constexpr int kBitsInList = 8;

} // namespace

bool readRegistrationBool(std::string_view text) {
    if (text == "true" || text == "True" || text == "TRUE") {
        return true;
    }
    return readInt(text) != 0;
}

std::string formatBitList(uint8_t mask) {
    std::string text;
    for (int bit = 0; bit < kBitsInList; ++bit) {
        if ((mask & (1u << bit)) == 0) {
            continue;
        }
        if (!text.empty()) {
            text.push_back(',');
        }
        text += formatSigned(bit);
    }
    return text;
}

uint8_t readBitList(std::string_view text) {
    uint8_t mask = 0;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view piece = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        size_t pos = 0;
        const auto bit = scanInt(piece, pos);
        if (bit && *bit >= 0 && *bit < kBitsInList) {
            mask = static_cast<uint8_t>(mask | (1u << *bit));
        }
    }
    return mask;
}

std::optional<std::string_view> kktFfdVersionText(int32_t version) {
    switch (version) {
    case 1:
        return "1.0";
    case 2:
        return "1.0.5";
    case 3:
        return "1.1";
    default:
        return std::nullopt;
    }
}

std::optional<std::string_view> fnFfdVersionText(int32_t version) {
    switch (version) {
    case 1:
        return "1.0";
    case 2:
    case 3:
        return "1.1";
    default:
        return std::nullopt;
    }
}

RegistrationParameters readRegistrationParameters(std::string_view text) {
    namespace attr = registration_attr;
    tinyxml2::XMLDocument document;
    const bool wellFormed = parseHostDocument(document, text);
    const tinyxml2::XMLElement* root = document.RootElement();
    const auto textOf = [root](std::string_view name) { return attributeText(root, name); };
    const auto boolOf = [&](std::string_view name) { return readRegistrationBool(textOf(name)); };
    const auto numberOf = [&](std::string_view name) { return readInt(textOf(name)); };
    const auto bitsOf = [&](std::string_view name) { return readBitList(textOf(name)); };

    RegistrationParameters record;
    record.wellFormed = wellFormed;
    record.kktSerialNumber = textOf(attr::KKTSerialNumber);
    record.firmwareVersion = textOf(attr::FirmwareVersion);
    record.agentTypes = bitsOf(attr::AgentTypes);
    record.fnSerialNumber = textOf(attr::FNSerialNumber);
    record.kktNumber = textOf(attr::KKTNumber);
    record.isOffline = boolOf(attr::IsOffline);
    record.isEncrypted = boolOf(attr::IsEncrypted);
    record.isService = boolOf(attr::IsService);
    record.isExcisable = boolOf(attr::IsExcisable);
    record.isGambling = boolOf(attr::IsGambling);
    record.isLottery = boolOf(attr::IsLottery);
    record.bsoSing = boolOf(attr::BSOSing);
    record.isOnlineOnly =
        boolOf(hasAttribute(root, attr::IsOnlineOnly) ? attr::IsOnlineOnly : attr::IsOnline);
    record.isAutomaticPrinter = boolOf(attr::IsAutomaticPrinter);
    record.isAutomatic = boolOf(attr::IsAutomatic);
    record.isMarking = boolOf(attr::IsMarking);
    record.isPawnshop = boolOf(attr::IsPawnshop);
    record.isAssurance = boolOf(attr::IsAssurance);
    record.taxationSystems = bitsOf(attr::TaxationSystems);
    record.fiscal = boolOf(attr::Fiscal);
    record.companyName = textOf(attr::CompanyName);
    record.inn = textOf(attr::INN);
    record.saleAddress = textOf(attr::SaleAddress);
    record.saleLocation = textOf(attr::SaleLocation);
    record.ofdCompany = textOf(attr::OFDCompany);
    record.ofdCompanyInn = textOf(attr::OFDCompanyINN);
    record.fnsUrl = textOf(attr::FNSURL);
    record.senderEmail = textOf(attr::SenderEmail);
    record.automaticNumber = textOf(attr::AutomaticNumber);
    record.documentNumber = numberOf(attr::DocumentNumber);
    record.dateTime = ParseDateTime(textOf(attr::DateTime));
    record.ffdVersionKkt = textOf(attr::FFDVersionKKT);
    record.ffdVersionFn = textOf(attr::FFDVersionFN);
    record.registrationReasonCode = numberOf(attr::RegistrationReasonCode);
    record.registrationLabelCodes = textOf(attr::RegistrationLabelCodes);
    record.cashierName = textOf(attr::CashierName);
    record.cashierInn = textOf(attr::CashierINN);
    return record;
}

} // namespace korvant
