#!/usr/bin/env python3
"""Smoke run of the register emulator through ctypes: one shift with a sale.

Usage: smoke.py <path to libkorvant3emu.so>
"""
import ctypes
import json
import sys

lib = ctypes.CDLL(sys.argv[1])
answer = ctypes.c_char_p()
task = ctypes.c_uint32()


def read():
    return json.loads(answer.value.decode())


def run(function, handle, request=None):
    """Starts a task and polls it to its final answer."""
    fn = getattr(lib, "korvant3_fremu_" + function)
    if request is None:
        result = fn(handle, 5000, ctypes.byref(task), ctypes.byref(answer))
    else:
        text = json.dumps(request, ensure_ascii=False).encode()
        result = fn(handle, 5000, ctypes.byref(task), text, ctypes.byref(answer))
    assert result == 0, (function, result)
    assert read()["response"] == 0, (function, read())
    while True:
        assert lib.korvant3_fremu_query(handle, 5000, task.value, ctypes.byref(answer)) == 0
        final = read()
        if (final["response"], final["extended"]) != (3, 103):
            return final


lib.korvant3emu_state.restype = ctypes.c_char_p
lib.korvant3emu_journal.restype = ctypes.c_char_p
assert lib.korvant3emu_reset(json.dumps({"clock": 1700000000, "busy_polls": 2}).encode()) == 0
handle = lib.korvant3_open(b"127.0.0.1", 5000, ctypes.byref(answer))
assert handle > 0 and read()["data"]["serial"] == "0000000000000001"
assert lib.korvant3_fremu_enter(handle, 5000, ctypes.byref(answer)) == 0
assert run("open_shift", handle, {"user_name": "Кассир"})["data"]["fd_shift_state"] == 1
assert run("open_doc", handle, {"doc_kind": 0, "taxcode": 1, "user_name": "Кассир"})["response"] == 0
assert run("add_item", handle, {"name": "Чай", "price": 1000000, "quant": 20000,
                                "item_disc_abs": 200000, "tax_id": 3})["response"] == 0
closed = run("close_doc", handle, {"cash": 2000000, "credit": 0})
assert closed["response"] == 0, closed
assert closed["data"]["sales"] == {"check_count": 1, "check_total": 1800000}, closed
assert closed["data"]["shift_cash"] == 1800000
assert lib.korvant3_fremu_exit(handle, 5000, ctypes.byref(answer)) == 0
assert lib.korvant3_close(handle) == 0
assert len(json.loads(lib.korvant3emu_journal())) > 10
print("emulator smoke run passed")
