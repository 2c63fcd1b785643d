#pragma once
// The check code of a receipt: the text of the QR code every fiscal receipt carries, with which
// the buyer checks the receipt at the tax service. It names the receipt by its date and time,
// total, fiscal storage, document number, fiscal sign and kind of settlement.

#include "register/documents.h"
#include "register/register_state.h"

#include <cstdint>
#include <string>

namespace korvant3emu {

// "t=20240305T0907&s=792.90&fn=9961440300987654&i=3&fp=1819173321&n=1": the document's local
// date and time, the total with two decimals, the storage's serial, the document's number and
// fiscal sign, and the kind of settlement (1 sale, 2 sale return, 3 purchase, 4 purchase
// return; a correction has the kind of the settlement it corrects).
std::string receiptCheckCode(DocKind kind, int64_t total, const std::string& fnSerial,
                             const LastDocument& document);

} // namespace korvant3emu
