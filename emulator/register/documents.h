#pragma once
// The document open in the register: a receipt, a correction receipt or a cash
// document, with its positions. Amounts and quantities are in ten-thousandths.

#include "register/register_state.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvant3emu {

enum class DocKind {
    sale = 0,
    sale_return = 1,
    cash_in = 2,
    cash_out = 3,
    purchase = 5,
    purchase_return = 6,
    sale_correction = 7,
    purchase_correction = 8,
};

std::optional<DocKind> docKindOf(int64_t number);
bool isCashDocument(DocKind kind);
bool isCorrection(DocKind kind);
// Cash comes into the drawer (sale, purchase return, sale correction, cash in);
// otherwise it leaves it.
bool cashComesIn(DocKind kind);
// The per-shift counter of a receipt or correction receipt.
CounterGroup counterGroupOf(DocKind kind);

struct Cashier {
    std::string name;
    std::string inn;
};

struct Item {
    std::string name;
    int64_t price = 0;
    int64_t quant = 0;
    int64_t discount = 0;
    int64_t tax_id = 0;
    std::optional<int64_t> tax_value;
    int64_t payment_method = 0; // 0 when not sent
    int64_t item_attr = 0;      // the calculation subject; 0 when not sent
    int64_t unit = 0;           // the measure of the quantity; 0 is pieces
    bool marked = false;
    nlohmann::json agent; // null until set_agent
    int64_t total = 0;
};

// A text line (type 1) or a barcode (types 2 to 5) within a document.
struct TextLine {
    int64_t text_type = 1;
    std::string text;
};

using Position = std::variant<Item, TextLine>;

struct Payments {
    int64_t cash = 0;
    int64_t credit = 0;
    int64_t prepay = 0;
    int64_t postpay = 0;
    int64_t otherpay = 0;
    int64_t nonCash() const { return credit + prepay + postpay + otherpay; }
    int64_t sum() const { return cash + nonCash(); }
};

// How a receipt was settled: its payments, its total and the change given.
struct Settlement {
    Payments payments;
    int64_t total = 0;
    int64_t change = 0;
};

// The buyer's identity beyond name, INN and contact, which a receipt to a buyer
// identified by a document carries; each member only when it was sent.
struct BuyerIdentity {
    std::string address;                // client_address
    std::optional<int64_t> citizenship; // the country's numeric code
    std::optional<int64_t> ident_type;  // client_ident_type: the identity document's kind
    std::string ident_data;             // client_ident_data: its series and number
    std::optional<int64_t> birth_date;  // seconds since 1970 of 00:00 UTC on that day
};

struct Correction {
    int64_t kind = 0;
    int64_t date = 0;
    std::string document;
    std::string description;
};

// A client of the register: a connection (its handle) of a process (its token; every process
// sharing a register names itself with a random one).
struct Client {
    std::string process;
    int32_t handle = 0;

    bool operator==(const Client&) const = default;
};

// A change of the open document after its opening, in the order made: the position appended
// at `index` of the positions, or agent data set on the item there. `number` counts the
// document's changes from 1.
struct DocumentChange {
    enum class Kind { position, agent };
    Kind kind = Kind::position;
    size_t index = 0;
    int64_t number = 0;
    nlohmann::json previousAgent; // what agent data replaced, to put it back
};

struct OpenDocument {
    std::string id;              // tells this document from any other opened before or after
    std::optional<Client> owner; // the client that opened it (or took it over)
    int64_t changes = 0;         // changes made since the opening
    DocKind kind = DocKind::sale;
    Cashier cashier;
    int64_t taxcode = 0;
    std::string client_name;
    std::string client_inn;
    std::string client_contact;
    BuyerIdentity buyer;
    Correction correction;
    std::vector<Position> positions;
    int64_t total = 0; // sum of the item totals

    size_t itemCount() const;
    Item* lastItem();
};

// The whole document, as the state view shows it: its header, positions and total.
nlohmann::json toJson(const OpenDocument& document);
// What tells a document and its owner apart: everything but its positions and sums (its kind,
// cashier, buyer, correction, identity and owner). Two documents with the same header differ
// only in their changes.
nlohmann::json documentHeader(const OpenDocument& document);
// The document as the state file keeps it: its header, positions and sums, and the number of
// changes folded into them.
nlohmann::json storedDocument(const OpenDocument& document);
// The document storedDocument (or an earlier version's toJson) gave; std::runtime_error names
// what is missing or wrong.
OpenDocument documentFromJson(const nlohmann::json& stored);

// A change as the document's record keeps it, and the change applied to the document (which
// must be the document's next one); std::runtime_error when it is not such a change.
nlohmann::json toJson(const OpenDocument& document, const DocumentChange& change);
void applyChange(OpenDocument& document, const nlohmann::json& change);

} // namespace korvant3emu
