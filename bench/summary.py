#!/usr/bin/env python3
"""Sums up a run of korvant_bench (its JSON output) and korvant_bench_memory (one
JSON line): a table, then one "FIGURE <name> <value>" line per figure."""
import json
import re
import sys

POSITIONS = (1, 10, 100, 1000)
HEADLINE_POSITIONS = 100
# Targets the figures are held against.
LATENCY_FACTOR, LATENCY_SLACK_MS = 1.25, 10.0
OVERHEAD_LIMIT = 2.0
US_PER_POSITION_LIMIT = 50.0
PEAK_MB_LIMIT = 20.0
STATE_FILE_RATIO_LIMIT = 2.0

UNIT_TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load_runs(path):
    """Runs by their name without the options Google Benchmark appends. With repetitions,
    the median stands for the run."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    runs, medians = {}, {}
    for run in data.get("benchmarks", []):
        if run.get("error_occurred"):
            print(f"benchmark {run['name']} failed: {run.get('error_message')}", file=sys.stderr)
            continue
        name = re.sub(r"/(min_time|iterations|repeats):[^/]*|/real_time", "",
                      run.get("run_name", run["name"]))
        if run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                medians[name] = run
        else:
            runs.setdefault(name, run)
    runs.update(medians)
    return runs


def ns(run, which):
    return run[which] * UNIT_TO_NS[run.get("time_unit", "ns")]


def row(label, value, unit, note=""):
    print(f"  {label:<44} {value:>12} {unit:<10} {note}")


def fmt(value, digits=1):
    return "n/a" if value is None else f"{value:.{digits}f}"


def main(bench_path, memory_path):
    runs = load_runs(bench_path)
    with open(memory_path, encoding="utf-8") as f:
        memory = json.loads(f.read().strip().splitlines()[-1])
    figures = {}

    print("\n== summary (CPU time of the calling thread unless marked wall)")
    print("host boundary")
    for name, label in (("BM_FindMethod/GetLastError", "FindMethod GetLastError"),
                        ("BM_FindMethod/last_russian", "FindMethod last Russian name"),
                        ("BM_CallAsFunc_GetLastError", "CallAsFunc GetLastError")):
        if name in runs:
            row(label, fmt(ns(runs[name], "cpu_time"), 0), "ns")
    if "BM_CallAsFunc_GetLastError" in runs:
        figures["call_as_func_ns"] = ns(runs["BM_CallAsFunc_GetLastError"], "cpu_time")

    print("ProcessCheck against the emulator answering at once")
    print(f"  {'positions':<10}{'add-in us':>12}{'us/position':>13}{'device lib us':>15}"
          f"{'ratio':>8}{'driver us/pos':>15}")
    for n in POSITIONS:
        addin = runs.get(f"BM_ProcessCheck/{n}")
        device = runs.get(f"BM_DeviceReplay/{n}")
        if addin is None:
            continue
        addin_us = ns(addin, "cpu_time") / 1e3
        device_us = ns(device, "cpu_time") / 1e3 if device else None
        ratio = addin_us / device_us if device_us else None
        driver = (addin_us - device_us) / n if device_us else None
        print(f"  {n:<10}{addin_us:>12.1f}{addin_us / n:>13.2f}{fmt(device_us):>15}"
              f"{fmt(ratio, 2):>8}{fmt(driver, 2):>15}")
        figures[f"us_per_position_{n}"] = addin_us / n
        if ratio is not None:
            figures[f"overhead_ratio_{n}"] = ratio
        if n == HEADLINE_POSITIONS:
            figures["us_per_position"] = addin_us / n
            if ratio is not None:
                figures["overhead_ratio"] = ratio

    # What one more position costs, free of the receipt's fixed part.
    small, large = runs.get("BM_ProcessCheck/100"), runs.get("BM_ProcessCheck/1000")
    if small and large:
        marginal = (ns(large, "cpu_time") - ns(small, "cpu_time")) / 900 / 1e3
        row("each position beyond 100 (1000 vs 100)", fmt(marginal, 2), "us")
        figures["us_per_position_marginal"] = marginal

    print("the log switched on (a fresh configuration's default)")
    for n in POSITIONS:
        on, off = runs.get(f"BM_ProcessCheck_LogOn/{n}"), runs.get(f"BM_ProcessCheck/{n}")
        if on and off:
            factor = ns(on, "cpu_time") / ns(off, "cpu_time")
            row(f"ProcessCheck {n} positions, log on", fmt(ns(on, "cpu_time") / 1e3), "us",
                f"x{factor:.2f} of the log off")
            figures[f"log_on_ratio_{n}"] = factor

    print("receipt latency, 10 positions, register time 150 ms open/close + 20 ms per item (wall)")
    for name, key in (("BM_ReceiptLatency/default_schedule", "default"),
                      ("BM_ReceiptLatency/fixed200", "fixed200")):
        run = runs.get(name)
        if run is None:
            continue
        wall_ms = ns(run, "real_time") / 1e6
        device_ms = run["device_ms"]
        limit = LATENCY_FACTOR * device_ms + LATENCY_SLACK_MS
        row(f"schedule {key}", fmt(wall_ms), "ms",
            f"device {device_ms:.0f} ms, ratio {wall_ms / device_ms:.2f}, "
            f"{run['polls']:.0f} polls/receipt, target <= {limit:.0f} ms")
        figures[f"latency_ratio_{key}"] = wall_ms / device_ms
        figures[f"latency_ms_{key}"] = wall_ms

    print("a large receipt with the register's state in a file and without one (wall)")
    for n in (1000, 10000):
        plain = runs.get(f"BM_LargeReceipt/positions:{n}/state_file:0")
        stored = runs.get(f"BM_LargeReceipt/positions:{n}/state_file:1")
        if plain is None or stored is None:
            continue
        plain_ms, stored_ms = ns(plain, "real_time") / 1e6, ns(stored, "real_time") / 1e6
        ratio = stored_ms / plain_ms
        # The process's own work, free of what the machine's other load does to the wall time.
        cpu_ratio = ns(stored, "cpu_time") / ns(plain, "cpu_time")
        row(f"{n} positions", fmt(stored_ms), "ms",
            f"without a state file {plain_ms:.1f} ms, ratio {ratio:.2f} "
            f"(CPU {cpu_ratio:.2f}), target <= {STATE_FILE_RATIO_LIMIT:.0f}")
        figures[f"state_file_ratio_{n}"] = ratio
        figures[f"state_file_cpu_ratio_{n}"] = cpu_ratio
        figures[f"large_receipt_ms_{n}"] = stored_ms

    print("a text line of one word, wrapped on the emulator's tape (wall, whole call)")
    for n in (10000, 100000, 1000000, 10000000):
        run = runs.get(f"BM_PrintLongWord/{n}")
        if run is None:
            continue
        wall_ms = ns(run, "real_time") / 1e6
        row(f"{n} characters", fmt(wall_ms), "ms", f"{wall_ms * 1e6 / n:.0f} ns per character")
        figures[f"print_long_word_ms_{n}"] = wall_ms

    print("peak memory, whole process")
    peak_mb = memory["vmhwm_kb"] / 1024
    row(f"{memory['positions']}-position receipt (VmHWM)", fmt(peak_mb), "MB",
        f"before the receipt {memory['before_kb'] / 1024:.1f} MB, "
        f"{'made' if memory['succeeded'] else 'FAILED'}")
    figures["peak_rss_mb_1000"] = peak_mb

    print("targets")
    checks = [
        ("latency (default) <= 1.25 x device + 10 ms",
         figures.get("latency_ms_default"),
         lambda v: v <= LATENCY_FACTOR * runs["BM_ReceiptLatency/default_schedule"]["device_ms"]
         + LATENCY_SLACK_MS),
        (f"add-in / device library <= {OVERHEAD_LIMIT}", figures.get("overhead_ratio"),
         lambda v: v <= OVERHEAD_LIMIT),
        (f"us per position < {US_PER_POSITION_LIMIT}", figures.get("us_per_position"),
         lambda v: v < US_PER_POSITION_LIMIT),
        (f"peak memory 1000 positions < {PEAK_MB_LIMIT} MB", figures.get("peak_rss_mb_1000"),
         lambda v: v < PEAK_MB_LIMIT),
    ]
    for label, value, ok in checks:
        verdict = "n/a" if value is None else ("met" if ok(value) else "NOT met")
        row(label, fmt(value, 2), "", verdict)

    print()
    for name, value in figures.items():
        print(f"FIGURE {name} {value:.3f}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: summary.py <benchmark json> <memory json>")
    main(sys.argv[1], sys.argv[2])
