#!/usr/bin/env python3
"""Runs a test script's cases: each for each build, timed, cleaned up after, reported PASS, FAIL
or SKIP, with one rule for what is a skip.

A script declares its cases as (name, function) pairs and hands them over:

    CASES = [("the toggle key posts 1, 0, 1", toggle_key_posts_1_0_1), ...]
    if __name__ == "__main__":
        sys.exit(run_cases("hook", CASES))

Each function is called as function(context, bits), for bits in `builds` (64, then 32; with
builds=(None,) each case runs once and bits is None). context is what setup(session, bits)
returns, called before each case (without a setup: the WineSession, or None with wine=False);
setups to reuse: fresh_desktop below, typing_run.typing_setup, traywine.setup. A case passes by
returning (a string it returns is printed on its PASS line), fails by raising anything, and says
that it is not applicable here by raising Skip(reason); so may a setup.

One rule for skips: only what this machine cannot run is skipped, with the reason. A build it
cannot run (WineSession.can_run: 32-bit programs on a kernel without IA-32) skips all its cases;
a case that needs such a program raises Skip. Anything else that goes wrong fails, Wine that
cannot start at all included.

Under Wine (wine=True) all cases share one WineSession, on its own display and prefix. After each
case the programs it started are ended; one that has to be killed fails the case (and brings a
fresh desktop, see WineSession.end_programs). Programs that setup started are kept for the next
cases, and ended after a failed case and after the build's last case.

Exit status: 1 when any case failed; else SKIPPED (77, ctest's SKIP_RETURN_CODE for these
scripts) when every case was skipped; else 0. The last line counts passed, failed and skipped
cases and says why any were skipped; the skips also go to $VIREL_BUILD/skipped/<script>.txt,
which `caserun.py --summary` (the last line of .ci/run) sums up.
"""

import contextlib
import os
import sys
import time
import traceback

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SKIPPED = 77
BUILDS = (64, 32)


class Skip(Exception):
    """A case (or its setup) that does not apply on this machine; the message says why."""


def expect(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


def fresh_desktop(session, bits):
    """A setup: the case gets the session on a fresh desktop, where no hook of an earlier case is
    left (Wine keeps those of killed programs; a faulty engine might keep its own)."""
    if session.programs:
        session.reset()
    return session


SKIP_FOLDER = os.path.join(os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build"), "skipped")


def record_skips(skips):
    """Leaves this script's skips, (what, reason) pairs such as ("32-bit cases", "this kernel
    runs no 32-bit code"), for .ci/run's summary; returns them as text."""
    os.makedirs(SKIP_FOLDER, exist_ok=True)
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    with open(os.path.join(SKIP_FOLDER, script + ".txt"), "w", encoding="utf-8") as f:
        f.writelines(f"{what}\t{reason}\n" for what, reason in skips)
    return "; ".join(f"{what}: {reason}" for what, reason in skips)


def _one_case(session, setup, case, bits):
    """(outcome, detail) of one case, with its programs ended."""
    kept = len(session.programs) if session else 0
    try:
        context = setup(session, bits) if setup else session
        kept = len(session.programs) if session else 0
        outcome, detail = "PASS", case(context, bits)
    except Skip as skip:
        outcome, detail = "SKIP", str(skip)
    except Exception:  # report every case, whatever broke
        outcome, detail = "FAIL", None
        traceback.print_exc(file=sys.stdout)
    killed = session.end_programs(since=0 if outcome == "FAIL" else kept) if session else []
    if killed:
        outcome, detail = "FAIL", f"did not exit when asked, killed: {', '.join(killed)}"
    return outcome, detail


def run_cases(title, cases, setup=None, builds=BUILDS, wine=True):
    """Runs every case for every build; prints a line a case and a last line; returns the exit
    status."""
    started = time.monotonic()
    counts = {"PASS": 0, "FAIL": 0, "SKIP": 0}
    skips = {}  # (what, reason): None, in order
    if wine:
        from winehost import WineSession
    with WineSession() if wine else contextlib.nullcontext() as session:
        if session:
            print(f"{title}: wine session on display {session.display} "
                  f"({time.monotonic() - started:.1f}s)", flush=True)
        for bits in builds:
            label = f"{bits}-bit: " if bits else ""
            runnable, reason = session.can_run(bits) if session and bits else (True, "")
            if not runnable:
                counts["SKIP"] += len(cases)
                skips[f"{bits}-bit cases", reason] = None
                print(f"SKIP {label}{len(cases)} cases: {reason}", flush=True)
                continue
            for name, case in cases:
                case_started = time.monotonic()
                outcome, detail = _one_case(session, setup, case, bits)
                counts[outcome] += 1
                if outcome == "SKIP":
                    skips[f"{bits}-bit cases" if bits else "cases", detail] = None
                print(f"{outcome} {label}{name} ({time.monotonic() - case_started:.1f}s)" +
                      (f": {detail}" if detail else ""), flush=True)
            killed = session.end_programs() if session else []
            if killed:
                counts["FAIL"] += 1
                print(f"FAIL {label}programs left by setup did not exit when asked, killed: "
                      f"{', '.join(killed)}", flush=True)
    why = record_skips(skips)
    print(f"{title}: {counts['PASS']} passed, {counts['FAIL']} failed, {counts['SKIP']} skipped"
          f"{f' ({why})' if why else ''}, {time.monotonic() - started:.1f}s in all", flush=True)
    if counts["FAIL"] or not any(counts.values()):
        return 1
    return 0 if counts["PASS"] else SKIPPED


def summary():
    """One line: what the scripts of the last run skipped, and why."""
    by_reason = {}
    for name in sorted(os.listdir(SKIP_FOLDER)) if os.path.isdir(SKIP_FOLDER) else []:
        with open(os.path.join(SKIP_FOLDER, name), encoding="utf-8") as f:
            for what, reason in (line.split("\t", 1) for line in f.read().splitlines()):
                by_reason.setdefault(reason, {}).setdefault(what, []).append(name[:-4])
    return "; ".join(", ".join(f"{what} of " + (scripts[0] if len(scripts) == 1 else
                                                f"{len(scripts)} scripts")
                               for what, scripts in whats.items()) + f" skipped: {reason}"
                     for reason, whats in by_reason.items()) or "Nothing was skipped."


if __name__ == "__main__":
    if sys.argv[1:] != ["--summary"]:
        sys.exit("usage: caserun.py --summary")
    print(summary())
