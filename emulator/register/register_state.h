#pragma once
// What the fiscal storage of the emulated register keeps: registration, document
// numbering, the shift, the per-shift counters, the cash drawer and the backlog
// of documents the tax operator has not yet received. This is the part of the
// register that a state file carries from one process to the next.

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace korvant3emu {

struct Registration {
    std::string company_name;
    std::string company_inn;
    std::string sale_address;
    std::string sale_location;
    std::string ofd_name;
    std::string ofd_inn;
    std::string fns_site;
    std::string sender_email;
    std::string automat_number;
    std::string regnum;
    int64_t taxcode = 0;
    int64_t agents = 0;
    int64_t fd_mode = 0;
    int64_t fd_ext_mode = 0;

    bool operator==(const Registration&) const = default;
};

// fd_mode bit of a register that works without the tax operator: its documents
// stay in the backlog.
inline constexpr int64_t kOfflineMode = 0x02;

// Registrations a fiscal storage allows, the first one included.
inline constexpr int64_t kRegistrationLimit = 30;

// Groups of the per-shift counters, in the order of their tags.
enum class CounterGroup {
    sales,
    buys,
    sales_return,
    buys_return,
    sales_correction,
    buys_correction
};
inline constexpr size_t kCounterGroups = 6;

struct Counter {
    int64_t check_count = 0;
    int64_t check_total = 0;

    bool operator==(const Counter&) const = default;
};

struct Shift {
    bool open = false;
    int64_t id = 0;         // number of the last shift opened
    int64_t opened_at = 0;  // date of its opening
    int64_t doc_number = 0; // receipts within the shift

    bool operator==(const Shift&) const = default;
};

struct LastDocument {
    int64_t number = 0;
    int64_t date = 0;
    uint32_t sign = 0;

    bool operator==(const LastDocument&) const = default;
};

struct Backlog {
    int64_t count = 0;
    int64_t first_document = 0;
    int64_t first_date = 0;

    bool operator==(const Backlog&) const = default;
};

struct FiscalState {
    std::string fn_serial;
    bool registered = false;
    bool archive_closed = false;
    Registration registration;
    int64_t reg_document = 0;
    int64_t reg_date = 0;
    int64_t reg_count = 0;
    LastDocument last;
    Shift shift;
    std::array<Counter, kCounterGroups> counters{};
    int64_t cash = 0; // the drawer, in ten-thousandths
    // Cash documents: the shift's cash in and cash out, and the number of the last cash
    // document, which has a counter of its own since it is not a fiscal document.
    Counter cash_in;
    Counter cash_out;
    int64_t cash_documents = 0;
    Backlog backlog;

    bool operator==(const FiscalState&) const = default;
};

// A registration with plausible demonstration values.
Registration defaultRegistration();

// Registration members from a JSON object over a base; std::runtime_error names
// a member that is unknown or of the wrong type.
Registration registrationFromJson(const nlohmann::json& object, Registration base);
nlohmann::json toJson(const Registration& registration);

nlohmann::json toJson(const FiscalState& state);
// std::runtime_error names what is missing or wrong.
FiscalState fiscalStateFromJson(const nlohmann::json& object);

Counter& counter(FiscalState& state, CounterGroup group);
uint16_t counterTag(size_t index);

} // namespace korvant3emu
