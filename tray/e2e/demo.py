#!/usr/bin/env python3
"""Headless `make run`: both tray programs under Wine on a private virtual display, the greeting
வணக்கம் typed in each keyboard layout into a text window, and pictures of it all in build/run/.
The typed text is also saved as UTF-8 (typedNN.txt) and must read as intended, line by line.

    python3 tray/e2e/demo.py [OUTPUT_DIR]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (IDC_TAMILDISPLAY, POINTER_REST, REPO, E2EError, TrayWine,  # noqa: E402
                      WineSession, crop_png, wait_for)

GREETING = "வணக்கம்"
# The greeting in each layout's keys, by keyboard number. The typewriter's pulli key ; marks the
# consonant before it in the New layout and the one after it in the Old.
SAMPLES = [
    ("phonetic", 0, "vaNakkam"),
    ("tamil99", 1, "vphhkf"),
    ("new-typewriter", 2, "tzf;fk;"),
    ("old-typewriter", 3, "tz;ff;k"),
]
EXPECTED_LINES = [f"{name}: {GREETING}" for name, _, _ in SAMPLES]
FONT_SUBSTITUTES = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes"


def show_tamil_in_text_windows(wine):
    """The text window draws in Wine's System font, which has no Tamil letters. TSCu_Paranar
    (fonts-taml-tscu) has Latin and Tamil letters both; Lohit Tamil, linked behind the System
    font, would lack the Latin ones. Set for the 64-bit and the 32-bit view of the registry."""
    for view in ("/reg:64", "/reg:32"):
        wine.reg("add", FONT_SUBSTITUTES, "/v", "System", "/t", "REG_SZ", "/d", "TSCu_Paranar", "/f", view)


def picture(session, path, rect):
    """Saves the window inside rect as path, and the whole screen beside it."""
    screen = session.screenshot(path[:-4] + "-screen.png")
    return crop_png(screen, rect, path)


def run(out):
    """Runs it all, leaving pictures and text in out; raises E2EError when something is amiss.
    Returns {bits: why} of the builds this machine cannot run, which it leaves out."""
    os.makedirs(out, exist_ok=True)
    with WineSession() as session:
        wine = TrayWine(session)
        show_tamil_in_text_windows(wine)
        # A window that opens or closes under the pointer makes Wine bring its modifier keys in
        # line with X's, in whichever program takes that notice, and maybe late: while Alt+K is
        # held in the text window, a tray window coming or going in the middle of the screen could
        # leave Alt down for good.
        session.xdotool("mousemove", *POINTER_REST)
        print(f"virtual display {session.display}, Wine prefix {session.prefix}", flush=True)
        # Each window opens in the middle of the screen: its pictures are taken before the
        # other build starts.
        trays, skipped = {}, {}
        for bits in (64, 32):
            runnable, skipped[bits] = session.can_run(bits)
            if not runnable:
                print(f"Virel{bits}: not started: {skipped[bits]}", flush=True)
                continue
            del skipped[bits]
            tray = trays[bits] = wine.start_tray(bits)
            print(f"Virel{bits}: running", flush=True)
            rect = tray.dump()["rect"]
            picture(session, os.path.join(out, f"settings{bits}-english.png"), rect)
            tray.click(IDC_TAMILDISPLAY)
            wait_for(lambda: tray.control(IDC_TAMILDISPLAY)["check"] == 1, "the Tamil captions")
            tray.barrier()
            picture(session, os.path.join(out, f"settings{bits}-tamil.png"), rect)
            tray.click(IDC_TAMILDISPLAY)
            wait_for(lambda: tray.control(IDC_TAMILDISPLAY)["check"] == 0, "the English captions")
        if not trays:
            raise E2EError("no tray program could be started")

        for bits in list(trays):
            host = session.start_host(bits)
            host.keys("alt+k")  # sets the text window's process up and turns Tamil on,
            host.keys("alt+k")  # and off again for the first label
            for name, keyboard, sample in SAMPLES:
                # A layout is a stored setting: save it, start the tray program again.
                trays[bits].exit()
                wine.store(encoding=0, keyboard=keyboard)
                trays[bits] = wine.start_tray(bits)
                host.type(f"{name}: ")
                # The new tray window took the focus: both programs deal with it going back to
                # the text window before Alt is held.
                trays[bits].barrier()
                host.settle()
                host.keys("alt+k")
                host.type(sample)
                host.keys("alt+k")
                host.keys("Return")
            saved = os.path.join(out, f"typed{bits}.txt")
            with open(saved, "w", encoding="utf-8", newline="") as f:
                f.write(host.text())
            with open(saved, encoding="utf-8", newline="") as f:
                text = f.read()
            print(f"typed in the {bits}-bit text window:\n{text}", flush=True)
            if text.splitlines() != EXPECTED_LINES:
                raise E2EError(f"{saved}: expected the lines {EXPECTED_LINES}, got {text!r}")
            state = wine.dump(bits, wine.find(bits, "VirelTestHost", host.tag))
            picture(session, os.path.join(out, f"typed{bits}.png"), state["rect"])
            host.exit()
        for tray in trays.values():
            tray.exit()
    print(f"pictures and text in {out}", flush=True)
    return skipped


if __name__ == "__main__":
    run(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build", "run")))
