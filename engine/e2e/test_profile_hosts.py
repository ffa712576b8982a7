#!/usr/bin/env python3
"""Hosts whose profile changes the route a message takes, under Wine, in both bitnesses: the same
text as in a host without a profile, in an 8-bit encoding (TSCII, read back as ANSI bytes) and in
Unicode.

  - POWERPNT.EXE (RichEdit): the engine's own posted characters and Backspace key-downs come back
    through the hook as if typed; they must not be composed again (New Typewriter ": " once made
    the host loop for ever) nor end the syllable.
  - OPERA.EXE with product version 7 (RichEdit): its posted Backspace key-down is the engine's,
    not the user's navigation.
  - EUDORA.EXE: text through the clipboard and a synthesized Ctrl+V, backspaces synthesized; in a
    RichEdit, in a plain EDIT control (Unicode text is posted there, after Backspaces sent as a
    whole key press), and in a RichEdit whose window takes Ctrl+V as an accelerator, so that no
    Ctrl+V character ever comes (a user's Backspace after it must still be the user's).
  - DREAMWEAVER.EXE: clipboard and Ctrl+V, a sent WM_CHAR 8 per backspace, so a plain EDIT
    control; with Ctrl+V a character and as an accelerator.
  - an arrow key in a host without a profile ends the syllable in both families: k a Left a puts
    அ before க, not a bare sign;
  - a plain EDIT control in a host without a profile: a backspace is a whole key press (key-down,
    character, key-up), on one of which any control erases.
  - the host behind the typist: keys typed at once (in square brackets) while the pasting host
    stalls 1.5 s on each Ctrl+V; a host whose second GUI thread keeps taking key messages; capitals
    typed with Shift held (in braces: {+Shift_L} down, {-Shift_L} up) into a host whose Ctrl+V is
    an accelerator. Each gives what slow typing gives.

Keys go one at a time to the pasting hosts, each once the host has taken the one before, so that
the keys the engine synthesizes for one key come before the next; the last paste may come after
the harness's end-of-typing key, so the text is awaited. Expected texts are what the engine
writes for the same keys in the native tests' plain host.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from caserun import run_cases  # noqa: E402
from typing_run import finish, typing_setup  # noqa: E402
from winehost import E2EError, wait_for  # noqa: E402

UNICODE, TSCII, T_OLD = 0, 1, 5
PHONETIC, TAMIL99, NEW_TYPEWRITER = 0, 1, 2
LAYOUT_NAMES = ["phonetic", "Tamil99", "New Typewriter"]
SETTLE_TIMEOUT = 10.0

POWER = dict(exe_name="POWERPNT.EXE")
OPERA = dict(exe_name="OPERA.EXE", version7=True)
EUDOR = dict(exe_name="EUDORA.EXE")
EUDOR_EDIT = dict(exe_name="EUDORA.EXE", edit=True)
EUDOR_ACCELERATOR = dict(exe_name="EUDORA.EXE", accelerator=True)
DREAM = dict(exe_name="DREAMWEAVER.EXE", edit=True)
DREAM_ACCELERATOR = dict(exe_name="DREAMWEAVER.EXE", edit=True, accelerator=True)
PLAIN = {}
PLAIN_EDIT = dict(edit=True)
STALL = 1500
EUDOR_STALLING = dict(exe_name="EUDORA.EXE", stall_paste_ms=STALL)
DREAM_STALLING = dict(exe_name="DREAMWEAVER.EXE", edit=True, stall_paste_ms=STALL)
POWER_TWO_THREADS = dict(exe_name="POWERPNT.EXE", second_thread=True)

# (host, encoding, layout, keys, expected): keys are typed characters, or xdotool key names in
# angle brackets; expected is hex bytes for TSCII, text for Unicode.
CASES = [
    (POWER, TSCII, PHONETIC, "kaa vaNakkam ", "B8A1 20 C5BDECB8F5 20"),
    (POWER, TSCII, TAMIL99, "vphhkf hqhshw ", "C5BDECB8F5 20 B8A1B8A2B8A3 20"),
    (POWER, TSCII, NEW_TYPEWRITER, ": kiH ", "20 C1A8C6 20"),
    (POWER, UNICODE, PHONETIC, "vaNakkam thamiz ", "வணக்கம் தமிழ் "),
    (POWER, UNICODE, TAMIL99, "vphhkf lks/f ", "வணக்கம் தமிழ் "),
    (OPERA, TSCII, TAMIL99, "ahhq hhd ", "ABECB8A1 20 ECCC 20"),
    (OPERA, TSCII, PHONETIC, "kaa thamiz ", "B8A1 20 BEC1A2FA 20"),
    (OPERA, UNICODE, PHONETIC, "kaa thamiz ", "கா தமிழ் "),
    (EUDOR, TSCII, PHONETIC, "kaa kee koo ", "B8A1 20 A7B8 20 A7B8A1 20"),
    (EUDOR_EDIT, TSCII, PHONETIC, "kaa kee koo ", "B8A1 20 A7B8 20 A7B8A1 20"),
    (EUDOR_EDIT, UNICODE, PHONETIC, "vaNakkam thamiz ", "வணக்கம் தமிழ் "),
    (EUDOR_ACCELERATOR, TSCII, PHONETIC, "1k<BackSpace>a kaa ", "31 AB 20 B8A1 20"),
    (DREAM, TSCII, TAMIL99, "hq ht hx ", "B8A1 20 A7B8 20 A7B8A1 20"),
    (DREAM_ACCELERATOR, TSCII, PHONETIC, "kaa kee koo ", "B8A1 20 A7B8 20 A7B8A1 20"),
    (PLAIN, UNICODE, PHONETIC, "ka<Left>a", "அக"),
    (PLAIN_EDIT, UNICODE, PHONETIC, "vaNakkam thamiz ", "வணக்கம் தமிழ் "),
    (PLAIN_EDIT, TSCII, PHONETIC, "kaa thamiz ", "B8A1 20 BEC1A2FA 20"),
    (PLAIN, TSCII, PHONETIC, "ka<Left>a", "AB B8"),
    (EUDOR_STALLING, TSCII, PHONETIC, "m [kai]", "F5 20 A8B8"),
    (DREAM_STALLING, TSCII, PHONETIC, "m [kai][ko]", "F5 20 A8B8 A6B8A1"),
    (POWER_TWO_THREADS, T_OLD, PHONETIC, "ka kai ", "66 20 6966 20"),
    (EUDOR_ACCELERATOR, TSCII, PHONETIC, "va{+Shift_L}n{-Shift_L}akkam", "C5BDECB8F5"),
    (DREAM_ACCELERATOR, TSCII, PHONETIC, "{+Shift_L}na{-Shift_L}kai", "BDA1A8B8"),
]


def steps(keys):
    """The keys as ("type", characters), ("key", xdotool name) and ("hold", "+name"/"-name")
    steps: characters one at a time, or in square brackets all at once."""
    out = []
    closing = {"<": (">", "key"), "{": ("}", "hold"), "[": ("]", "type")}
    while keys:
        if keys[0] in closing:
            close, kind = closing[keys[0]]
            end = keys.index(close)
            out.append((kind, keys[1:end]))
            keys = keys[end + 1:]
        else:
            out.append(("type", keys[0]))
            keys = keys[1:]
    return out


def typed(run, host_options, encoding, layout, keys, expected):
    host = run.start_typing(layout, encoding, **host_options)
    for kind, what in steps(keys):
        if kind == "type":
            host.type(what, delay_ms=1)  # several keys: all in the queue before the host reads one
        elif kind == "hold":
            host.hold(what[1:], what[0] == "+")
        else:
            host.keys(what)
    want = expected if encoding == UNICODE else bytes.fromhex(expected)
    seen = [None]

    def arrived():
        seen[0] = host.text() if encoding == UNICODE else host.ansi_bytes()
        return seen[0] == want

    try:
        wait_for(arrived, "the expected text", timeout=SETTLE_TIMEOUT)
    except E2EError:
        shown = repr(seen[0]) if encoding == UNICODE else seen[0].hex(" ").upper()
        raise E2EError(f"keys {keys!r}\n     expected {expected}\n     actual   {shown}") from None
    finish(host)


def case_name(host_options, encoding, layout):
    host = host_options.get("exe_name", "no profile")
    control = ("EDIT" if host_options.get("edit") else "RichEdit") + \
        (", Ctrl+V an accelerator" if host_options.get("accelerator") else "") + \
        (", stalling on Ctrl+V" if host_options.get("stall_paste_ms") else "") + \
        (", two GUI threads" if host_options.get("second_thread") else "")
    encodings = {UNICODE: "Unicode", TSCII: "TSCII", T_OLD: "T_OLD"}
    return f"{host} ({control}), {encodings[encoding]}, {LAYOUT_NAMES[layout]}"


def main():
    cases = [(case_name(h, e, l), lambda run, _, h=h, e=e, l=l, k=k, x=x: typed(run, h, e, l, k, x))
             for h, e, l, k, x in CASES]
    return run_cases("profile hosts", cases, typing_setup(TSCII))


if __name__ == "__main__":
    sys.exit(main())
