#!/usr/bin/env python3
"""The tray program's settings window under Wine, in both builds: what it shows at first start
and with stored settings, the Tamil captions, the fonts it makes and releases, the keyboard
(Tab, mnemonics, Enter, Esc), the scale at 144 dots per inch, and pictures of it.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases. Screenshots go to
$VIREL_BUILD/tray-e2e/.
"""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (IDC_ENCODING, IDC_ENCODING_LABEL, IDC_HELPBUTTON, IDC_KEYBOARD,  # noqa: E402
                      IDC_KEYBOARD_LABEL, IDC_STOPBUTTON, IDC_TAMILDISPLAY, IDC_TOGGLEKEY,
                      IDC_TOGGLEKEY_LABEL, RESTART_TEXT, SYSTRAY_TRACE, TASKBAR_CREATED, TITLE,
                      TOGGLE_MESSAGE, WM_BRINGFORWARD, WM_CLOSE, WM_LBUTTONDBLCLK, WM_TRAYICON,
                      E2EError, expect, pixels, run_cases, setup, shots_dir, wait_for, window_pixels)

WS_CHILD, WS_VISIBLE, WS_GROUP, WS_TABSTOP = 0x40000000, 0x10000000, 0x00020000, 0x00010000
BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_FLAT = 0x0, 0x3, 0x8000
CBS_DROPDOWN = 0x2
SS_LEFT, SS_BITMAP, SS_PATHELLIPSIS = 0x0, 0xE, 0x8000


def tscii(hex_bytes):
    return bytes.fromhex(hex_bytes)


# Template order, which is the tab order: (id, class, caption at first start, style bits that matter).
CONTROLS = [
    (IDC_ENCODING_LABEL, "Static", b"&Encoding:", SS_LEFT | SS_PATHELLIPSIS | WS_GROUP),
    (IDC_ENCODING, "ComboBox", b"", CBS_DROPDOWN | WS_TABSTOP),
    (IDC_KEYBOARD_LABEL, "Static", b"Key&board:", SS_LEFT | SS_PATHELLIPSIS | WS_GROUP),
    (IDC_KEYBOARD, "ComboBox", b"", CBS_DROPDOWN | WS_TABSTOP),
    (-1, "Static", b"ALT + ", SS_LEFT | WS_GROUP),
    (IDC_TOGGLEKEY_LABEL, "Static", b"&Toggle Key:", SS_LEFT | SS_PATHELLIPSIS | WS_GROUP),
    (IDC_TOGGLEKEY, "ComboBox", b"", CBS_DROPDOWN | WS_TABSTOP),
    (IDC_TAMILDISPLAY, "Button", b"  &In Tamil", BS_AUTOCHECKBOX | BS_FLAT | WS_GROUP | WS_TABSTOP),
    (IDC_HELPBUTTON, "Button", b"Virel &Help", BS_PUSHBUTTON | BS_FLAT | WS_GROUP | WS_TABSTOP),
    (IDC_STOPBUTTON, "Button", b"&Stop", BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP),
    (-1, "Static", None, SS_BITMAP),
]
ALT_PLUS = [caption for _, _, caption, _ in CONTROLS].index(b"ALT + ")
STYLE_BITS = 0xFFFF | WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP

ENGLISH = {
    IDC_ENCODING_LABEL: b"&Encoding:", IDC_KEYBOARD_LABEL: b"Key&board:", IDC_TOGGLEKEY_LABEL: b"&Toggle Key:",
    IDC_HELPBUTTON: b"Virel &Help", IDC_TAMILDISPLAY: b"  &In Tamil",
}
ENGLISH_STOP, ENGLISH_SAVE = b"&Stop", b"&Save Changes"
ENGLISH_ENCODINGS = [b"UNICODE", b"TSC", b"TAB", b"TAM", b"LIPI", b"T_OLD"]
ENGLISH_KEYBOARDS = [b"Phonetic", b"Tamil99", b"New Typewriter", b"Old Typewriter"]

