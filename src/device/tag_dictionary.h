#pragma once
// The tag dictionary: the JSON member names exchanged with the device library.
// A TagId carries the tag number in bits 0-15 and the declared value width in
// bytes in bits 16-19 (0 for texts, objects and arrays). Only the number and the
// name matter at run time; the width documents what the register keeps.
// Shared by the add-in and the register emulator.

#include <cstdint>
#include <span>
#include <string_view>

namespace korvant {

using TagId = uint32_t;

constexpr TagId makeTagId(uint16_t number, uint32_t width) {
    return number | (width << 16);
}
constexpr uint16_t tagNumber(TagId id) {
    return static_cast<uint16_t>(id & 0xFFFF);
}
constexpr uint32_t tagWidth(TagId id) {
    return (id >> 16) & 0xF;
}

struct TagEntry {
    TagId id;
    std::string_view name;
};

// All tags in ascending number order.
std::span<const TagEntry> tagDictionary();

// The key name of a tag number, or empty text when the dictionary has no such number.
std::string_view tagName(uint32_t number);

// The tag number of a key name, or 0 when the name is not in the dictionary.
uint16_t tagByName(std::string_view name);

namespace tag {
inline constexpr uint16_t version = 1;
inline constexpr uint16_t build = 2;
inline constexpr uint16_t flags = 3;
inline constexpr uint16_t flash_size = 4;
inline constexpr uint16_t goods_count = 5;
inline constexpr uint16_t serial = 6;
inline constexpr uint16_t cmd = 7;
inline constexpr uint16_t response = 8;
inline constexpr uint16_t body = 9;
inline constexpr uint16_t page_count = 10;
inline constexpr uint16_t page_start = 11;
inline constexpr uint16_t binary = 12;
inline constexpr uint16_t user_id = 13;
inline constexpr uint16_t doc_kind = 14;
inline constexpr uint16_t shift_cash = 15;
inline constexpr uint16_t fd_last_doc = 16;
inline constexpr uint16_t fd_first_date = 17;
inline constexpr uint16_t fd_last_date = 18;
inline constexpr uint16_t fd_doc_type = 19;
inline constexpr uint16_t fd_doc_id = 20;
inline constexpr uint16_t fd_doc_data = 21;
inline constexpr uint16_t page_size = 22;
inline constexpr uint16_t dev_context = 23;
inline constexpr uint16_t fd_serial = 24;
inline constexpr uint16_t agents = 25;
inline constexpr uint16_t fd_mode = 26;
inline constexpr uint16_t taxcode = 27;
inline constexpr uint16_t regnum = 28;
inline constexpr uint16_t final_pkt = 29;
inline constexpr uint16_t extended = 30;
inline constexpr uint16_t cash = 31;
inline constexpr uint16_t credit = 32;
inline constexpr uint16_t postpay = 33;
inline constexpr uint16_t prepay = 34;
inline constexpr uint16_t otherpay = 35;
inline constexpr uint16_t dept_id = 36;
inline constexpr uint16_t price = 37;
inline constexpr uint16_t quant = 38;
inline constexpr uint16_t item_disc_abs = 39;
inline constexpr uint16_t intcode = 40;
inline constexpr uint16_t name = 41;
inline constexpr uint16_t text = 42;
inline constexpr uint16_t shift_id = 43;
inline constexpr uint16_t addr_start = 44;
inline constexpr uint16_t addr_stop = 45;
inline constexpr uint16_t position = 46;
inline constexpr uint16_t receipt_type = 47;
inline constexpr uint16_t receipt_size = 48;
inline constexpr uint16_t fd_ext_mode = 49;
inline constexpr uint16_t user_name = 50;
inline constexpr uint16_t tax_id = 51;
inline constexpr uint16_t user_inn = 52;
inline constexpr uint16_t task_id = 53;
inline constexpr uint16_t flash_bank = 54;
inline constexpr uint16_t boot_version = 57;
inline constexpr uint16_t fd_date = 58;
inline constexpr uint16_t fd_number = 59;
inline constexpr uint16_t fd_sign = 60;
inline constexpr uint16_t client_contact = 61;
inline constexpr uint16_t force_print = 62;
inline constexpr uint16_t client_inn = 63;
inline constexpr uint16_t client_name = 64;
inline constexpr uint16_t client_version = 65;
inline constexpr uint16_t agent = 66;
inline constexpr uint16_t transfer_op_phone = 67;
inline constexpr uint16_t transfer_op_addr = 68;
inline constexpr uint16_t transfer_op_name = 69;
inline constexpr uint16_t transfer_op_inn = 70;
inline constexpr uint16_t payment_op_phone = 71;
inline constexpr uint16_t payment_op_action = 72;
inline constexpr uint16_t payment_reception_op_phone = 73;
inline constexpr uint16_t provider_phone = 74;
inline constexpr uint16_t provider_inn = 75;
inline constexpr uint16_t provider_name = 76;
inline constexpr uint16_t payment_method = 77;
inline constexpr uint16_t fd_flags = 78;
inline constexpr uint16_t fd_phase = 79;
inline constexpr uint16_t fd_expired = 80;
inline constexpr uint16_t fd_reg_left = 81;
inline constexpr uint16_t fd_shift_state = 82;
inline constexpr uint16_t fd_waiting = 83;
inline constexpr uint16_t fd_waiting_document = 84;
inline constexpr uint16_t fd_waiting_date = 85;
inline constexpr uint16_t shift_doc_number = 86;
inline constexpr uint16_t fd_tag = 87;
inline constexpr uint16_t fd_reg_count = 88;
inline constexpr uint16_t fd_reg_document = 89;
inline constexpr uint16_t fd_reg_date = 90;
inline constexpr uint16_t company_name = 91;
inline constexpr uint16_t company_inn = 92;
inline constexpr uint16_t sale_address = 93;
inline constexpr uint16_t sale_location = 94;
inline constexpr uint16_t ofd_name = 95;
inline constexpr uint16_t ofd_inn = 96;
inline constexpr uint16_t fns_site = 97;
inline constexpr uint16_t sender_email = 98;
inline constexpr uint16_t automat_number = 99;
inline constexpr uint16_t fd_error = 100;
inline constexpr uint16_t fd_fail = 101;
inline constexpr uint16_t fd_overflow = 102;
inline constexpr uint16_t sales = 103;
inline constexpr uint16_t buys = 104;
inline constexpr uint16_t sales_return = 105;
inline constexpr uint16_t buys_return = 106;
inline constexpr uint16_t sales_correction = 107;
inline constexpr uint16_t buys_correction = 108;
inline constexpr uint16_t check_count = 109;
inline constexpr uint16_t check_total = 110;
inline constexpr uint16_t correction_kind = 111;
inline constexpr uint16_t correction_date = 112;
inline constexpr uint16_t correction_document = 113;
inline constexpr uint16_t correction_description = 114;
inline constexpr uint16_t line_length = 115;
inline constexpr uint16_t reg_reason = 116;
inline constexpr uint16_t tax_value = 117;
inline constexpr uint16_t item_attr = 118;
inline constexpr uint16_t item_attr_ext = 119;
inline constexpr uint16_t text_type = 120;
inline constexpr uint16_t mark_type = 121;
inline constexpr uint16_t gtin = 122;
inline constexpr uint16_t mark_serial = 123;
inline constexpr uint16_t ffd_version = 124;
inline constexpr uint16_t kkt_ffd_version = 125;
inline constexpr uint16_t mark_stamp = 126;
inline constexpr uint16_t goods_id = 129;
inline constexpr uint16_t item = 130;
inline constexpr uint16_t range = 131;
inline constexpr uint16_t list = 132;
inline constexpr uint16_t barcode = 133;
inline constexpr uint16_t unit = 134;
inline constexpr uint16_t active_goods = 135;
inline constexpr uint16_t delete_before = 136;
inline constexpr uint16_t excise = 137;
inline constexpr uint16_t timeout = 138;
inline constexpr uint16_t date_time = 139;
inline constexpr uint16_t forbid_print = 140;
inline constexpr uint16_t unit_id = 142;
inline constexpr uint16_t country = 143;
inline constexpr uint16_t unconf_notifications = 144;
inline constexpr uint16_t first_unconf_notify = 145;
inline constexpr uint16_t exported_notifications = 146;
inline constexpr uint16_t first_exported_notify = 147;
inline constexpr uint16_t notify_action = 148;
inline constexpr uint16_t notify_size = 149;
inline constexpr uint16_t notify_data = 150;
inline constexpr uint16_t crc16 = 151;
inline constexpr uint16_t opt_attr = 152;
inline constexpr uint16_t opt_data = 153;
inline constexpr uint16_t foiv_ident = 154;
inline constexpr uint16_t ind_prop_docdate = 155;
inline constexpr uint16_t ind_prop_docnumber = 156;
inline constexpr uint16_t ind_prop_value = 157;
inline constexpr uint16_t birth_date = 158;
inline constexpr uint16_t citizenship = 159;
inline constexpr uint16_t client_ident_type = 160;
inline constexpr uint16_t client_ident_data = 161;
inline constexpr uint16_t client_address = 162;
inline constexpr uint16_t mark_status = 163;
inline constexpr uint16_t quant_numerator = 164;
inline constexpr uint16_t quant_denominator = 165;
inline constexpr uint16_t gtd = 166;
inline constexpr uint16_t reg_reason_ext = 167;
inline constexpr uint16_t payment_qrcode = 169;
inline constexpr uint16_t mark_validation_status = 170;
inline constexpr uint16_t mark_result_code = 171;
inline constexpr uint16_t mark_handle_code = 172;
inline constexpr uint16_t mark_online_type = 173;
} // namespace tag

} // namespace korvant
