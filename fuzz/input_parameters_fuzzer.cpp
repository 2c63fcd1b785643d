// The input parameter document and the cashier request made from it (the
// shifts, the cash documents).
#include "document_checks.h"
#include "documents/input_parameters.h"
#include "operations/operation_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const InputParametersDocument input(asText(data, size));
    for (const std::string* text :
         {&input.cashierName(), &input.cashierINN(), &input.saleAddress(), &input.saleLocation()}) {
        requireUtf8(*text, "input parameters are UTF-8");
    }
    requireRequest(cashierRequest(input));
    return 0;
}
