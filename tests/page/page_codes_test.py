#!/usr/bin/env python3
"""The emulator's receipt page as a buyer's phone and a cashier's scanner see it.

A cashier's day (korvant-host demo) and a second session in the same folder (purchases,
corrections, and a text document with every kind of code, some of them not printable) leave
their paper tape and its page, tape.html. The page is rendered in headless Chromium, every code
on the screenshot is read with zbarimg, and what is read must be exactly what is expected: each
receipt's check code built from the fiscal data printed on the text tape, and each barcode with
the value 1C sent (EAN check digits added where 1C left them out).

Usage: page_codes_test.py [RUNNER...] KORVANT_HOST
RUNNER: the program that runs korvant-host where the machine cannot run it as it is (qemu-i386
for a 32-bit build on a kernel that refuses 32-bit programs).
Exits 77 (skipped) when chromium or zbarimg is missing: scripts/setup.sh --browser installs them.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from collections import Counter

SKIPPED = 77
SERIAL = "0021990000123456"
CASHIER = '<Parameters CashierName="Смирнова О.В." CashierINN="504321987650"/>'

# The codes of the demonstration, as zbarimg names them: the sale receipt's, and the text
# document's QR code.
DEMO_CODES = [
    ("EAN-8", "29000012"),
    ("EAN-13", "2900001234566"),
    ("CODE-39", "KOFE-10"),
    ("QR-Code", "https://lavka.example/otzyv"),
    ("QR-Code", "https://lavka.example/otzyv"),
]

# (1C's barcode type, the value 1C sends, what a scanner reads or None for a value the code
# cannot hold, which the page shows as not printable). zbar reads two equal barcodes in one
# image as one, so no two readable barcodes here are equal.
LONG_TEXT = "Состав: " + ", ".join(f"ингредиент {n} (партия {n * 7919 % 10007})" for n in range(40))
SESSION_CODES = [
    ("EAN13", "460123456789", ("EAN-13", "4601234567893")),
    ("EAN13", "9780201379624", ("EAN-13", "9780201379624")),
    ("EAN13", "4601234567890", None),  # a wrong check digit
    ("EAN13", "46012345678A", None),
    ("EAN8", "4601234", ("EAN-8", "46012340")),
    ("EAN8", "12345", None),
    ("CODE39", "0123456789-. $/+%", ("CODE-39", "0123456789-. $/+%")),
    ("CODE39", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", ("CODE-39", "ABCDEFGHIJKLMNOPQRSTUVWXYZ")),
    ("CODE39", "kofe-10", None),
    ("QR", "Спасибо за покупку! <Лавка> & «у дома»", ("QR-Code", "Спасибо за покупку! <Лавка> & «у дома»")),
    ("QR", LONG_TEXT, ("QR-Code", LONG_TEXT)),
]

SETTLEMENT_KINDS = {"ПРИХОД": 1, "ВОЗВРАТ ПРИХОДА": 2, "РАСХОД": 3, "ВОЗВРАТ РАСХОДА": 4}


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def run(command, **options):
    done = subprocess.run(command, capture_output=True, text=True, timeout=120, **options)
    if done.returncode != 0:
        fail(f"{command[0]} exited with {done.returncode}\n{done.stdout}\n{done.stderr}")
    return done.stdout


def receipt_package(operation, positions, cash, correction=""):
    return ('<?xml version="1.0" encoding="UTF-8"?><CheckPackage><Parameters '
            'CashierName="Смирнова О.В." CashierINN="504321987650" OperationType="%d" '
            'TaxationSystem="0">%s</Parameters><Positions>%s</Positions><Payments Cash="%s" '
            'ElectronicPayment="0" PrePayment="0" PostPayment="0" Barter="0"/></CheckPackage>'
            % (operation, correction, positions, cash))


def session():
    """A second day: purchases and their return, a purchase correction, and the text document."""
    sugar = ('<FiscalString Name="Сахар 1 кг" Quantity="2" PriceWithDiscount="45.5" '
             'DiscountAmount="0" VATRate="10" PaymentMethod="4" CalculationSubject="1"/>')
    correction = '<CorrectionData Type="0" Description="Закупка без чека" Date="2024-03-04T00:00:00"/>'
    barcodes = "".join('<Barcode Type="%s" Value="%s"/>' % (kind, escape_attribute(value))
                       for kind, value, _ in SESSION_CODES)
    text = ('<?xml version="1.0" encoding="UTF-8"?><Document><Positions>'
            '<TextString Text="Все коды"/>' + barcodes + "</Positions></Document>")
    cashier = '<?xml version="1.0" encoding="UTF-8"?><InputParameters>' + CASHIER + "</InputParameters>"
    device = "${device}"
    calls = [
        {"method": "SetParameter", "args": ["Serial", SERIAL]},
        {"method": "Open", "args": [""]},
        {"method": "OpenShift", "args": [device, cashier, ""]},
        {"method": "ProcessCheck", "args": [device, False, receipt_package(3, sugar, "91"), ""]},
        {"method": "ProcessCheck", "args": [device, False, receipt_package(4, sugar, "91"), ""]},
        {"method": "ProcessCorrectionCheck",
         "args": [device, receipt_package(3, sugar, "91", correction), ""]},
        {"method": "PrintTextDocument", "args": [device, text]},
        {"method": "CloseShift", "args": [device, cashier, ""]},
        {"method": "Close", "args": [device]},
    ]
    return {"calls": calls}


def escape_attribute(value):
    return (value.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")
            .replace(">", "&gt;"))


def check_codes(tape):
    """The check code of every receipt on the text tape, from the fiscal data printed on it."""
    codes = []
    for document in re.split(r"^=+\n", tape, flags=re.M):
        lines = [line.strip() for line in document.splitlines()]
        if "КАССОВЫЙ ЧЕК" not in lines and "КАССОВЫЙ ЧЕК КОРРЕКЦИИ" not in lines:
            continue
        title = max(lines.index(t) for t in ("КАССОВЫЙ ЧЕК", "КАССОВЫЙ ЧЕК КОРРЕКЦИИ") if t in lines)
        kind = SETTLEMENT_KINDS[lines[title + 1]]
        text = "\n".join(lines)
        total = re.search(r"^ИТОГ\s+=(\d+\.\d\d)$", text, re.M).group(1)
        fn, day, month, year, hour, minute = re.search(
            r"^ФН: (\d+)\s+(\d\d)\.(\d\d)\.(\d\d) (\d\d):(\d\d)$", text, re.M).groups()
        number, sign = re.search(r"^ФД: (\d+)\s+ФП: (\d+)$", text, re.M).groups()
        codes.append(("QR-Code", f"t=20{year}{month}{day}T{hour}{minute}&s={total}&fn={fn}"
                                 f"&i={number}&fp={sign}&n={kind}"))
    return codes


def check_page_is_whole_and_closed(page):
    if not page.startswith("<!DOCTYPE html>") or page.count("<!DOCTYPE") != 1:
        fail("the page must begin with its head, written once")
    for outside in ("<script", "src=", "href=", "url(", "@import"):
        if outside in page:
            fail(f"the page must not fetch or run anything, but has {outside!r}")
    if page.count("(не печатается как") != sum(1 for *_, read in SESSION_CODES if read is None):
        fail("every value a code cannot hold is shown as not printable, and only those")


# A screenshot taller than this comes out blank.
TALLEST_SCREENSHOT = 16000


def estimated_height(html):
    """Pixels the HTML takes at most: its lines (13 px type, 1.3 line height), its images and
    the margins of its receipts, all rounded up."""
    lines = sum(block.count("\n") + 1 for block in re.findall(r"<pre>(.*?)</pre>", html, re.S))
    images = sum(int(h) + 30 for h in re.findall(r'<svg[^>]* height="(\d+)"', html))
    return 20 * lines + images + 100 * html.count("<section") + 100


def pieces(page):
    """The page cut between receipts into pages of its head and as many receipts as one
    screenshot holds, with the height each needs."""
    head, *receipts = re.split(r"(?=<section )", page)
    cut = [[]]
    for receipt in receipts:
        if cut[-1] and estimated_height(head + "".join(cut[-1]) + receipt) > TALLEST_SCREENSHOT:
            cut.append([])
        cut[-1].append(receipt)
    return [(head + "".join(part), estimated_height(head + "".join(part))) for part in cut]


def screenshot(page_path, png, height, profile):
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--force-device-scale-factor=1", "--user-data-dir=" + profile,
         "--screenshot=" + png, f"--window-size=900,{height}", "file://" + page_path])


def read_codes(png):
    """What zbarimg reads: "TYPE:data" lines, where a line that begins with no type continues
    the data before it. (Its XML output garbles text beyond ASCII.)"""
    codes = []
    for line in run(["zbarimg", "--quiet", "--nodbus", png]).splitlines():
        kind, colon, data = line.partition(":")
        if colon and kind in ("QR-Code", "EAN-13", "EAN-8", "CODE-39"):
            codes.append((kind, data))
        elif codes:
            codes[-1] = (codes[-1][0], codes[-1][1] + "\n" + line)
    return codes


def main():
    if not (shutil.which("chromium") or shutil.which("chromium-browser")) or not shutil.which("zbarimg"):
        print("SKIPPED: chromium and zbarimg are needed to read the codes on the receipt page "
              "(scripts/setup.sh --browser installs them)")
        return SKIPPED
    host = sys.argv[1:-1] + [os.path.abspath(sys.argv[-1])]
    with tempfile.TemporaryDirectory(prefix="korvant-page-") as work:
        folder = os.path.join(work, "day")
        demo = run(host + ["--programdata", folder, "demo"], cwd=work)
        page_path = os.path.join(folder, "tape.html")
        if not demo.rstrip("\n").splitlines()[-1].endswith(" " + page_path):
            fail("the demonstration must end with the path of its page")

        script = os.path.join(work, "session.json")
        with open(script, "w", encoding="utf-8") as out:
            json.dump(session(), out, ensure_ascii=False)
        answers = run(host + ["--programdata", folder, "--emulator-config",
                       os.path.join(folder, "emulator.json"), "run", script])
        for line in answers.splitlines():
            call = json.loads(line)
            if call["result"] is not None and call["result"]["value"] is False:
                fail("the session's call failed: " + line)

        with open(page_path, encoding="utf-8") as page_file:
            page = page_file.read()
        with open(os.path.join(folder, "tape.txt"), encoding="utf-8") as tape_file:
            tape = tape_file.read()
        check_page_is_whole_and_closed(page)

        expected = check_codes(tape)
        if len(expected) != 6:
            fail(f"six receipts were made, the tape shows {len(expected)}")
        expected += DEMO_CODES + [read for *_, read in SESSION_CODES if read is not None]

        read = []
        for number, (piece, height) in enumerate(pieces(page)):
            if height > TALLEST_SCREENSHOT:
                fail("a receipt is taller than one screenshot")
            piece_path = os.path.join(folder, f"piece-{number}.html")
            with open(piece_path, "w", encoding="utf-8") as out:
                out.write(piece)
            png = os.path.join(work, f"piece-{number}.png")
            screenshot(piece_path, png, height, os.path.join(work, "profile"))
            read += read_codes(png)
        missing = sorted((Counter(expected) - Counter(read)).elements())
        unexpected = sorted((Counter(read) - Counter(expected)).elements())
        if missing or unexpected:
            fail(f"read {len(read)} codes, expected {len(expected)}\n"
                 f"not read: {missing}\nnot expected: {unexpected}")
        print(f"ok: {len(read)} codes read back from the page, each as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
