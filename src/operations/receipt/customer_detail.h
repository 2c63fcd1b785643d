#pragma once
// The buyer's identity in the opening request of a receipt or correction
// receipt: address, citizenship, identity document and date of birth, as the
// package's CustomerDetail gives them for a buyer identified by a document.

#include "device/request.h"
#include "documents/receipt_record.h"
#include "operations/receipt/receipt_plan.h"

namespace korvant {

// Adds "client_address", "citizenship", "client_ident_type", "client_ident_data"
// and "birth_date", each only when the client gave it, so a package without them
// opens the document as before. Citizenship and document type go as numbers,
// the date of birth as the seconds of 00:00 UTC on that day. A value the
// register cannot hold (a code that is not a number of at most two bytes, a
// date that is not dd.MM.yyyy or lies outside 32-bit seconds) refuses the
// receipt through `units`.
void addCustomerDetail(Request& open, const CustomerDetailRecord& detail, ReceiptUnits& units);

} // namespace korvant
