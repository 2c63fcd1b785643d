// Registering the register with the tax service, changing the registration,
// and closing the fiscal storage's archive.

#include "protocol/codes.h"
#include "register/fiscal_register.h"
#include "register/printouts.h"

namespace korvant3emu {

void FiscalRegister::registration(const RegistrationRequest& request) {
    const bool change = request.reg_reason.has_value();
    refuseUnless(!state_.archive_closed, extended::archive_closed,
                 "the fiscal storage archive is closed");
    if (change) {
        refuseUnless(state_.registered, extended::not_registered, "the register is not registered");
    } else {
        refuseUnless(!state_.registered, extended::not_allowed,
                     "the register is already registered");
    }
    refuseUnless(!state_.shift.open, extended::not_allowed, "the shift is open");
    requireClockNotBehind();
    refuseUnless(state_.reg_count < kRegistrationLimit, extended::not_allowed,
                 "the fiscal storage allows no more registrations");
    refuseUnless(!request.fd_serial || *request.fd_serial == state_.fn_serial,
                 extended::bad_parameters, "fd_serial is not the serial of the fiscal storage");
    // A change keeps what the request leaves out; a first registration starts empty.
    const Registration registration =
        registrationFromJson(request.members, change ? state_.registration : Registration{});
    refuseUnless(!registration.regnum.empty() && !registration.company_inn.empty(),
                 extended::bad_parameters, "a registration needs regnum and company_inn");
    refuseUnless(registration.taxcode != 0, extended::bad_parameters,
                 "a registration needs at least one taxation system");

    state_.registration = registration;
    state_.registered = true;
    state_.reg_count += 1;
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printRegistrationReport(document, state_, identity_.serial,
                            change ? &*request.reg_reason : nullptr);
    issueFiscal(document, nextDocumentDate());
    state_.reg_document = state_.last.number;
    state_.reg_date = state_.last.date;
}

void FiscalRegister::closeArchive(const Cashier& cashier) {
    requireFiscal();
    refuseUnless(!state_.shift.open, extended::not_allowed, "the shift is open");
    requireNoDocument();
    requireClockNotBehind();

    Layout document = newLayout();
    printOwner(document, state_.registration);
    printArchiveClosing(document, cashier, state_);
    issueFiscal(document, nextDocumentDate());
    state_.archive_closed = true;
}

} // namespace korvant3emu
