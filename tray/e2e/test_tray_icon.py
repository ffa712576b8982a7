#!/usr/bin/env python3
"""The tray program's notification icon under Wine, in both builds: it shows whether Tamil is on
(icon and tip) as the toggle key switches it in another program, its tip in the ANSI code page of
the program, and it comes back when the shell makes a new notification area, while a window
without an icon is minimised instead of hidden. A start with a minimised show command, or at
sign-in (/tray), goes straight to the icon; a second start brings the running window forward.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (SC_MINIMIZE, TASKBAR_CREATED, TITLE, TOGGLE_MESSAGE,  # noqa: E402
                      WM_SYSCOMMAND, expect, run_cases, setup, wait_for)


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
    # A notification area that refuses every icon stands in front of Wine's own. A minimised start
    # (at sign-in the area may come later) waits on the taskbar.
    refusing = wine.start_probe_window(bits, "noarea")
    tray = wine.start_tray(bits, minimised=True)
    expect(wine.tray_icons(bits), [], "icons while the area refuses them")
    expect(tray.shown(), None, "a minimised start without an icon (minimised, not hidden)")
    tray.post(WM_SYSCOMMAND, SC_MINIMIZE, 0)
    tray.barrier()
    expect(tray.shown(), None, "after minimising without an icon (minimised, not hidden)")
    tray.post(TOGGLE_MESSAGE, 1, 0)  # Tamil switched on meanwhile

    # The shell makes a new area and says so: the icon comes back as it is now, and the window,
    # minimised for want of it, goes into the area.
    refusing.exit()
    tray.post(TASKBAR_CREATED, 0, 0)
    wine.wait_icon(bits, "Tamil", "the icon added again")
    tray.wait_shown(False, "the minimised window with the icon back")

    # The window is hidden when the next new area refuses the icon: it is shown minimised.
    refusing = wine.start_probe_window(bits, "noarea")
    tray.post(TASKBAR_CREATED, 0, 0)
    wait_for(lambda: tray.shown() is None, "the hidden window shown minimised")
    refusing.exit()
    expect(tray.exit(), 0, "exit code")


def starts_into_the_notification_area(wine, bits):
    # A shortcut set to run minimised, and the start at sign-in (/tray).
    for minimised, args in ((True, ()), (False, ("/Tray",))):
        what = "a minimised start" if minimised else f"a start with {args}"
        tray = wine.start_tray(bits, minimised=minimised, args=args)
        expect(len(wait_for(lambda: wine.tray_icons(bits), f"{what}: the icon")), 1, f"{what}: icons")
        expect(tray.shown(), False, f"{what}: the window")
        wine.click_icon(bits, repeat=2)
        tray.wait_shown(True, f"{what}: a double click on the icon")
        expect(tray.exit(), 0, f"{what}: exit code")


def a_second_start_brings_the_window_forward_and_ends(wine, bits):
    tray = wine.start_tray(bits)
    tray.post(WM_SYSCOMMAND, SC_MINIMIZE, 0)
    tray.wait_shown(False, "minimised into the notification area")
    # A second start into the notification area leaves the window there.
    for minimised, shown in ((True, False), (False, True)):
        expect(wine.second_start(bits, minimised), 0, f"exit code of the second start, minimised {minimised}")
        tray.barrier()
        expect(tray.shown(), shown, f"the window after the second start, minimised {minimised}")
    expect(tray.focus()[1], tray.hwnd, "the foreground window")
    windows = [w["title"] for w in wine.toplevels(bits) if w["class"] == "VirelClass"]
    expect(windows, [TITLE[bits].encode().hex()], "windows of the class")
    expect(tray.exit(), 0, "exit code")


CASES = [
    ("the icon and its tip follow the toggle key", icon_follows_the_toggle_key),
    ("the tip's dash fits the ANSI code page", tip_dash_fits_the_code_page),
    ("a new notification area gets the icon back", a_new_notification_area_gets_the_icon_back),
    ("minimised starts and the start at sign-in go to the notification area", starts_into_the_notification_area),
    ("a second start brings the window forward and ends", a_second_start_brings_the_window_forward_and_ends),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray icon", CASES, setup))
