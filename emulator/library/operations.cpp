#include "library/operations.h"

#include "register/operation_requests.h"

#include <stdexcept>

namespace korvant3emu {

Operation prepareOperation(Function function, const Request& request) {
    switch (function) {
    case Function::fremu_open_shift:
        return [cashier = readCashier(request)](FiscalRegister& r) { r.openShift(cashier); };
    case Function::fremu_close_shift:
        return [cashier = readCashier(request)](FiscalRegister& r) { r.closeShift(cashier); };
    case Function::fremu_open_doc:
        return [open = readOpenDoc(request)](FiscalRegister& r) { r.openDocument(open); };
    case Function::fremu_add_item:
        return [item = readItem(request)](FiscalRegister& r) { r.addItem(item); };
    case Function::fremu_add_text:
        return [line = readText(request)](FiscalRegister& r) { r.addText(line); };
    case Function::fremu_set_agent:
        return [agent = readAgent(request)](FiscalRegister& r) { r.setAgent(agent); };
    case Function::fremu_close_doc:
        return [payments = readPayments(request)](FiscalRegister& r) { r.closeDocument(payments); };
    case Function::fremu_cancel_doc:
        return [](FiscalRegister& r) { r.cancelDocument(); };
    case Function::fremu_print:
        return [line = readText(request)](FiscalRegister& r) { r.printText(line); };
    case Function::fremu_report_x:
        return [](FiscalRegister& r) { r.reportX(); };
    case Function::fremu_report_state:
        return [](FiscalRegister& r) { r.reportState(); };
    case Function::fremu_registration:
        return [registration = readRegistration(request)](FiscalRegister& r) {
            r.registration(registration);
        };
    case Function::fremu_close_archive:
        return [cashier = readOptionalCashier(request)](FiscalRegister& r) {
            r.closeArchive(cashier);
        };
    case Function::fremu_print_doc:
        return [number = readDocumentNumber(request)](FiscalRegister& r) { r.printCopy(number); };
    default:
        throw std::logic_error("not a task function");
    }
}

} // namespace korvant3emu
