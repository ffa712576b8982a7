#!/usr/bin/env python3
"""The ways out of the tray program under Wine, in both builds: the Stop / Save Changes button
(saving, the restart message, ending the other build's processes and no others: those with a
window are asked to close it first), the notification icon's double click and menu, and the
caption's minimise button.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import itertools
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (EXE, IDC_ENCODING, IDC_KEYBOARD, IDC_STOPBUTTON, IDC_TAMILDISPLAY,  # noqa: E402
                      IDC_TOGGLEKEY, OTHER_EXE, RESTART_TEXT, SC_MINIMIZE, VK_DOWN, VK_ESCAPE, VK_UP,
                      VK_RETURN, WM_KEYDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_SYSCOMMAND,
                      WM_TRAYICON, E2EError, expect, run_cases, setup, wait_for)

LISTS = (IDC_ENCODING, IDC_KEYBOARD, IDC_TOGGLEKEY)


def save_changes_ends_the_other_build_and_no_other(wine, bits):
    other = OTHER_EXE[bits]
    # Two of the other build's name; then names that differ only in case or around it, and this
    # build's own name.
    names = [other, other, other.lower(), other[:-4] + ".EXE", "X" + other, EXE[bits]]
    stand_ins = wine.start_stand_ins(bits, names)
    # The other build with its window: asked to close, it ends by itself; one that stays is ended.
    closing = wine.start_stand_ins(bits, [other, other], mode="window")
    deaf = wine.start_stand_ins(bits, [other], mode="deaf")
    tray = wine.start_tray(bits)
    tray.select(IDC_TOGGLEKEY, 5)  # a change in the toggle key list counts like any other
    tray.wait_text(IDC_STOPBUTTON, b"&Save Changes", "after choosing F")
    tray.click(IDC_STOPBUTTON)
    box, text = wine.message_box(bits, "Restart Virel")
    expect(text, RESTART_TEXT, "restart message")
    # Saved first, ended only once the user has read the message.
    expect(wine.stored(), {"encoding": 0, "keyboard": 0, "displayLang": 0, "toggleKey": 5}, "stored")
    expect(stand_ins.exit_codes(), {}, "processes ended while the box is open")
    wine.close_message_box(bits, box)
    expect(tray.wait_exit(), 0, "exit code")
    expect(stand_ins.wait_ended([0, 1]), {0: 9, 1: 9}, f"exit codes of the {other} processes")
    expect(closing.wait_ended([0, 1]), {0: 0, 1: 0}, f"exit codes of the {other} processes with a window")
    expect(deaf.wait_ended([0]), {0: 9}, f"exit code of the {other} process whose window stayed")
    expect([stand_ins.alive(i) for i in range(2, len(names))], [True] * (len(names) - 2),
           f"processes named {names[2:]} still running")
    expect(tray.icon_calls(), [0, 2], "Shell_NotifyIcon calls (NIM_ADD, NIM_DELETE)")


def stop_without_change_saves_and_leaves_the_other_build(wine, bits):
    wine.store(encoding=7, keyboard=3, toggleKey=26)  # no displayLang: its default is written
    sibling = wine.start_stand_ins(bits, [OTHER_EXE[bits]])
    tray = wine.start_tray(bits)
    tray.keys("alt+s")  # the button's mnemonic
    # No restart message: nothing holds the program, it ends at once.
    expect(tray.wait_exit(), 0, "exit code")
    expect(sibling.alive(0), True, f"{OTHER_EXE[bits]} still running")
    expect(wine.stored(), {"encoding": 1, "keyboard": 3, "displayLang": 0, "toggleKey": 26},
           "stored (encoding 7 was shown, and is saved, as TSC, what the engine made of it)")
    expect(tray.icon_calls(), [0, 2], "Shell_NotifyIcon calls (NIM_ADD, NIM_DELETE)")


def stray_keys_in_the_lists_lose_no_setting(wine, bits):
    # Typing into a list's edit field clears its selection and tells the window nothing.
    wine.store(encoding=2, keyboard=1, toggleKey=5)
    tray = wine.start_tray(bits)
    tray.click(IDC_TAMILDISPLAY)
    wait_for(lambda: tray.control(IDC_TAMILDISPLAY)["check"] == 1, "the In Tamil box checked")
    for list_id in LISTS:
        tray.type_into(list_id, "x")
    wait_for(lambda: [tray.control(i)["selection"] for i in LISTS] == [-1] * 3, "the lists without selection")
    tray.click(IDC_STOPBUTTON)
    # Neither the box nor the typing is a change: no restart message holds the program.
    expect(tray.wait_exit(), 0, "exit code")
    expect(wine.stored(), {"encoding": 2, "keyboard": 1, "displayLang": 1, "toggleKey": 5}, "stored")


def double_click_hides_and_shows(wine, bits):
    tray = wine.start_tray(bits)
    wine.click_icon(bits, repeat=2)
    tray.wait_shown(False, "first double click on the icon")
    wine.click_icon(bits, repeat=2)
    tray.wait_shown(True, "second double click on the icon")
    # A single click only brings the window forward, also while it is hidden.
    tray.post(WM_TRAYICON, WM_TRAYICON, WM_LBUTTONDBLCLK)
    tray.post(WM_TRAYICON, WM_TRAYICON, WM_LBUTTONDOWN)
    tray.barrier()
    expect(tray.shown(), False, "hidden after a double click and a single click")
    tray.post(WM_TRAYICON, WM_TRAYICON, WM_LBUTTONDBLCLK)
    tray.wait_shown(True, "double click while hidden")
    # The caption's minimise button hides the window as the icon does (the low four bits of the
    # command are the system's own).
    tray.post(WM_SYSCOMMAND, SC_MINIMIZE | 2, 0)
    tray.barrier()
    expect(tray.shown(), False, "after the caption's minimise (not even minimised on screen)")
    tray.post(WM_TRAYICON, WM_TRAYICON, WM_LBUTTONDBLCLK)
    tray.wait_shown(True, "double click after minimising")
    expect(tray.exit(), 0, "exit code")


# Each right click on the other side of the icon's middle, so that no two make a double click.
CLICK_SIDES = itertools.cycle((-5, 5))


def open_menu(wine, tray, bits):
    x, y = wine.click_icon(bits, button=3, dx=next(CLICK_SIDES))
    menu = wait_for(lambda: wine.find(bits, "#32768", "-") if _menu_visible(wine, bits) else None,
                    "the icon's menu")
    left, top, _, _ = wine.dump(bits, menu)["rect"]
    if abs(left - x) > 40 or abs(top - y) > 120:
        raise E2EError(f"menu at {left},{top}, far from the cursor at {x},{y}")
    return menu


def _menu_visible(wine, bits):
    menu = wine.find(bits, "#32768", "-")
    return menu is not None and wine.dump(bits, menu)["visible"] == 1


def choose(tray, *keys):
    """Keys for the open menu: its loop takes them from the tray's queue."""
    for key in keys:
        tray.post(WM_KEYDOWN, key, 0)


