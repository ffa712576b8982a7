#!/usr/bin/env python3
"""The icon menu's clipboard items under Wine: the clipboard's text from the selected 8-bit
encoding to Unicode and back, a balloon that tells how many characters were converted and how
many could not be, and both items grey while the clipboard holds no text.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (VK_DOWN, VK_ESCAPE, VK_RETURN, WM_KEYDOWN, WM_RBUTTONDOWN,  # noqa: E402
                      WM_TRAYICON, expect, run_cases, setup, wait_for)

TRAY_ICON_ID = 35468
# The menu: Show/Hide, then (after a separator) the two clipboard items and the chart.
TO_UNICODE, FROM_UNICODE = 2, 3


def choose_item(wine, tray, bits, position):
    """Opens the icon's menu and chooses the item at this position (separators are skipped)."""
    tray.post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN)
    wait_for(lambda: menu_open(wine, bits), "the icon's menu")
    for key in [VK_DOWN] * position + [VK_RETURN]:
        tray.post(WM_KEYDOWN, key, 0)


def menu_open(wine, bits):
    menu = wine.find(bits, "#32768", "-")
    return menu is not None and wine.dump(bits, menu)["visible"] == 1


def clipboard(wine, bits, kind):
    text = wine.probe(bits, "getclip", kind).strip()
    return None if text == "none" else bytes.fromhex(text)


def balloon(wine, bits):
    """The texts of the tooltip windows shown (Wine shows a balloon as one)."""
    texts = []
    for line in wine.probe(bits, "toplevels").splitlines():
        window = json.loads(line)
        if window["class"] == "tooltips_class32" and window["visible"]:
            texts.append(bytes.fromhex(wine.probe(bits, "wmtext", window["hwnd"]).strip()).decode("utf-8"))
    return " ".join(texts)


def clipboard_converts_both_ways_and_tells(wine, bits):
    wine.store(encoding=1)  # TSCII
    tray = wine.start_tray(bits)
    # கா, a new line, and a byte that is no TSCII glyph.
    wine.probe(bits, "setclip", "text", "b8a10a80")
    choose_item(wine, tray, bits, TO_UNICODE)
    wait_for(lambda: clipboard(wine, bits, "unicode") == "கா\n\ufffd".encode(), "the clipboard in Unicode")
    wait_for(lambda: "2 Tamil characters converted from TSCII to Unicode; 1 could not be" in balloon(wine, bits),
             "the balloon after TSCII to Unicode")

    wine.probe(bits, "setclip", "unicode", "கொ ஸ்ரீ௧".encode().hex())
    choose_item(wine, tray, bits, FROM_UNICODE)
    wait_for(lambda: clipboard(wine, bits, "text") == bytes.fromhex("a6b8a120823f"), "the clipboard in TSCII")
    wait_for(lambda: "6 Tamil characters converted from Unicode to TSCII; 1 could not be" in balloon(wine, bits),
             "the balloon after Unicode to TSCII")
    expect(tray.exit(), 0, "exit code")


def items_are_grey_without_text(wine, bits):
    wine.store(encoding=3)  # TAM
    tray = wine.start_tray(bits)
    wine.probe(bits, "setclip", "text", "-")
    choose_item(wine, tray, bits, TO_UNICODE)
    tray.barrier()
    if menu_open(wine, bits):  # Enter on a grey item chooses nothing; the menu may stay open
        tray.post(WM_KEYDOWN, VK_ESCAPE, 0)
    wait_for(lambda: not menu_open(wine, bits), "the menu to close")
    tray.barrier()
    expect(clipboard(wine, bits, "unicode"), None, "the clipboard after the grey item")
    expect(balloon(wine, bits), "", "balloons after the grey item")
    expect(tray.exit(), 0, "exit code")


CASES = [
    ("the clipboard from TSCII to Unicode and back, told in a balloon", clipboard_converts_both_ways_and_tells),
    ("the clipboard items are grey while it holds no text", items_are_grey_without_text),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray clipboard conversion", CASES, setup))
