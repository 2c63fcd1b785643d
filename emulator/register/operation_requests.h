#pragma once
// The requests of the task functions, read into typed records. Reading checks
// only that the needed members are there with the right JSON types (else
// BadRequest, library result -8); whether the register accepts the values is
// for the register to decide when it performs the operation.

#include "protocol/request.h"
#include "register/documents.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace korvant3emu {

struct OpenDocRequest {
    Cashier cashier;
    int64_t doc_kind = 0;
    int64_t taxcode = 0;
    std::string client_name;
    std::string client_inn;
    std::string client_contact;
    BuyerIdentity buyer;
    Correction correction;
};

struct AgentRequest {
    int64_t agent = 0;
    nlohmann::json texts; // the agent's and provider's texts by member name
};

struct RegistrationRequest {
    Cashier cashier;
    nlohmann::json members; // registration members present in the request
    std::optional<int64_t> reg_reason;
    std::optional<std::string> fd_serial;
};

// The cashier of a shift or document, whose name the register needs.
Cashier readCashier(const Request& request);
// The cashier where the register can do without one.
Cashier readOptionalCashier(const Request& request);
OpenDocRequest readOpenDoc(const Request& request);
Item readItem(const Request& request);
TextLine readText(const Request& request);
AgentRequest readAgent(const Request& request);
Payments readPayments(const Request& request);
RegistrationRequest readRegistration(const Request& request);
int64_t readDocumentNumber(const Request& request);

} // namespace korvant3emu
