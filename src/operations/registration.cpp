// GetDataKKT and OperationFN: the register's registration data, read into the
// host's registration table and sent from it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/log.h"
#include "device/request.h"
#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "documents/registration_parameters.h"
#include "documents/registration_table_writer.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"

namespace korvant {
namespace {

namespace attr = registration_attr;

// Which mode value of the register a flag lives in.
enum class ModeField { FdMode, FdExtMode };

// One operating-mode flag: its table attribute, where the register keeps it,
// and the record member OperationFN sends it from.
struct ModeFlag {
    std::string_view attribute;
    ModeField field;
    uint8_t mask;
    bool RegistrationParameters::*sent;
};

// In the order GetDataKKT writes them.
constexpr std::array<ModeFlag, 14> kModeFlags{{
    {attr::IsOffline, ModeField::FdMode, 0x02, &RegistrationParameters::isOffline},
    {attr::IsEncrypted, ModeField::FdMode, 0x01, &RegistrationParameters::isEncrypted},
    {attr::IsService, ModeField::FdMode, 0x08, &RegistrationParameters::isService},
    {attr::IsExcisable, ModeField::FdExtMode, 0x02, &RegistrationParameters::isExcisable},
    {attr::IsGambling, ModeField::FdExtMode, 0x04, &RegistrationParameters::isGambling},
    {attr::IsLottery, ModeField::FdExtMode, 0x08, &RegistrationParameters::isLottery},
    {attr::BSOSing, ModeField::FdMode, 0x10, &RegistrationParameters::bsoSing},
    {attr::IsOnlineOnly, ModeField::FdMode, 0x20, &RegistrationParameters::isOnlineOnly},
    // The same flag under the name other clients read.
    {attr::IsOnline, ModeField::FdMode, 0x20, &RegistrationParameters::isOnlineOnly},
    {attr::IsAutomaticPrinter, ModeField::FdExtMode, 0x01,
     &RegistrationParameters::isAutomaticPrinter},
    {attr::IsAutomatic, ModeField::FdMode, 0x04, &RegistrationParameters::isAutomatic},
    {attr::IsMarking, ModeField::FdExtMode, 0x20, &RegistrationParameters::isMarking},
    {attr::IsPawnshop, ModeField::FdExtMode, 0x40, &RegistrationParameters::isPawnshop},
    {attr::IsAssurance, ModeField::FdExtMode, 0x80, &RegistrationParameters::isAssurance},
}};

// A text of the registration: its table attribute, its tag in the register's
// state and in a registration request, and the record member it is sent from.
struct RegistrationText {
    std::string_view attribute;
    uint16_t tag;
    std::string KorvantResponseGetState::*state;
    std::string RegistrationParameters::*sent;
};

// The register's numbers, written before the mode flags.
constexpr std::array<RegistrationText, 2> kNumberTexts{{
    {attr::FNSerialNumber, tag::fd_serial, &KorvantResponseGetState::fd_serial,
     &RegistrationParameters::fnSerialNumber},
    {attr::KKTNumber, tag::regnum, &KorvantResponseGetState::regnum,
     &RegistrationParameters::kktNumber},
}};

// The owner's and the tax operator's details, written after the tax systems.
constexpr std::array<RegistrationText, 9> kOwnerTexts{{
    {attr::CompanyName, tag::company_name, &KorvantResponseGetState::company_name,
     &RegistrationParameters::companyName},
    {attr::INN, tag::company_inn, &KorvantResponseGetState::company_inn,
     &RegistrationParameters::inn},
    {attr::SaleAddress, tag::sale_address, &KorvantResponseGetState::sale_address,
     &RegistrationParameters::saleAddress},
    {attr::SaleLocation, tag::sale_location, &KorvantResponseGetState::sale_location,
     &RegistrationParameters::saleLocation},
    {attr::OFDCompany, tag::ofd_name, &KorvantResponseGetState::ofd_name,
     &RegistrationParameters::ofdCompany},
    {attr::OFDCompanyINN, tag::ofd_inn, &KorvantResponseGetState::ofd_inn,
     &RegistrationParameters::ofdCompanyInn},
    {attr::FNSURL, tag::fns_site, &KorvantResponseGetState::fns_site,
     &RegistrationParameters::fnsUrl},
    {attr::SenderEmail, tag::sender_email, &KorvantResponseGetState::sender_email,
     &RegistrationParameters::senderEmail},
    {attr::AutomaticNumber, tag::automat_number, &KorvantResponseGetState::automat_number,
     &RegistrationParameters::automaticNumber},
}};

// Operation types of OperationFN.
enum class FnOperation : int32_t { Register = 1, ChangeRegistration = 2, CloseArchive = 3 };

// Bit lists describe an 8-bit value: higher bits of the register's numbers
// have no place in them.
uint8_t lowByte(int32_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}

void writeInfo(RegistrationTableWriter& table, const KorvantResponseGetInfo& info) {
    table.setText(attr::KKTSerialNumber, info.serial);
    table.setText(attr::FirmwareVersion, info.version);
}

template <size_t N>
void writeTexts(RegistrationTableWriter& table, const KorvantResponseGetState& registerState,
                const std::array<RegistrationText, N>& texts) {
    for (const RegistrationText& text : texts) {
        table.setText(text.attribute, registerState.*text.state);
    }
}

void writeState(RegistrationTableWriter& table, const KorvantResponseGetState& registerState) {
    table.setBitList(attr::AgentTypes, lowByte(registerState.agents));
    writeTexts(table, registerState, kNumberTexts);
    for (const ModeFlag& flag : kModeFlags) {
        const int32_t mode =
            flag.field == ModeField::FdMode ? registerState.fd_mode : registerState.fd_ext_mode;
        table.setBool(flag.attribute, (mode & flag.mask) != 0);
    }
    table.setBitList(attr::TaxationSystems, lowByte(registerState.taxcode));
    table.setBool(attr::Fiscal, (registerState.dev_context & kContextFiscal) != 0);
    writeTexts(table, registerState, kOwnerTexts);
}

void writeFdState(RegistrationTableWriter& table, const KorvantResponseGetFdState& fdState) {
    table.setNumber(attr::DocumentNumber, fdState.fd_reg_document);
    table.setDateTime(attr::DateTime, fdState.fd_reg_date);
    table.setKktFfdVersion(fdState.kkt_ffd_version);
    table.setFnFfdVersion(fdState.ffd_version);
}

// The flags of one mode value as the table sets them.
uint8_t modeValue(const RegistrationParameters& parameters, ModeField field) {
    uint8_t value = 0;
    for (const ModeFlag& flag : kModeFlags) {
        if (flag.field == field && parameters.*flag.sent) {
            value = static_cast<uint8_t>(value | flag.mask);
        }
    }
    return value;
}

template <size_t N>
void addTexts(Request& request, const RegistrationParameters& parameters,
              const std::array<RegistrationText, N>& texts) {
    for (const RegistrationText& text : texts) {
        request.setIfNotEmpty(text.tag, parameters.*text.sent);
    }
}

// The request of a registration (type 1) or a change of it (type 2), on top of
// the cashier members already in `request`.
void addRegistration(Request& request, const RegistrationParameters& parameters,
                     FnOperation operation) {
    addTexts(request, parameters, kNumberTexts);
    addTexts(request, parameters, kOwnerTexts);
    if (operation == FnOperation::ChangeRegistration) {
        request.set(tag::reg_reason, parameters.registrationReasonCode);
    }
    request.set(tag::taxcode, parameters.taxationSystems);
    request.set(tag::agents, parameters.agentTypes);
    request.set(tag::fd_mode, modeValue(parameters, ModeField::FdMode));
    request.set(tag::fd_ext_mode, modeValue(parameters, ModeField::FdExtMode));
}

// The operation type is a 1C number, which a host may hand as any integer or
// real type. Anything that is not exactly 1, 2 or 3 (a text, a fraction, an
// unknown number) reads as 0 and is refused like any unknown type.
int32_t operationType(const HostArgs& args) {
    const double type = args.numeric(1).value_or(0);
    return type == 1 || type == 2 || type == 3 ? static_cast<int32_t>(type) : 0;
}

} // namespace

MethodOutcome getDataKKT(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    auto& [library, handle] = *device;
    RegistrationTableWriter table;

    KorvantResponseGetInfo info;
    const ErrorCode described = library.getInfo(handle, info);
    if (!record(state, reportable(described, info, {tag::serial, tag::version}))) {
        return MethodOutcome::boolean(false);
    }
    writeInfo(table, info);

    // An answer code the status mapping does not refuse (3 included) still
    // carries the register's data; an answer without it carries none.
    KorvantResponseGetState registerState;
    const ErrorCode stated = library.getState(handle, registerState);
    if (!record(state, reportable(stated, registerState,
                                  {tag::dev_context, tag::agents, tag::fd_mode, tag::fd_ext_mode,
                                   tag::taxcode, tag::fd_serial, tag::regnum, tag::company_name,
                                   tag::company_inn, tag::sale_address, tag::sale_location,
                                   tag::ofd_name, tag::ofd_inn, tag::fns_site, tag::sender_email,
                                   tag::automat_number}))) {
        return MethodOutcome::boolean(false);
    }
    writeState(table, registerState);

    KorvantResponseGetFdState fdState;
    const ErrorCode stored = library.getFdState(handle, fdState);
    if (!record(state, reportable(stored, fdState,
                                  {tag::fd_reg_document, tag::fd_reg_date, tag::kkt_ffd_version,
                                   tag::ffd_version}))) {
        return MethodOutcome::boolean(false);
    }
    writeFdState(table, fdState);

    return MethodOutcome::boolean(handBack(args, 1, table));
}

MethodOutcome operationFN(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const int32_t type = operationType(args);
    const RegistrationParameters parameters = readRegistrationParameters(args.text(2));
    KORVANT_LOG("AddInKorvant::operationFN", "type ", type);
    if (!parameters.wellFormed) {
        return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
    }

    Request request;
    request.setIfNotEmpty(tag::user_name, parameters.cashierName);
    request.setIfNotEmpty(tag::user_inn, parameters.cashierInn);

    auto& [library, handle] = *device;
    switch (static_cast<FnOperation>(type)) {
    case FnOperation::CloseArchive:
        return MethodOutcome::boolean(record(state, library.closeArchive(handle, request.text())));
    case FnOperation::Register:
    case FnOperation::ChangeRegistration:
        addRegistration(request, parameters, static_cast<FnOperation>(type));
        return MethodOutcome::boolean(record(state, library.registration(handle, request.text())));
    }
    return MethodOutcome::boolean(record(state, ErrorCode::InputParametersError));
}

} // namespace korvant
