#include "register/documents.h"

#include "device/tag_dictionary.h"
#include "files/stored_json.h"
#include "protocol/request.h"

#include <stdexcept>

namespace korvant3emu {

namespace tag = korvant::tag;

std::optional<DocKind> docKindOf(int64_t number) {
    switch (number) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 6:
    case 7:
    case 8:
        return static_cast<DocKind>(number);
    default:
        return std::nullopt;
    }
}

bool isCashDocument(DocKind kind) {
    return kind == DocKind::cash_in || kind == DocKind::cash_out;
}

bool isCorrection(DocKind kind) {
    return kind == DocKind::sale_correction || kind == DocKind::purchase_correction;
}

bool cashComesIn(DocKind kind) {
    return kind == DocKind::sale || kind == DocKind::purchase_return ||
           kind == DocKind::sale_correction || kind == DocKind::cash_in;
}

CounterGroup counterGroupOf(DocKind kind) {
    switch (kind) {
    case DocKind::sale_return:
        return CounterGroup::sales_return;
    case DocKind::purchase:
        return CounterGroup::buys;
    case DocKind::purchase_return:
        return CounterGroup::buys_return;
    case DocKind::sale_correction:
        return CounterGroup::sales_correction;
    case DocKind::purchase_correction:
        return CounterGroup::buys_correction;
    default:
        return CounterGroup::sales;
    }
}

size_t OpenDocument::itemCount() const {
    size_t count = 0;
    for (const auto& position : positions) {
        count += std::holds_alternative<Item>(position) ? 1 : 0;
    }
    return count;
}

Item* OpenDocument::lastItem() {
    for (auto position = positions.rbegin(); position != positions.rend(); ++position) {
        if (auto* item = std::get_if<Item>(&*position)) {
            return item;
        }
    }
    return nullptr;
}

namespace {

using nlohmann::json;

// The buyer's identity members as the open request carried them: only those sent.
void addBuyer(nlohmann::json& stored, const BuyerIdentity& buyer) {
    const auto text = [&stored](uint16_t number, const std::string& value) {
        if (!value.empty()) {
            stored[key(number)] = value;
        }
    };
    const auto number = [&stored](uint16_t tagNumber, const std::optional<int64_t>& value) {
        if (value) {
            stored[key(tagNumber)] = *value;
        }
    };
    text(tag::client_address, buyer.address);
    number(tag::citizenship, buyer.citizenship);
    number(tag::client_ident_type, buyer.ident_type);
    text(tag::client_ident_data, buyer.ident_data);
    number(tag::birth_date, buyer.birth_date);
}

// A document stored without them (none sent, or stored by an older emulator)
// reads as one without them.
BuyerIdentity buyerFromJson(const nlohmann::json& stored) {
    const auto text = [&stored](uint16_t number) {
        return stored.contains(key(number)) ? stored::text(stored, key(number)) : std::string();
    };
    const auto number = [&stored](uint16_t tagNumber) {
        return stored.contains(key(tagNumber))
                   ? std::optional<int64_t>(stored::number(stored, key(tagNumber)))
                   : std::nullopt;
    };
    return {text(tag::client_address), number(tag::citizenship), number(tag::client_ident_type),
            text(tag::client_ident_data), number(tag::birth_date)};
}

json toJson(const Position& position) {
    if (const auto* item = std::get_if<Item>(&position)) {
        return {{key(tag::name), item->name},
                {key(tag::price), item->price},
                {key(tag::quant), item->quant},
                {key(tag::item_disc_abs), item->discount},
                {key(tag::tax_id), item->tax_id},
                {key(tag::tax_value), item->tax_value ? json(*item->tax_value) : json()},
                {key(tag::payment_method), item->payment_method},
                {key(tag::item_attr), item->item_attr},
                {key(tag::unit_id), item->unit},
                {"marked", item->marked},
                {"total", item->total},
                {key(tag::agent), item->agent}};
    }
    const auto& line = std::get<TextLine>(position);
    return {{key(tag::text_type), line.text_type}, {key(tag::text), line.text}};
}

json agentFromJson(const json& agent) {
    if (!agent.is_null() && !agent.is_object()) {
        throw std::runtime_error("the agent data of an item is not an object");
    }
    return agent;
}

Position positionFromJson(const json& stored) {
    if (!stored.is_object()) {
        throw std::runtime_error("a position is not an object");
    }
    if (stored.contains(key(tag::text_type))) {
        return TextLine{stored::number(stored, key(tag::text_type)),
                        stored::text(stored, key(tag::text))};
    }
    Item item;
    item.name = stored::text(stored, key(tag::name));
    item.price = stored::number(stored, key(tag::price));
    item.quant = stored::number(stored, key(tag::quant));
    item.discount = stored::number(stored, key(tag::item_disc_abs));
    item.tax_id = stored::number(stored, key(tag::tax_id));
    if (!stored::required(stored, key(tag::tax_value)).is_null()) {
        item.tax_value = stored::number(stored, key(tag::tax_value));
    }
    item.payment_method = stored::number(stored, key(tag::payment_method));
    item.item_attr = stored::number(stored, key(tag::item_attr));
    // Kept since the register checks units; a document stored before reads as pieces.
    item.unit = stored.contains(key(tag::unit_id)) ? stored::number(stored, key(tag::unit_id)) : 0;
    item.marked = stored::flag(stored, "marked");
    item.total = stored::number(stored, "total");
    item.agent = agentFromJson(stored::required(stored, key(tag::agent)));
    return item;
}

void appendPosition(OpenDocument& document, Position position) {
    if (const auto* item = std::get_if<Item>(&position)) {
        document.total += item->total;
    }
    document.positions.push_back(std::move(position));
}

} // namespace

