#include "operations/shift_report.h"

#include <optional>

namespace korvant {

void writeShiftDocument(OutputParametersDocument& output, const KorvantResponseQuery& answer) {
    output.setDateTime(answer.fd_date);
    output.setShiftNumber(answer.shift_id);
    output.setShiftState(answer.fd_shift_state);
    output.setBool(output_attr::FNError, answer.fd_error);
    output.setBool(output_attr::FNFail, answer.fd_fail);
    output.setBool(output_attr::FNOverflow, answer.fd_overflow);
}

void writeBacklog(OutputParametersDocument& output, int32_t waiting, int32_t firstNumber,
                  int64_t firstDateTime) {
    output.setSigned(output_attr::BacklogDocumentsCounter, waiting);
    output.setUnsigned(output_attr::BacklogDocumentFirstNumber, static_cast<uint32_t>(firstNumber));
    output.setDateTime(output_attr::BacklogDocumentFirstDateTime, firstDateTime);
}

void writeShiftCounters(OutputParametersDocument& output, const KorvantResponseQuery& answer) {
    output.addCountersBlock(counters_block::Sale, answer.sales.count, answer.sales.total,
                            answer.sales_correction.count, answer.sales_correction.total);
    output.addCountersBlock(counters_block::Purchase, answer.buys.count, answer.buys.total,
                            answer.buys_correction.count, answer.buys_correction.total);
    output.addCountersBlock(counters_block::SaleReturn, answer.sales_return.count,
                            answer.sales_return.total, 0, std::nullopt);
    output.addCountersBlock(counters_block::PurchaseReturn, answer.buys_return.count,
                            answer.buys_return.total, 0, std::nullopt);
}

} // namespace korvant