def menu_shows_hides_and_exits_without_saving(wine, bits):
    tray = wine.start_tray(bits)
    tray.select(IDC_ENCODING, 1)  # a pending change that Exit must not save
    tray.wait_text(IDC_STOPBUTTON, b"&Save Changes", "after choosing TSC")
    open_menu(wine, tray, bits)
    choose(tray, VK_ESCAPE)
    wait_for(lambda: not _menu_visible(wine, bits), "the menu to close")
    tray.barrier()
    expect(tray.shown(), True, "after dismissing the menu")
    open_menu(wine, tray, bits)
    choose(tray, VK_DOWN, VK_RETURN)  # the first item: Show/Hide
    tray.wait_shown(False, "menu Show/Hide")
    open_menu(wine, tray, bits)
    choose(tray, VK_DOWN, VK_RETURN)
    tray.wait_shown(True, "menu Show/Hide again")
    open_menu(wine, tray, bits)
    choose(tray, VK_UP, VK_RETURN)  # the last item: Exit
    expect(tray.wait_exit(), 0, "exit code after the menu's Exit")
    expect(wine.stored(), None, "settings key after Exit (nothing saved)")
    expect(tray.icon_calls(), [0, 2], "Shell_NotifyIcon calls (NIM_ADD, NIM_DELETE)")


CASES = [
    ("Save Changes ends the other build and no other", save_changes_ends_the_other_build_and_no_other),
    ("Stop without a change saves and leaves the other build", stop_without_change_saves_and_leaves_the_other_build),
    ("stray keys in the lists lose no setting", stray_keys_in_the_lists_lose_no_setting),
    ("double click on the icon hides and shows", double_click_hides_and_shows),
    ("the icon's menu shows, hides and exits without saving", menu_shows_hides_and_exits_without_saving),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray ways out", CASES, setup))
