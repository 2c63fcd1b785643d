#pragma once
// The register's registration data as the host exchanges it: one root element
// "Parameters" whose attributes carry everything. GetDataKKT writes it
// (RegistrationTableWriter), OperationFN reads it (readRegistrationParameters).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvant {

// Attribute names of the registration table.
namespace registration_attr {
inline constexpr std::string_view KKTSerialNumber = "KKTSerialNumber";
inline constexpr std::string_view FirmwareVersion = "FirmwareVersion";
inline constexpr std::string_view AgentTypes = "AgentTypes";
inline constexpr std::string_view FNSerialNumber = "FNSerialNumber";
inline constexpr std::string_view KKTNumber = "KKTNumber";
inline constexpr std::string_view IsOffline = "IsOffline";
inline constexpr std::string_view IsEncrypted = "IsEncrypted";
inline constexpr std::string_view IsService = "IsService";
inline constexpr std::string_view IsExcisable = "IsExcisable";
inline constexpr std::string_view IsGambling = "IsGambling";
inline constexpr std::string_view IsLottery = "IsLottery";
inline constexpr std::string_view BSOSing = "BSOSing";
inline constexpr std::string_view IsOnlineOnly = "IsOnlineOnly";
// The name some clients give the same flag (read and written beside it).
inline constexpr std::string_view IsOnline = "IsOnline";
inline constexpr std::string_view IsAutomaticPrinter = "IsAutomaticPrinter";
inline constexpr std::string_view IsAutomatic = "IsAutomatic";
inline constexpr std::string_view IsMarking = "IsMarking";
inline constexpr std::string_view IsPawnshop = "IsPawnshop";
inline constexpr std::string_view IsAssurance = "IsAssurance";
inline constexpr std::string_view TaxationSystems = "TaxationSystems";
inline constexpr std::string_view Fiscal = "Fiscal";
inline constexpr std::string_view CompanyName = "CompanyName";
inline constexpr std::string_view INN = "INN";
inline constexpr std::string_view SaleAddress = "SaleAddress";
inline constexpr std::string_view SaleLocation = "SaleLocation";
inline constexpr std::string_view OFDCompany = "OFDCompany";
inline constexpr std::string_view OFDCompanyINN = "OFDCompanyINN";
inline constexpr std::string_view FNSURL = "FNSURL";
inline constexpr std::string_view SenderEmail = "SenderEmail";
inline constexpr std::string_view AutomaticNumber = "AutomaticNumber";
inline constexpr std::string_view DocumentNumber = "DocumentNumber";
inline constexpr std::string_view DateTime = "DateTime";
inline constexpr std::string_view FFDVersionKKT = "FFDVersionKKT";
inline constexpr std::string_view FFDVersionFN = "FFDVersionFN";
inline constexpr std::string_view RegistrationReasonCode = "RegistrationReasonCode";
inline constexpr std::string_view RegistrationLabelCodes = "RegistrationLabelCodes";
inline constexpr std::string_view CashierName = "CashierName";
inline constexpr std::string_view CashierINN = "CashierINN";
} // namespace registration_attr

struct RegistrationParameters {
    // False when the text was not a well-formed document (see parseHostDocument).
    bool wellFormed = true;
    std::string kktSerialNumber;
    std::string firmwareVersion;
    uint8_t agentTypes = 0; // bit list
    std::string fnSerialNumber;
    std::string kktNumber;
    bool isOffline = false;
    bool isEncrypted = false;
    bool isService = false;
    bool isExcisable = false;
    bool isGambling = false;
    bool isLottery = false;
    bool bsoSing = false;
    bool isOnlineOnly = false; // "IsOnlineOnly", or "IsOnline" when it is absent
    bool isAutomaticPrinter = false;
    bool isAutomatic = false;
    bool isMarking = false;
    bool isPawnshop = false;
    bool isAssurance = false;
    uint8_t taxationSystems = 0; // bit list
    bool fiscal = false;
    std::string companyName;
    std::string inn;
    std::string saleAddress;
    std::string saleLocation;
    std::string ofdCompany;
    std::string ofdCompanyInn;
    std::string fnsUrl;
    std::string senderEmail;
    std::string automaticNumber;
    int32_t documentNumber = 0;
    int64_t dateTime = 0; // seconds since 1970, 0 when absent or unreadable
    std::string ffdVersionKkt;
    std::string ffdVersionFn;
    int32_t registrationReasonCode = 0;
    std::string registrationLabelCodes;
    std::string cashierName;
    std::string cashierInn;
};

// Reads the attributes of the document's first element. Text that is not XML,
// or has no element, gives a record with every field at its start value, not
// well-formed unless there was no text at all.
RegistrationParameters readRegistrationParameters(std::string_view text);

// Boolean attribute text: true for an integer other than 0 (read as "%d") and for
// "true", "True", "TRUE"; false for everything else.
bool readRegistrationBool(std::string_view text);

// Bit list: the numbers of the set bits, lowest first, joined by "," ("0,3");
// the empty text for no bit.
std::string formatBitList(uint8_t mask);
// Split at ","; empty pieces are skipped; a piece that reads as a decimal
// integer 0 to 7 sets that bit; other pieces set nothing.
uint8_t readBitList(std::string_view text);

// The FFD version texts of the register (1 "1.0", 2 "1.0.5", 3 "1.1") and of the
// fiscal storage (1 "1.0", 2 and 3 "1.1"); nullopt for any other number.
std::optional<std::string_view> kktFfdVersionText(int32_t version);
std::optional<std::string_view> fnFfdVersionText(int32_t version);

} // namespace korvant
