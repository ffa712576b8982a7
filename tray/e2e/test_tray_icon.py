#!/usr/bin/env python3
"""The tray program's notification icon under Wine, in both builds: it shows whether Tamil is on
(icon and tip) as the toggle key switches it in another program, its tip in the ANSI code page of
the program, and it comes back when the shell makes a new notification area, while a window
without an icon is minimised instead of hidden.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (SC_MINIMIZE, TASKBAR_CREATED, TOGGLE_MESSAGE, WM_SYSCOMMAND,  # noqa: E402
                      expect, run_cases, setup, wait_for)


def icon_follows_the_toggle_key(wine, bits):
    tray = wine.start_tray(bits)
    wine.wait_icon(bits, "English", "before Tamil was first switched on")
    host = wine.session.start_host(bits)
    for n, state in enumerate(["Tamil", "English", "Tamil"]):
        host.keys("alt+k")
        tray.barrier()
        wine.wait_icon(bits, state, f"after Alt+K number {n + 1} in the host")
    expect(tray.exit(), 0, "exit code")


# The tip is 8-bit text in the program's ANSI code page, which follows the locale under Wine.
TIP_DASHES = [("en_US.UTF-8", "\u2013"), ("ta_IN.UTF-8", "\u2013"), ("ja_JP.UTF-8", "-")]  # 1252, UTF-8, 932


def tip_dash_fits_the_code_page(wine, bits):
    for lang, dash in TIP_DASHES:
        tray = wine.start_tray(bits, lang=lang)
        expect(wine.icon_tip(bits), f"Virel ({bits} bit) {dash} English", f"tip under {lang}")
        expect(tray.exit(), 0, f"exit code under {lang}")


def a_new_notification_area_gets_the_icon_back(wine, bits):
    # A notification area that refuses every icon stands in front of Wine's own.
    refusing = wine.start_probe_window(bits, "noarea")
    tray = wine.start_tray(bits)
    expect(wine.tray_icons(bits), [], "icons while the area refuses them")
    tray.post(WM_SYSCOMMAND, SC_MINIMIZE, 0)
    tray.barrier()
    expect(tray.shown(), None, "after minimising without an icon (minimised, not hidden)")
    tray.post(TOGGLE_MESSAGE, 1, 0)  # Tamil switched on meanwhile

    # The shell makes a new area and says so: the icon comes back as it is now.
    refusing.exit()
    tray.post(TASKBAR_CREATED, 0, 0)
    wine.wait_icon(bits, "Tamil", "the icon added again")
    tray.post(WM_SYSCOMMAND, SC_MINIMIZE, 0)
    tray.wait_shown(False, "minimising with the icon back")

    # The window is hidden when the next new area refuses the icon: it is shown minimised.
    refusing = wine.start_probe_window(bits, "noarea")
    tray.post(TASKBAR_CREATED, 0, 0)
    wait_for(lambda: tray.shown() is None, "the hidden window shown minimised")
    refusing.exit()
    expect(tray.exit(), 0, "exit code")


CASES = [
    ("the icon and its tip follow the toggle key", icon_follows_the_toggle_key),
    ("the tip's dash fits the ANSI code page", tip_dash_fits_the_code_page),
    ("a new notification area gets the icon back", a_new_notification_area_gets_the_icon_back),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray icon", CASES, setup))
