#!/usr/bin/env python3
"""Virel's benchmarks (make bench): what the engine costs the programs it is mapped into.

1. cost: under Wine, both builds. A window posts messages to itself and times its own message
   loop with no hook, with a hook that only passes messages on (the floor of any global hook) and
   with the engine's hook, installed by the test loader as the tray program does; the three
   alternate, round after round, in one run (in each round the fastest of a few timings counts).
   Reported: the median over rounds of the ratio engine / pass-on hook, for messages that are not keystrokes and for WM_CHAR in a process where Tamil
   was never switched on.
2. instructions: native, deterministic. virel_instructions of an -O2 build without sanitizers
   (build/bench-native) under callgrind, counting only while the engine runs and not inside the
   fake's Win32 functions: instructions a message that is not a keystroke, a WM_CHAR before set-up
   and with Tamil off, and a composed key (every message the key makes, its key-down, character
   and what the engine sends back through the hook) per encoding and layout, median over the keys
   of the word list. Heap allocations: calls to the allocator made by engine code in the same
   counts (the set-up of a PSP host, which reads its version resource, shows that they are seen).
3. latency: under Wine, both builds. In a host, each key's time from its key-down leaving the
   queue to no posted message being left (all the text made of it handled): p50 and p99 over a
   few hundred keys of the word list, with Tamil on (Unicode, phonetic) and off, block by block.

    python3 engine/bench/bench.py [--quick] [--out build/bench]

Writes <out>/bench.json and prints a table, each figure beside its target. --quick runs each part
briefly to show that it works (make test): it runs the native program without callgrind, and its
figures mean nothing. Targets are reported, never enforced: the exit status is 0 whenever every
part ran, or was skipped because this machine cannot run its build (the last line says why).
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))

from caserun import record_skips  # noqa: E402
from typing_run import read_words  # noqa: E402
from winehost import REPO, E2EError, WineSession  # noqa: E402

FAKE_HEADER = os.path.join(REPO, "engine", "testing", "fake_windows.h")
ENCODINGS = ["Unicode", "TSCII", "TAB", "TAM", "LIPI", "T_OLD"]
LAYOUTS = ["phonetic", "Tamil99", "New Typewriter", "Old Typewriter"]
ALLOCATORS = re.compile(r"(malloc|calloc|realloc|reallocarray|aligned_alloc|posix_memalign|"
                        r"memalign|valloc|pvalloc|strdup|strndup|operator new(\[\])?\(.*)$")
TIMINGS = 5  # timings a kind of message and hook in each round; the fastest counts
VK_IGNORED = {0x10, 0x11, 0x12}  # Shift, Ctrl, Alt: their key-downs make no text

TARGETS = {
    "cost_ratio": 1.05,
    "nonkey_instructions": 25,
    "composed_key_instructions": 1500,
    "allocations_per_message": 0,
    "latency_p99_ms": 5.0,
}


def median(values):
    return statistics.median(values) if values else None


def percentile(values, fraction):
    """The nearest-rank percentile."""
    ordered = sorted(values)
    rank = max(1, -(-int(round(fraction * 1000)) * len(ordered) // 1000))
    return ordered[min(rank, len(ordered)) - 1]


# --- instructions (native, callgrind) ----------------------------------------------------------
def fake_functions():
    """The Win32 functions the fake defines: callgrind stops counting inside each."""
    with open(FAKE_HEADER) as f:
        return sorted(set(re.findall(r"^[A-Za-z_][\w \*]*?[ \*](\w+)\(", f.read(), re.M)))


TRIGGER = "desc: Trigger: Client Request: "


def parse_callgrind(path):
    """{part name: (instructions, allocations)} of a combined callgrind dump."""
    parts = {}
    name, total, allocations, caller = None, 0, 0, ""
    pending_alloc = False
    with open(path, errors="replace") as f:
        for line in f:
            if line.startswith(TRIGGER):
                name = line[len(TRIGGER):].strip()
            elif line.startswith("summary: "):
                total = int(line.split()[1])
            elif line.startswith("fn="):
                caller = line[3:].strip()
            elif line.startswith("cfn="):
                pending_alloc = (ALLOCATORS.match(line[4:].strip()) is not None and
                                 ALLOCATORS.match(caller) is None)
            elif line.startswith("calls=") and pending_alloc:
                allocations += int(line.split()[0][6:])
                pending_alloc = False
            elif line.startswith("totals: ") and name is not None:
                parts[name] = (total, allocations)
                name, total, allocations = None, 0, 0
    return parts


def run_instructions(build, out, quick):
    if quick:
        program = os.path.join(build, "native", "virel_instructions")
        subprocess.run([program, "2"], check=True, stdout=subprocess.DEVNULL)
        return {"quick": True}
    program = os.path.join(build, "bench-native", "virel_instructions")
    dump = os.path.join(out, "callgrind.out")
    toggles = [f"--toggle-collect={name}*" for name in ["KeyHookProc"] + fake_functions()]
    subprocess.run(["valgrind", "--tool=callgrind", "--collect-atstart=no", *toggles,
                    "--combine-dumps=yes", "--compress-strings=no", "--compress-pos=no",
                    f"--callgrind-out-file={dump}", program],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    parts = parse_callgrind(dump)
    os.remove(dump)

    def per_message(name):
        key = next(k for k in parts if k.split()[0] == name)
        count = int(key.split()[-1])
        return parts[key][0] / count, parts[key][1] / count

    result = {name: dict(zip(("instructions", "allocations"), per_message(name)))
              for name in ("nonkey", "char-unset", "char-off")}
    composed = {}
    for encoding, encoding_name in enumerate(ENCODINGS):
        for layout, layout_name in enumerate(LAYOUTS):
            keys = [v for k, v in parts.items()
                    if k.startswith(f"key {encoding} {layout} ")]
            counts = [instructions for instructions, _ in keys]
            composed[f"{encoding_name} {layout_name}"] = {
                "keys": len(keys), "median": median(counts), "max": max(counts),
                "allocations": sum(a for _, a in keys)}
    result["composed"] = composed
    result["setup_psp_allocations"] = per_message("setup-psp")[1]
    if result["setup_psp_allocations"] < 1:
        raise E2EError("callgrind saw no allocation in a set-up that makes one: the count is blind")
    return result


# --- cost to every other program (Wine) --------------------------------------------------------
def run_cost(wine, bits, rounds, count):
    pump = wine.start_pump(bits)
    configs = ["none", "pass-on", "engine"]
    samples = []
    for r in range(rounds):
        sample = {}
        for config in configs[r % 3:] + configs[:r % 3]:  # each takes each place in turn
            loader = None
            if config != "none":
                loader = wine.start_loader(bits, kind="loader" if config == "engine" else
                                           "nullloader")
                if loader.load_result != 1:
                    raise E2EError(f"{config} hook not installed: load {loader.load_result}")
            # The least disturbed of a few timings: the machine's other work only adds time.
            sample[config] = {kind: min(pump.time(kind, count // TIMINGS) for _ in range(TIMINGS))
                              for kind in ("other", "char")}
            if loader is not None and loader.exit() != 0:
                raise E2EError(f"{loader.tag} exited with a failure code")
        samples.append(sample)
        print(f"  {bits}-bit round {r + 1}: " + ", ".join(
            f"{c} {sample[c]['other']:.0f}/{sample[c]['char']:.0f} ns" for c in configs),
            flush=True)
    if pump.exit() != 0:
        raise E2EError(f"{pump.tag} exited with a failure code")
    result = {"rounds": samples, "messages_per_timing": count // TIMINGS, "timings": TIMINGS}
    for kind in ("other", "char"):
        result[f"ratio_{kind}"] = median([s["engine"][kind] / s["pass-on"][kind] for s in samples])
        for config in configs:
            result[f"ns_{kind}_{config}"] = median([s[config][kind] for s in samples])
    return result


# --- key-to-text latency (Wine) ----------------------------------------------------------------
def run_latency(wine, bits, key_count, block=50):
    words = []
    for word in [keys[0] for keys in read_words().values()]:
        if sum(len(w) + 1 for w in words) >= key_count:
            break
        words.append(word + " ")
    blocks = ["".join(words[i:i + block // 5]) for i in range(0, len(words), block // 5)]
    loader = wine.start_loader(bits, encoding=0, keyboard=0)
    host = wine.start_host(bits, latency=True)
    samples = {"on": [], "off": []}
    host.keys("alt+k")  # the first press sets the host up, Tamil on
    # The same keys with Tamil on and off, block after block: the machine's own ups and downs
    # fall on both alike.
    for keys in blocks:
        for state in ("on", "off"):
            before = len(host.latencies())
            host.type(keys, delay_ms=15)
            samples[state] += [us for vk, us in host.latencies()[before:] if vk not in VK_IGNORED]
            host.keys("alt+k")
    loader.barrier()
    if loader.toggles() != [1] + [0, 1] * len(blocks):
        raise E2EError(f"toggle messages {loader.toggles()}, expected 1 then 0, 1 a block")
    for program in (host, loader):
        if program.exit() != 0:
            raise E2EError(f"{program.tag} exited with a failure code")
    return {state: {"keys": len(measured),
                    "p50_ms": percentile(measured, 0.50) / 1000,
                    "p99_ms": percentile(measured, 0.99) / 1000,
                    "max_ms": max(measured) / 1000,
                    "samples_ms": [round(us / 1000, 3) for us in measured]}
            for state, measured in samples.items()}


# --- report --------------------------------------------------------------------------------------
def verdict(value, target):
    return "ok" if value <= target else "MISSED"


def table(results):
    lines = ["| Measure | Figure | Target | |", "|---|---|---|---|"]

    def row(measure, figure, target, value=None, limit=None):
        mark = verdict(value, limit) if value is not None else ""
        lines.append(f"| {measure} | {figure} | {target} | {mark} |")

    for bits, cost in results.get("cost", {}).items():
        if "skipped" in cost:
            row(f"Cost, {bits}-bit", "skipped: " + cost["skipped"], "")
            continue
        for kind, what in (("other", "not a keystroke"), ("char", "WM_CHAR, Tamil never on")):
            ratio = cost[f"ratio_{kind}"]
            row(f"Cost ratio engine / pass-on hook, {bits}-bit, {what}",
                f"{ratio:.3f} ({cost[f'ns_{kind}_engine']:.0f} / "
                f"{cost[f'ns_{kind}_pass-on']:.0f} ns; no hook {cost[f'ns_{kind}_none']:.0f} ns)",
                f"≤ {TARGETS['cost_ratio']}", ratio, TARGETS["cost_ratio"])
    instructions = results.get("instructions", {})
    if "nonkey" in instructions:
        for name, what, limit in (("nonkey", "a message that is not a keystroke", 25),
                                  ("char-unset", "WM_CHAR, process not set up", None),
                                  ("char-off", "WM_CHAR, Tamil off", None)):
            value = instructions[name]["instructions"]
            row(f"Instructions, {what}", f"{value:.0f}", f"≤ {limit}" if limit else "",
                value if limit else None, limit)
        composed = instructions["composed"]
        worst = max(composed, key=lambda k: composed[k]["median"])
        medians = sorted(v["median"] for v in composed.values())
        row("Instructions, composed key (median over the word list; 24 layouts × encodings)",
            f"{medians[0]:.0f} to {medians[-1]:.0f} (highest: {worst})",
            f"≤ {TARGETS['composed_key_instructions']}", medians[-1],
            TARGETS["composed_key_instructions"])
        allocations = (sum(v["allocations"] for v in composed.values()) +
                       sum(instructions[n]["allocations"] for n in
                           ("nonkey", "char-unset", "char-off")))
        row("Heap allocations per message after set-up", f"{allocations:.0f}", "0",
            allocations, 0)
    for bits, latency in results.get("latency", {}).items():
        if "skipped" in latency:
            row(f"Latency, {bits}-bit", "skipped: " + latency["skipped"], "")
            continue
        on, off = latency["on"], latency["off"]
        row(f"Key-to-text latency, {bits}-bit, p50 / p99 (Tamil off: p50 / p99)",
            f"{on['p50_ms']:.2f} / {on['p99_ms']:.2f} ms ({off['p50_ms']:.2f} / "
            f"{off['p99_ms']:.2f} ms; {on['keys']} keys)",
            f"p99 ≤ {TARGETS['latency_p99_ms']} ms", on["p99_ms"], TARGETS["latency_p99_ms"])
    return "\n".join(lines)


def composed_table(composed):
    lines = ["| Encoding | " + " | ".join(LAYOUTS) + " |", "|---" * (len(LAYOUTS) + 1) + "|"]
    for encoding in ENCODINGS:
        cells = [f"{composed[f'{encoding} {layout}']['median']:.0f} "
                 f"(max {composed[f'{encoding} {layout}']['max']:.0f})" for layout in LAYOUTS]
        lines.append(f"| {encoding} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--quick", action="store_true", help="run each part briefly")
    parser.add_argument("--out", default=os.path.join(REPO, "build", "bench"))
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--messages", type=int, default=20000)
    parser.add_argument("--keys", type=int, default=600)
    options = parser.parse_args()
    if options.quick:
        options.rounds, options.messages, options.keys = 1, 300, 12
    build = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
    os.makedirs(options.out, exist_ok=True)
    started = time.monotonic()
    results = {"quick": options.quick, "machine": os.uname().machine,
               "cpus": os.cpu_count(), "date": time.strftime("%Y-%m-%d %H:%M")}

    print("instructions (native" + (", without callgrind: quick)" if options.quick else
                                    ", callgrind)"), flush=True)
    if not options.quick and shutil.which("valgrind") is None:
        raise SystemExit("valgrind is missing: make bench installs it (tools/install-deps.sh)")
    results["instructions"] = run_instructions(build, options.out, options.quick)

    results["cost"], results["latency"] = {}, {}
    with WineSession(build_dir=build) as wine:
        for bits in (64, 32):
            runnable, reason = wine.can_run(bits)
            if not runnable:
                results["cost"][bits] = results["latency"][bits] = {"skipped": reason}
                print(f"{bits}-bit programs cannot run here: {reason}", flush=True)
                continue
            print(f"cost, {bits}-bit ({options.rounds} rounds of {options.messages} messages)",
                  flush=True)
            results["cost"][bits] = run_cost(wine, bits, options.rounds, options.messages)
            print(f"latency, {bits}-bit", flush=True)
            results["latency"][bits] = run_latency(wine, bits, options.keys)

    path = os.path.join(options.out, "bench.json")
    with open(path, "w") as f:
        json.dump(results, f, indent=1)
    print(f"\n{time.monotonic() - started:.0f}s; results in {path}\n")
    print(table(results))
    if "composed" in results["instructions"]:
        print("\nInstructions a composed key, median (and most) over the word list's keys:\n")
        print(composed_table(results["instructions"]["composed"]))
    skipped = record_skips([(f"{bits}-bit cases", cost["skipped"])
                            for bits, cost in results["cost"].items() if "skipped" in cost])
    print(f"\nskipped: {skipped or 'nothing'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