# The mnemonics, a Latin letter in brackets: (&E) is 28 26 45 29.
TAMIL = {
    IDC_ENCODING_LABEL: tscii("CC C8 A2 C2 A3 CE 28 26 45 29 3A"),
    IDC_KEYBOARD_LABEL: tscii("C5 A2 A8 BA F4 C0 C4 A8 B8 28 26 42 29 3A"),
    IDC_TOGGLEKEY_LABEL: tscii("C1 A1 FC DA 20 C5 A2 A8 BA 28 26 54 29 3A"),
    IDC_HELPBUTTON: tscii("C5 A2 A6 C3 F8 20 AF BE C5 A2 28 26 48 29"),
    IDC_TAMILDISPLAY: tscii("20 20 BE C1 A2 C6 A2 F8 28 26 49 29"),
}
TAMIL_STOP = tscii("BF A2 DA F2 D0 B8 28 26 53 29")
TAMIL_SAVE = tscii("C1 A1 FC C8 F2 A8 BE 20 A7 BA C1 A2 28 26 53 29")
TAMIL_ENCODINGS = [tscii(h) for h in ("D4 C9 A2 A7 B8 A1 F0", "BE A2 8A B8 A2", "BC A1 F4", "BC A1 F5",
                                      "C4 A2 C0 A2", "C0 A8 C6 C2")]
TAMIL_KEYBOARDS = [tscii(h) for h in ("B4 C4 A2 C2 A2 C2 F8", "BE C1 A2 FA 39 39",
                                      "D2 BE A2 C2 20 BE F0 BC EE CD", "C0 A8 C6 C2 20 BE F0 BC EE CD")]
TOGGLE_KEYS = [bytes([c]) for c in range(ord("A"), ord("Z") + 1)] + [b"F%d" % n for n in range(1, 13)]


def items(control):
    return [bytes.fromhex(item) for item in control["items"]]


def check_window(tray, captions, stop, encodings, keyboards, selections, checked, what):
    """The window shows this caption set, these list selections and this check state."""
    children = {c["id"]: c for c in tray.dump()["children"] if c["id"] != -1}
    for control_id, caption in captions.items():
        expect(bytes.fromhex(children[control_id]["text"]), caption, f"{what}: caption of {control_id}")
    expect(bytes.fromhex(children[IDC_STOPBUTTON]["text"]), stop, f"{what}: the Stop button")
    expect(items(children[IDC_ENCODING]), encodings, f"{what}: encoding list")
    expect(items(children[IDC_KEYBOARD]), keyboards, f"{what}: keyboard list")
    expect(items(children[IDC_TOGGLEKEY]), TOGGLE_KEYS, f"{what}: toggle key list (Latin in both sets)")
    shown = tuple(children[i]["selection"] for i in (IDC_ENCODING, IDC_KEYBOARD, IDC_TOGGLEKEY))
    expect(shown, selections, f"{what}: selections of encoding, keyboard and toggle key lists")
    expect(children[IDC_TAMILDISPLAY]["check"], checked, f"{what}: the In Tamil box")


def first_start_shows_the_english_window(wine, bits):
    tray = wine.start_tray(bits, debug=SYSTRAY_TRACE + ",fixme+msg")
    state = tray.dump()
    expect(bytes.fromhex(state["text"]).decode(), TITLE[bits], "title")
    children = state["children"]
    expect(len(children), len(CONTROLS), "controls")
    for child, (control_id, class_name, caption, style) in zip(children, CONTROLS):
        what = f"control {control_id} ({class_name})"
        expect((child["id"], child["class"].lower()), (control_id, class_name.lower()), what)
        if caption is not None:
            expect(bytes.fromhex(child["text"]), caption, f"{what}: caption")
        expect(child["style"] & STYLE_BITS, style | WS_CHILD | WS_VISIBLE, f"{what}: style")
    left, top, right, bottom = children[-1]["rect"]
    expect((right - left, bottom - top), (440, 66), "banner size (the bitmap's)")
    check_window(tray, ENGLISH, ENGLISH_STOP, ENGLISH_ENCODINGS, ENGLISH_KEYBOARDS, (0, 0, 10), 0,
                 "first start")
    expect(len(wine.tray_icons(bits)), 1, "icons in the notification area")
    expect(tray.exit(), 0, "exit code after closing the window")
    expect(wine.stored(), None, "settings key after closing the window (nothing saved)")
    expect(tray.icon_calls(), [0, 2], "Shell_NotifyIcon calls (NIM_ADD, NIM_DELETE)")
    # Were it elevated, it would still take these from ordinary programs (Wine notes each call).
    with open(tray.output_path, "rb") as f:
        calls = {tuple(int(n, 16) for n in line.split("ChangeWindowMessageFilterEx ")[1].split()[:3])
                 for line in f.read().decode("utf-8", "replace").splitlines() if "ChangeWindowMessageFilterEx" in line}
    wanted = {(int(tray.hwnd, 16), int(wine.probe(bits, "register", name)), 1)  # MSGFLT_ALLOW
              for name in (TOGGLE_MESSAGE, TASKBAR_CREATED, str(WM_BRINGFORWARD))}
    expect(calls, wanted, "(window, message, action) of ChangeWindowMessageFilterEx")


