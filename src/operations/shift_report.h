#pragma once
// Groups of output attributes that several shift and status reports write the
// same way, each in the order the host's driver interface lists them.

#include <cstdint>

#include "device/responses.h"
#include "documents/output_parameters.h"

namespace korvant {

// DateTime, ShiftNumber, ShiftState, FNError, FNFail, FNOverflow of the
// document that opened or closed a shift.
void writeShiftDocument(OutputParametersDocument& output, const KorvantResponseQuery& answer);

// BacklogDocumentsCounter, BacklogDocumentFirstNumber, BacklogDocumentFirstDateTime:
// the documents the fiscal storage has not yet transmitted.
void writeBacklog(OutputParametersDocument& output, int32_t waiting, int32_t firstNumber,
                  int64_t firstDateTime);

// The four counters blocks of a closed shift: sales, purchases, sales returns,
// purchase returns. Returns have no correction counters; those read "0".
void writeShiftCounters(OutputParametersDocument& output, const KorvantResponseQuery& answer);

} // namespace korvant
