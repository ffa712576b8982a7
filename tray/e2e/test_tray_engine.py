#!/usr/bin/env python3
"""The tray program configures its engine under Wine, in both builds: what a person types into a
host window in another process shows the stored encoding, keyboard and toggle key.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import expect, run_cases, setup  # noqa: E402


def first_start_gives_unicode_phonetic_and_alt_k(wine, bits):
    tray = wine.start_tray(bits)
    host = wine.session.start_host(bits)
    host.type("ka ")
    host.keys("alt+k")  # the first press sets the host's process up and turns Tamil on
    host.type("ka")
    expect(host.text(), "ka க", "text typed before and after Alt+K (Unicode, phonetic)")
    expect(tray.exit(), 0, "exit code")


def stored_encoding_keyboard_and_toggle_key_reach_the_engine(wine, bits):
    # TSCII, Tamil99, toggle key F (list position 5).
    wine.store(encoding=1, keyboard=1, toggleKey=5)
    tray = wine.start_tray(bits)
    host = wine.session.start_host(bits)
    host.keys("alt+k")  # no longer the toggle key: nothing is composed
    host.type("h")
    host.keys("alt+f")
    host.type("h")  # Tamil99 h is KA; TSCII writes it as the byte B8
    expect(host.ansi_bytes(), b"h\xb8", "bytes typed before and after Alt+F (TSCII, Tamil99)")
    expect(tray.exit(), 0, "exit code")


CASES = [
    ("first start gives the engine Unicode, phonetic and Alt+K", first_start_gives_unicode_phonetic_and_alt_k),
    ("stored encoding, keyboard and toggle key reach the engine",
     stored_encoding_keyboard_and_toggle_key_reach_the_engine),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray and engine", CASES, setup))