json documentHeader(const OpenDocument& document) {
    json header = {{key(tag::doc_kind), static_cast<int>(document.kind)},
                   {key(tag::user_name), document.cashier.name},
                   {key(tag::user_inn), document.cashier.inn},
                   {key(tag::taxcode), document.taxcode},
                   {key(tag::client_name), document.client_name},
                   {key(tag::client_inn), document.client_inn},
                   {key(tag::client_contact), document.client_contact},
                   {key(tag::correction_kind), document.correction.kind},
                   {key(tag::correction_date), document.correction.date},
                   {key(tag::correction_document), document.correction.document},
                   {key(tag::correction_description), document.correction.description},
                   {"id", document.id}};
    addBuyer(header, document.buyer);
    header["owner"] = document.owner ? json{{"process", document.owner->process},
                                            {"handle", document.owner->handle}}
                                     : json();
    return header;
}

json toJson(const OpenDocument& document) {
    json whole = documentHeader(document);
    auto positions = json::array();
    for (const auto& position : document.positions) {
        positions.push_back(toJson(position));
    }
    whole["positions"] = std::move(positions);
    whole["total"] = document.total;
    return whole;
}

json storedDocument(const OpenDocument& document) {
    json stored = toJson(document);
    stored["changes"] = document.changes;
    return stored;
}

OpenDocument documentFromJson(const json& stored) {
    if (!stored.is_object()) {
        throw std::runtime_error("the open document is not an object");
    }
    OpenDocument document;
    const auto kind = docKindOf(stored::number(stored, key(tag::doc_kind)));
    if (!kind) {
        throw std::runtime_error("the open document is of an unknown kind");
    }
    document.kind = *kind;
    document.cashier = {stored::text(stored, key(tag::user_name)),
                        stored::text(stored, key(tag::user_inn))};
    document.taxcode = stored::number(stored, key(tag::taxcode));
    document.client_name = stored::text(stored, key(tag::client_name));
    document.client_inn = stored::text(stored, key(tag::client_inn));
    document.client_contact = stored::text(stored, key(tag::client_contact));
    document.buyer = buyerFromJson(stored);
    document.correction = {stored::number(stored, key(tag::correction_kind)),
                           stored::number(stored, key(tag::correction_date)),
                           stored::text(stored, key(tag::correction_document)),
                           stored::text(stored, key(tag::correction_description))};
    for (const auto& position : stored::array(stored, "positions")) {
        document.positions.push_back(positionFromJson(position));
    }
    document.total = stored::number(stored, "total");
    // A document stored by an earlier version has no identity, owner or record of changes.
    if (stored.contains("id")) {
        document.id = stored::text(stored, "id");
        document.changes = stored::number(stored, "changes");
        const json& owner = stored::required(stored, "owner");
        if (!owner.is_null()) {
            document.owner = Client{stored::text(owner, "process"),
                                    static_cast<int32_t>(stored::number(owner, "handle"))};
        }
    }
    return document;
}

json toJson(const OpenDocument& document, const DocumentChange& change) {
    const Position& position = document.positions.at(change.index);
    if (change.kind == DocumentChange::Kind::position) {
        return {{"n", change.number}, {"position", toJson(position)}};
    }
    return {{"n", change.number}, {"agent", std::get<Item>(position).agent}};
}

void applyChange(OpenDocument& document, const json& change) {
    if (!change.is_object() || stored::number(change, "n") != document.changes + 1) {
        throw std::runtime_error("a change of the open document is out of order");
    }
    if (change.contains("position")) {
        appendPosition(document, positionFromJson(change["position"]));
    } else {
        Item* item = document.lastItem();
        if (item == nullptr) {
            throw std::runtime_error("agent data comes before any item");
        }
        item->agent = agentFromJson(stored::required(change, "agent"));
    }
    document.changes += 1;
}

} // namespace korvant3emu
