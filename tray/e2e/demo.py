#!/usr/bin/env python3
"""Headless `make run`: both tray programs under Wine on a private virtual display, a sample typed
in each keyboard layout into a text window, and pictures of it all in build/run/. The typed text
is also saved as UTF-8 (typedNN.txt): the test window's Wine fonts may lack Tamil letters.

    python3 tray/e2e/demo.py [OUTPUT_DIR]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from traywine import (IDC_TAMILDISPLAY, REPO, E2EError, TrayWine, WineSession,  # noqa: E402
                      crop_png, wait_for)

# What to type per keyboard number, each a greeting in that layout's keys.
SAMPLES = [
    ("phonetic", 0, "vaNakkam, thamiz! "),
    ("tamil99", 1, "vphhkf, lks/f "),
    ("new-typewriter", 2, "kmp;j "),
    ("old-typewriter", 3, "kmp;j "),
]


def picture(session, path, rect):
    """Saves the window inside rect as path, and the whole screen beside it."""
    screen = session.screenshot(path[:-4] + "-screen.png")
    return crop_png(screen, rect, path)


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build", "run"))
    os.makedirs(out, exist_ok=True)
    with WineSession() as session:
        wine = TrayWine(session)
        print(f"virtual display {session.display}, Wine prefix {session.prefix}", flush=True)
        trays = {}
        for bits in (64, 32):
            runnable, reason = session.can_run(bits)
            if not runnable:
                print(f"Virel{bits}: not started: {reason}", flush=True)
                continue
            trays[bits] = wine.start_tray(bits)
            print(f"Virel{bits}: running", flush=True)
        if not trays:
            raise E2EError("no tray program could be started")

        for bits, tray in trays.items():
            rect = tray.dump()["rect"]
            picture(session, os.path.join(out, f"settings{bits}-english.png"), rect)
            tray.click(IDC_TAMILDISPLAY)
            wait_for(lambda: tray.control(IDC_TAMILDISPLAY)["check"] == 1, "the Tamil captions")
            tray.barrier()
            picture(session, os.path.join(out, f"settings{bits}-tamil.png"), rect)
            tray.click(IDC_TAMILDISPLAY)
            wait_for(lambda: tray.control(IDC_TAMILDISPLAY)["check"] == 0, "the English captions")

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
                host.keys("alt+k")
                host.type(sample)
                host.keys("alt+k")
                host.keys("Return")
            text = host.text()
            with open(os.path.join(out, f"typed{bits}.txt"), "w", encoding="utf-8") as f:
                f.write(text)
            print(f"typed in the {bits}-bit text window:\n{text}", flush=True)
            state = wine.dump(bits, wine.find(bits, "VirelTestHost", host.tag))
            picture(session, os.path.join(out, f"typed{bits}.png"), state["rect"])
            host.exit()
        for tray in trays.values():
            tray.exit()
    print(f"pictures and text in {out}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
