#include "device/tag_dictionary.h"

#include <array>
#include <map>

namespace korvant {
namespace {

constexpr std::array<TagEntry, 167> kTags{{
    {makeTagId(1, 2), "version"},
    {makeTagId(2, 2), "build"},
    {makeTagId(3, 2), "flags"},
    {makeTagId(4, 2), "flash_size"},
    {makeTagId(5, 2), "goods_count"},
    {makeTagId(6, 0), "serial"},
    {makeTagId(7, 2), "cmd"},
    {makeTagId(8, 2), "response"},
    {makeTagId(9, 0), "body"},
    {makeTagId(10, 2), "page_count"},
    {makeTagId(11, 2), "page_start"},
    {makeTagId(12, 0), "binary"},
    {makeTagId(13, 2), "user_id"},
    {makeTagId(14, 2), "doc_kind"},
    {makeTagId(15, 8), "shift_cash"},
    {makeTagId(16, 4), "fd_last_doc"},
    {makeTagId(17, 4), "fd_first_date"},
    {makeTagId(18, 4), "fd_last_date"},
    {makeTagId(19, 1), "fd_doc_type"},
    {makeTagId(20, 4), "fd_doc_id"},
    {makeTagId(21, 0), "fd_doc_data"},
    {makeTagId(22, 2), "page_size"},
    {makeTagId(23, 2), "dev_context"},
    {makeTagId(24, 0), "fd_serial"},
    {makeTagId(25, 1), "agents"},
    {makeTagId(26, 1), "fd_mode"},
    {makeTagId(27, 1), "taxcode"},
    {makeTagId(28, 0), "regnum"},
    {makeTagId(29, 1), "final_pkt"},
    {makeTagId(30, 4), "extended"},
    {makeTagId(31, 8), "cash"},
    {makeTagId(32, 8), "credit"},
    {makeTagId(33, 8), "postpay"},
    {makeTagId(34, 8), "prepay"},
    {makeTagId(35, 8), "otherpay"},
    {makeTagId(36, 1), "dept_id"},
    {makeTagId(37, 8), "price"},
    {makeTagId(38, 8), "quant"},
    {makeTagId(39, 8), "item_disc_abs"},
    {makeTagId(40, 0), "intcode"},
    {makeTagId(41, 0), "name"},
    {makeTagId(42, 0), "text"},
    {makeTagId(43, 2), "shift_id"},
    {makeTagId(44, 4), "addr_start"},
    {makeTagId(45, 4), "addr_stop"},
    {makeTagId(46, 2), "position"},
    {makeTagId(47, 2), "receipt_type"},
    {makeTagId(48, 2), "receipt_size"},
    {makeTagId(49, 1), "fd_ext_mode"},
    {makeTagId(50, 0), "user_name"},
    {makeTagId(51, 1), "tax_id"},
    {makeTagId(52, 0), "user_inn"},
    {makeTagId(53, 4), "task_id"},
    {makeTagId(54, 1), "flash_bank"},
    {makeTagId(57, 4), "boot_version"},
    {makeTagId(58, 4), "fd_date"},
    {makeTagId(59, 4), "fd_number"},
    {makeTagId(60, 4), "fd_sign"},
    {makeTagId(61, 0), "client_contact"},
    {makeTagId(62, 1), "force_print"},
    {makeTagId(63, 0), "client_inn"},
    {makeTagId(64, 0), "client_name"},
    {makeTagId(65, 4), "client_version"},
    {makeTagId(66, 1), "agent"},
    {makeTagId(67, 0), "transfer_op_phone"},
    {makeTagId(68, 0), "transfer_op_addr"},
    {makeTagId(69, 0), "transfer_op_name"},
    {makeTagId(70, 0), "transfer_op_inn"},
    {makeTagId(71, 0), "payment_op_phone"},
    {makeTagId(72, 0), "payment_op_action"},
    {makeTagId(73, 0), "payment_reception_op_phone"},
    {makeTagId(74, 0), "provider_phone"},
    {makeTagId(75, 0), "provider_inn"},
    {makeTagId(76, 0), "provider_name"},
    {makeTagId(77, 1), "payment_method"},
    {makeTagId(78, 1), "fd_flags"},
    {makeTagId(79, 1), "fd_phase"},
    {makeTagId(80, 4), "fd_expired"},
    {makeTagId(81, 1), "fd_reg_left"},
    {makeTagId(82, 1), "fd_shift_state"},
    {makeTagId(83, 2), "fd_waiting"},
    {makeTagId(84, 4), "fd_waiting_document"},
    {makeTagId(85, 4), "fd_waiting_date"},
    {makeTagId(86, 2), "shift_doc_number"},
    {makeTagId(87, 2), "fd_tag"},
    {makeTagId(88, 1), "fd_reg_count"},
    {makeTagId(89, 4), "fd_reg_document"},
    {makeTagId(90, 4), "fd_reg_date"},
    {makeTagId(91, 0), "company_name"},
    {makeTagId(92, 0), "company_inn"},
    {makeTagId(93, 0), "sale_address"},
    {makeTagId(94, 0), "sale_location"},
    {makeTagId(95, 0), "ofd_name"},
    {makeTagId(96, 0), "ofd_inn"},
    {makeTagId(97, 0), "fns_site"},
    {makeTagId(98, 0), "sender_email"},
    {makeTagId(99, 0), "automat_number"},
    {makeTagId(100, 1), "fd_error"},
    {makeTagId(101, 1), "fd_fail"},
    {makeTagId(102, 1), "fd_overflow"},
    {makeTagId(103, 0), "sales"},
    {makeTagId(104, 0), "buys"},
    {makeTagId(105, 0), "sales_return"},
    {makeTagId(106, 0), "buys_return"},
    {makeTagId(107, 0), "sales_correction"},
    {makeTagId(108, 0), "buys_correction"},
    {makeTagId(109, 2), "check_count"},
    {makeTagId(110, 8), "check_total"},
    {makeTagId(111, 1), "correction_kind"},
    {makeTagId(112, 4), "correction_date"},
    {makeTagId(113, 0), "correction_document"},
    {makeTagId(114, 0), "correction_description"},
    {makeTagId(115, 1), "line_length"},
    {makeTagId(116, 1), "reg_reason"},
    {makeTagId(117, 8), "tax_value"},
    {makeTagId(118, 1), "item_attr"},
    {makeTagId(119, 1), "item_attr_ext"},
    {makeTagId(120, 1), "text_type"},
    {makeTagId(121, 0), "mark_type"},
    {makeTagId(122, 0), "gtin"},
    {makeTagId(123, 0), "mark_serial"},
    {makeTagId(124, 1), "ffd_version"},
    {makeTagId(125, 1), "kkt_ffd_version"},
    {makeTagId(126, 0), "mark_stamp"},
    {makeTagId(129, 2), "goods_id"},
    {makeTagId(130, 0), "item"},
    {makeTagId(131, 0), "range"},
    {makeTagId(132, 0), "list"},
    {makeTagId(133, 0), "barcode"},
    {makeTagId(134, 0), "unit"},
    {makeTagId(135, 2), "active_goods"},
    {makeTagId(136, 1), "delete_before"},
    {makeTagId(137, 8), "excise"},
    {makeTagId(138, 4), "timeout"},
    {makeTagId(139, 4), "date_time"},
    {makeTagId(140, 1), "forbid_print"},
    {makeTagId(142, 1), "unit_id"},
    {makeTagId(143, 2), "country"},
    {makeTagId(144, 2), "unconf_notifications"},
    {makeTagId(145, 4), "first_unconf_notify"},
    {makeTagId(146, 2), "exported_notifications"},
    {makeTagId(147, 4), "first_exported_notify"},
    {makeTagId(148, 1), "notify_action"},
    {makeTagId(149, 2), "notify_size"},
    {makeTagId(150, 0), "notify_data"},
    {makeTagId(151, 2), "crc16"},
    {makeTagId(152, 0), "opt_attr"},
    {makeTagId(153, 0), "opt_data"},
    {makeTagId(154, 2), "foiv_ident"},
    {makeTagId(155, 4), "ind_prop_docdate"},
    {makeTagId(156, 0), "ind_prop_docnumber"},
    {makeTagId(157, 0), "ind_prop_value"},
    {makeTagId(158, 4), "birth_date"},
    {makeTagId(159, 2), "citizenship"},
    {makeTagId(160, 2), "client_ident_type"},
    {makeTagId(161, 0), "client_ident_data"},
    {makeTagId(162, 0), "client_address"},
    {makeTagId(163, 1), "mark_status"},
    {makeTagId(164, 8), "quant_numerator"},
    {makeTagId(165, 8), "quant_denominator"},
    {makeTagId(166, 0), "gtd"},
    {makeTagId(167, 4), "reg_reason_ext"},
    {makeTagId(169, 0), "payment_qrcode"},
    {makeTagId(170, 1), "mark_validation_status"},
    {makeTagId(171, 1), "mark_result_code"},
    {makeTagId(172, 1), "mark_handle_code"},
    {makeTagId(173, 1), "mark_online_type"},
}};

} // namespace

std::span<const TagEntry> tagDictionary() {
    return kTags;
}

std::string_view tagName(uint32_t number) {
    // Built once, on first use; a function-local static is initialised safely
    // even when two threads get here first at the same time.
    static const std::map<uint32_t, std::string_view> names = [] {
        std::map<uint32_t, std::string_view> built;
        for (const auto& entry : kTags) {
            built.emplace(tagNumber(entry.id), entry.name);
        }
        return built;
    }();
    const auto found = names.find(number);
    return found == names.end() ? std::string_view{} : found->second;
}

uint16_t tagByName(std::string_view name) {
    for (const auto& entry : kTags) {
        if (entry.name == name) {
            return tagNumber(entry.id);
        }
    }
    return 0;
}

} // namespace korvant