def captions_switch_to_tamil_and_keep_pending_choices(wine, bits):
    tray = wine.start_tray(bits)
    shots = shots_dir()
    english_shot = wine.session.screenshot(os.path.join(shots, f"tray{bits}-english.png"))
    english_rect = tray.dump()["rect"]

    tray.select(IDC_ENCODING, 3)
    tray.wait_text(IDC_STOPBUTTON, ENGLISH_SAVE, "after choosing TAM")
    tray.click(IDC_TAMILDISPLAY)
    tray.wait_text(IDC_ENCODING_LABEL, TAMIL[IDC_ENCODING_LABEL], "after checking In Tamil")
    # The refill keeps the choice the user made and the button that saves it.
    check_window(tray, TAMIL, TAMIL_SAVE, TAMIL_ENCODINGS, TAMIL_KEYBOARDS, (3, 0, 10), 1, "Tamil")
    expect(bytes.fromhex(tray.dump()["children"][ALT_PLUS]["text"]), b"ALT + ",
           "the ALT + text in the Tamil set")
    tamil_shot = wine.session.screenshot(os.path.join(shots, f"tray{bits}-tamil.png"))
    tamil_rect = tray.dump()["rect"]

    for shot, rect, what in ((english_shot, english_rect, "English"), (tamil_shot, tamil_rect, "Tamil")):
        colours, commonest = window_pixels(shot, rect)
        if colours < 16 or commonest > 0.95:
            raise E2EError(f"the {what} window looks blank in {shot}: {colours} colours, "
                           f"{commonest:.0%} of one colour")
    captions_look_as_drawn_by_a_reference(wine, tray, bits, TAMIL, "TSCVirel", "Tamil")

    tray.click(IDC_TAMILDISPLAY)
    tray.wait_text(IDC_ENCODING_LABEL, ENGLISH[IDC_ENCODING_LABEL], "after unchecking In Tamil")
    check_window(tray, ENGLISH, ENGLISH_SAVE, ENGLISH_ENCODINGS, ENGLISH_KEYBOARDS, (3, 0, 10), 0,
                 "English again")
    captions_look_as_drawn_by_a_reference(wine, tray, bits, ENGLISH, "-", "English")

    tray.click(IDC_HELPBUTTON)
    box, text = wine.message_box(bits, "Virel Help")
    if not text.startswith(b"Virel Tamil Software is a keyboard manager") or b"TUTORIAL:" not in text:
        raise E2EError(f"help text: {text[:200]!r}")
    wine.close_message_box(bits, box)
    expect(tray.exit(), 0, "exit code after closing the window")


LABELS = (IDC_ENCODING_LABEL, IDC_KEYBOARD_LABEL, IDC_TOGGLEKEY_LABEL)


