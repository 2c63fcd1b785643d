#!/usr/bin/env python3
"""Writes the seed programs of the call_as_func fuzz target into
corpus/call_as_func/. The encoding is the one call_as_func_fuzzer.cpp reads
(InputReader in fuzz_support.h): a step byte, then the step's bytes."""
import pathlib
import struct

# Method numbers of the host's method table.
GET_LAST_ERROR, GET_DESCRIPTION, SET_PARAMETER, OPEN, CLOSE, DEVICE_TEST = 2, 1, 4, 5, 6, 7
GET_DATA_KKT, OPERATION_FN, OPEN_SHIFT, CLOSE_SHIFT = 10, 11, 12, 13
PROCESS_CHECK, PROCESS_CORRECTION_CHECK, PRINT_TEXT_DOCUMENT, CASH_IN_OUTCOME = 14, 15, 16, 17
PRINT_X_REPORT, GET_CURRENT_STATUS, REPORT_SETTLEMENTS, GET_LINE_LENGTH = 18, 20, 21, 23

# The library's functions in the order the add-in binds them (forEachFunction);
# fault steps name a function by its index here.
FUNCTIONS = ["korvant3_version", "korvant3_get_info", "korvant3_get_state",
             "korvant3_get_fdstate", "korvant3_get_fdtag", "korvant3_open", "korvant3_close",
             "korvant3_fremu_query", "korvant3_fremu_enter", "korvant3_fremu_exit",
             "korvant3_fremu_get_money", "korvant3_fremu_open_shift",
             "korvant3_fremu_close_shift", "korvant3_fremu_open_doc", "korvant3_fremu_close_doc",
             "korvant3_fremu_cancel_doc", "korvant3_fremu_print", "korvant3_fremu_add_item",
             "korvant3_fremu_add_text", "korvant3_fremu_report_x", "korvant3_fremu_report_state",
             "korvant3_fremu_registration", "korvant3_fremu_set_agent",
             "korvant3_fremu_close_archive", "korvant3_fremu_print_doc"]


def text(data: bytes) -> bytes:
    if len(data) < 255:
        return bytes([len(data)]) + data
    return bytes([255]) + struct.pack("<H", len(data)) + data


def utf8(value: str) -> bytes:
    return bytes([22, 0]) + text(value.encode())


def device() -> bytes:
    return bytes([22, 2])


def empty() -> bytes:
    return bytes([0]) + bytes(8)


def i4(number: int) -> bytes:
    return bytes([3]) + struct.pack("<q", number)


def r8(number: float) -> bytes:
    return bytes([5]) + struct.pack("<d", number)


def boolean(flag: bool) -> bytes:
    return bytes([11, int(flag)])


def call(number: int, *args: bytes) -> bytes:
    # A call step; a count choice below 200 passes the count the method wants.
    return bytes([2, number, 0]) + b"".join(args)


def fault(function: str, number: int, kind: int, *rest: int) -> bytes:
    return bytes([0, FUNCTIONS.index(function), number, kind, *rest])


def answer_fault(function: str, number: int, answer: str, at_end: bool) -> bytes:
    return bytes([0, FUNCTIONS.index(function), number, 5]) + text(answer.encode()) + \
        bytes([int(at_end)])


CASHIER = '<InputParameters><Parameters CashierName="Cashier1" CashierINN="7700000000"/></InputParameters>'
SALE = ('<?xml version="1.0" encoding="UTF-8"?><CheckPackage><Parameters CashierName="Cashier1" '
        'OperationType="1" TaxationSystem="0" AgentType="1"><AgentData AgentPhone="+7001"/>'
        '</Parameters><Positions><FiscalString Name="Tea" Quantity="2" PriceWithDiscount="90" '
        'DiscountAmount="20" VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1" '
        'MarkingCode="MDEyMzQ1"/><TextString Text="thanks"/><Barcode Type="EAN13" '
        'Value="4600000000000"/></Positions><Payments Cash="200"/></CheckPackage>')
CORRECTION = ('<CheckPackage><Parameters CashierName="Cashier1" OperationType="1">'
              '<CorrectionData Type="0" Date="2021-03-01T00:00:00" Number="N-1"/></Parameters>'
              '<Positions><FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10"/>'
              '</Positions><Payments Cash="10"/></CheckPackage>')
TEXT_DOCUMENT = ('<Document><Positions><TextString Text="one"/><Barcode Type="QR" Value="q"/>'
                 '<TextString Text="two"/></Positions></Document>')
REGISTRATION = ('<Parameters CashierName="Admin" CompanyName="Shop" INN="7700000000" '
                'TaxationSystems="0,1" AgentTypes="3" IsEncrypted="true" '
                'RegistrationReasonCode="4"/>')

CONNECT = (call(SET_PARAMETER, utf8("Serial"), utf8("0000000000000001")) +
           call(SET_PARAMETER, utf8("Ipaddr"), utf8("emulator")) + call(OPEN, empty()))
OPEN_A_SHIFT = call(OPEN_SHIFT, device(), utf8(CASHIER), empty())

SEEDS = {
    "frame": call(GET_DESCRIPTION, empty()) + call(GET_LAST_ERROR, empty()) + call(0) +
    call(22, empty()) + call(26, empty(), empty(), empty()),
    "whole_shift": CONNECT + OPEN_A_SHIFT +
    call(PROCESS_CHECK, device(), boolean(False), utf8(SALE), empty()) +
    call(CASH_IN_OUTCOME, device(), utf8(CASHIER), r8(-150.5)) +
    call(GET_CURRENT_STATUS, device(), utf8(CASHIER), empty()) +
    call(CLOSE_SHIFT, device(), utf8(CASHIER), empty()) + call(CLOSE, device()),
    "correction": CONNECT + OPEN_A_SHIFT +
    call(PROCESS_CORRECTION_CHECK, device(), utf8(CORRECTION), empty()) +
    call(REPORT_SETTLEMENTS, device(), utf8(CASHIER), empty()),
    "documents": CONNECT + call(PRINT_TEXT_DOCUMENT, device(), utf8(TEXT_DOCUMENT)) +
    call(PRINT_X_REPORT, device(), empty()) + call(GET_LINE_LENGTH, device(), i4(0)) +
    call(DEVICE_TEST, empty(), empty()),
    "registration": CONNECT + call(GET_DATA_KKT, device(), empty()) +
    call(OPERATION_FN, device(), i4(2), utf8(REGISTRATION)) +
    call(OPERATION_FN, device(), i4(3), utf8(REGISTRATION)),
    "refused_item": CONNECT + OPEN_A_SHIFT +
    fault("korvant3_fremu_add_item", 1, 3, 3, 13, 1) +
    call(PROCESS_CHECK, device(), boolean(False), utf8(SALE), empty()) +
    call(GET_LAST_ERROR, empty()),
    "malformed_close": CONNECT + OPEN_A_SHIFT +
    answer_fault("korvant3_fremu_close_doc", 1, '{"response":0,"data":{"fd_number":"x"}}', True) +
    call(PROCESS_CHECK, device(), boolean(False), utf8(SALE), empty()),
    "busy_shift": CONNECT + fault("korvant3_fremu_open_shift", 1, 8) + OPEN_A_SHIFT +
    bytes([1, 0]) + call(GET_DESCRIPTION, empty()),
}

if __name__ == "__main__":
    folder = pathlib.Path(__file__).resolve().parent / "corpus" / "call_as_func"
    folder.mkdir(parents=True, exist_ok=True)
    for name, program in SEEDS.items():
        (folder / name).write_bytes(program)
