#include "documents.h"

#include "device/item_sums.h"
#include "device/tag_dictionary.h"
#include "request.h"

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

std::optional<int64_t> itemTotal(int64_t price, int64_t quant, int64_t discount) {
    const auto sum = korvant::itemSum(price, quant);
    int64_t total = 0;
    if (!sum || __builtin_sub_overflow(*sum, discount, &total)) {
        return std::nullopt;
    }
    return total;
}

nlohmann::json toJson(const OpenDocument& document) {
    auto positions = nlohmann::json::array();
    for (const auto& position : document.positions) {
        if (const auto* item = std::get_if<Item>(&position)) {
            positions.push_back({{key(tag::name), item->name},
                                 {key(tag::price), item->price},
                                 {key(tag::quant), item->quant},
                                 {key(tag::item_disc_abs), item->discount},
                                 {key(tag::tax_id), item->tax_id},
                                 {"total", item->total},
                                 {key(tag::agent), item->agent}});
        } else {
            const auto& line = std::get<TextLine>(position);
            positions.push_back(
                {{key(tag::text_type), line.text_type}, {key(tag::text), line.text}});
        }
    }
    return {{key(tag::doc_kind), static_cast<int>(document.kind)},
            {key(tag::user_name), document.cashier.name},
            {key(tag::taxcode), document.taxcode},
            {"positions", positions},
            {"total", document.total}};
}

} // namespace korvant3emu