def captions_look_as_drawn_by_a_reference(wine, tray, bits, captions, face, what):
    """The three captions on the screen, pixel for pixel, against their texts drawn beside the
    window by the probe: static controls of the same size, in the caption font of the face."""
    labels = [tray.control(i)["rect"] for i in LABELS]
    left, top, right, bottom = labels[0]
    below = tray.dump()["rect"][3] + 8
    reference = wine.start_probe_window(bits, "reference", 8, below, face, right - left, bottom - top,
                                        *[captions[i].hex() for i in LABELS])
    drawn = [c["rect"] for c in wine.dump(bits, reference.hwnd)["children"]]
    path = os.path.join(shots_dir(), f"tray{bits}-{what.lower()}-captions.png")

    def alike():
        shot = wine.session.screenshot(path)
        return [pixels(shot, label) == pixels(shot, ref) for label, ref in zip(labels, drawn)] == [True] * 3

    wait_for(alike, f"the {what} captions to look as the reference draws them (see {path})")
    expect(reference.exit(), 0, "the reference's exit code")


FONT_LINE = re.compile(r":trace:font:NtGdiHfontCreate \((-?\d+(?: -?\d+){8})\) L\"([^\"]*)\".*=> (0x[0-9a-f]+)")
DELETE_LINE = re.compile(r":trace:gdi:NtGdiDeleteObjectApp (0x[0-9a-f]+)")
CAPTION_FONT = "-11 0 0 0 0 0 0 4 0"  # height, width, escapement, orientation, pitch, italic,
                                      # underline, quality 4 (antialiased), ANSI_CHARSET


def caption_fonts(tray, caption_font=CAPTION_FONT):
    """(faces of the caption fonts created so far, how many of them are still alive)."""
    faces, alive = [], set()
    with open(tray.output_path, "rb") as f:
        for line in f.read().decode("utf-8", "replace").splitlines():
            created = FONT_LINE.search(line)
            if created and created.group(1) == caption_font:
                faces.append(created.group(2))
                alive.add(created.group(3))
            deleted = DELETE_LINE.search(line)
            if deleted:
                alive.discard(deleted.group(1))
    return faces, len(alive)


def fonts_are_made_per_set_and_released_when_replaced(wine, bits):
    tray = wine.start_tray(bits, debug="-all,trace+systray,trace+font,trace+gdi")
    expect(caption_fonts(tray), ([""], 1), "caption fonts after start (faces, alive)")
    tray.select(IDC_KEYBOARD, 2)
    tray.wait_text(IDC_STOPBUTTON, ENGLISH_SAVE, "after choosing New Typewriter")
    expect(caption_fonts(tray), (["", ""], 2), "after a selection change: the button's own font")
    tray.select(IDC_KEYBOARD, 3)
    tray.barrier()
    expect(caption_fonts(tray), (["", "", ""], 2), "after a second change: the button's old font released")
    for n, (face, caption) in enumerate([("TSCVirel", TAMIL[IDC_HELPBUTTON]), ("", ENGLISH[IDC_HELPBUTTON])] * 2):
        tray.click(IDC_TAMILDISPLAY)
        tray.wait_text(IDC_HELPBUTTON, caption, f"refill {n + 1}")
        faces, alive = caption_fonts(tray)
        expect((faces[-1], alive), (face, 1), f"refill {n + 1}: newest face, fonts alive")
    expect(tray.exit(), 0, "exit code")


def stored_settings_fill_the_window(wine, bits):
    # Tamil captions at once; a position a list lacks shows what the engine makes of it.
    wine.store(encoding=7, keyboard=4, displayLang=1, toggleKey=0xFFFFFFFF)
    tray = wine.start_tray(bits)
    check_window(tray, TAMIL, TAMIL_STOP, TAMIL_ENCODINGS, TAMIL_KEYBOARDS, (1, 0, 10), 1, "stored")
    expect(tray.exit(), 0, "exit code")


def odd_registry_values_leave_defaults(wine, bits):
    # Only 4-byte values are taken: a long string, an 8-byte binary and a 2-byte string are not.
    wine.store(encoding=("REG_SZ", "TSCII-8bit"), keyboard=("REG_BINARY", "0100000000000000"),
               displayLang=("REG_SZ", "1"), toggleKey=("REG_BINARY", "05000000"))
    tray = wine.start_tray(bits)
    check_window(tray, ENGLISH, ENGLISH_STOP, ENGLISH_ENCODINGS, ENGLISH_KEYBOARDS, (0, 0, 5), 0, "odd values")
    tray.post(WM_CLOSE)
    expect(tray.wait_exit(), 0, "exit code after closing the window")
    expect(wine.stored(), {}, "REG_DWORD values after closing (nothing saved)")


