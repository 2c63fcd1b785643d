#include "register/check_code.h"

#include "printer/text_format.h"

namespace korvant3emu {
namespace {

int settlementKind(DocKind kind) {
    switch (kind) {
    case DocKind::sale_return:
        return 2;
    case DocKind::purchase:
    case DocKind::purchase_correction:
        return 3;
    case DocKind::purchase_return:
        return 4;
    default:
        return 1;
    }
}

} // namespace

std::string receiptCheckCode(DocKind kind, int64_t total, const std::string& fnSerial,
                             const LastDocument& document) {
    return "t=" + formatCompactDateTime(document.date) + "&s=" + formatMoney(total) +
           "&fn=" + fnSerial + "&i=" + decimal(document.number) + "&fp=" + decimal(document.sign) +
           "&n=" + decimal(settlementKind(kind));
}

} // namespace korvant3emu
