#!/usr/bin/env python3
"""Headless `make run` (demo.py) under Wine: both tray programs, the greeting typed in every layout
into a text window of each bitness and read back as intended, and its pictures. One run serves
both builds' cases.

Run from the repository root with VIREL_BUILD set (default ./build). Pictures go to
$VIREL_BUILD/tray-e2e/run/.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import demo  # noqa: E402
from traywine import E2EError, Skip, run_cases, shots_dir  # noqa: E402

RUNS = []  # the one run: the builds it left out ({bits: why}), or None while it has not passed


def samples_and_pictures(_, bits):
    if not RUNS:
        RUNS.append(None)
        RUNS[0] = demo.run(os.path.join(shots_dir(), "run"))
    if RUNS[0] is None:
        raise E2EError("make run failed: see the first build's case")
    if bits in RUNS[0]:
        raise Skip(RUNS[0][bits])


if __name__ == "__main__":
    sys.exit(run_cases("make run", [("make run's samples and pictures", samples_and_pictures)],
                       wine=False))