TAB_ORDER = [IDC_ENCODING, IDC_KEYBOARD, IDC_TOGGLEKEY, IDC_TAMILDISPLAY, IDC_HELPBUTTON, IDC_STOPBUTTON]


def the_keyboard_reaches_every_control(wine, bits):
    tray = wine.start_tray(bits)
    tray.wait_focus(IDC_ENCODING, "at start")
    for key, control in ([("Tab", c) for c in TAB_ORDER[1:] + TAB_ORDER[:1]] + [("shift+Tab", IDC_STOPBUTTON)] +
                         [("alt+b", IDC_KEYBOARD), ("alt+t", IDC_TOGGLEKEY), ("alt+e", IDC_ENCODING)]):
        tray.keys(key)
        tray.wait_focus(control, key)
    for captions in (TAMIL, ENGLISH):  # the box's letter is the same in both sets
        tray.keys("alt+i")
        tray.wait_text(IDC_HELPBUTTON, captions[IDC_HELPBUTTON], "Alt+I")
    tray.keys("alt+h")
    wine.close_message_box(bits, wine.message_box(bits, "Virel Help")[0])
    # Enter with nothing to save, and Esc, put the window back into the notification area.
    for key in ("Return", "Escape"):
        tray.keys("alt+e", key)
        tray.wait_shown(False, key)
        tray.post(WM_TRAYICON, WM_TRAYICON, WM_LBUTTONDBLCLK)
        tray.wait_shown(True, f"a double click on the icon after {key}")
    # After a change Enter saves it (Alt+S, the button's letter, in test_tray_leave).
    tray.keys("alt+b", "Down", "Return")
    box, text = wine.message_box(bits, "Restart Virel")
    expect(text, RESTART_TEXT, "restart message after Enter")
    wine.close_message_box(bits, box)
    expect(tray.wait_exit(), 0, "exit code")
    expect(wine.stored(), {"encoding": 0, "keyboard": 1, "displayLang": 0, "toggleKey": 10}, "stored")


DPI_KEY = r"HKCU\Control Panel\Desktop"  # its LogPixels: the screen's dots per inch under Wine


def at_144_dots_an_inch_fonts_banner_and_icons_scale(wine, bits):
    wine.reg("add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
    try:
        tray = wine.start_tray(bits, debug="-all,trace+font,trace+cursor")
        left, top, right, bottom = tray.dump()["children"][-1]["rect"]
        expect((right - left, bottom - top), (660, 99), "banner size (the bitmap's, times 1.5)")
        expect(caption_fonts(tray, "-17 0 0 0 0 0 0 4 0")[0], [""], "caption fonts 17 pixels high")
        with open(tray.output_path, "rb") as f:
            log = f.read().decode("utf-8", "replace")
        # The notification area's icons (110 and 111) at its small icon size.
        expect([f"#{icon:04x}, 24x24," in log for icon in (110, 111)], [True, True], "icons loaded at 24 pixels")
        expect(tray.exit(), 0, "exit code")
    finally:
        wine.reg("delete", DPI_KEY, "/v", "LogPixels", "/f", check=False)


CASES = [
    ("first start shows the English window", first_start_shows_the_english_window),
    ("the check box switches to Tamil and keeps pending choices", captions_switch_to_tamil_and_keep_pending_choices),
    ("fonts are made per set and released when replaced", fonts_are_made_per_set_and_released_when_replaced),
    ("stored settings fill the window", stored_settings_fill_the_window),
    ("odd registry values leave the defaults", odd_registry_values_leave_defaults),
    ("Tab and the mnemonics reach every control; Enter and Esc", the_keyboard_reaches_every_control),
    ("at 144 dots an inch the fonts, banner and icons scale", at_144_dots_an_inch_fonts_banner_and_icons_scale),
]

if __name__ == "__main__":
    sys.exit(run_cases("tray window", CASES, setup))
