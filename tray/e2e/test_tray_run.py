#!/usr/bin/env python3
"""Headless `make run` (demo.py) under Wine: both tray programs, the greeting typed in every layout
into a text window of each bitness and read back as intended, and its pictures.

Run from the repository root with VIREL_BUILD set (default ./build). Pictures go to
$VIREL_BUILD/tray-e2e/run/.
"""

import os
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import demo  # noqa: E402
from traywine import shots_dir  # noqa: E402

if __name__ == "__main__":
    try:
        demo.run(os.path.join(shots_dir(), "run"))
        outcome = "PASS"
    except Exception:  # report what broke
        traceback.print_exc()
        outcome = "FAIL"
    print(f"{outcome}: make run's samples and pictures", flush=True)
    sys.exit(0 if outcome == "PASS" else 1)
