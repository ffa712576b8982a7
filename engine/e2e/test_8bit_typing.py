#!/usr/bin/env python3
"""8-bit typing for real, under Wine, in both bitnesses: every encoding and layout, and the
profiles that deliver bytes in their own ways.

A loader starts the engine as the tray program does; a host program in another process gets real
X key events. The tables of an encoding are copied into a process when its toggle key is first
pressed, so each case starts a fresh host after selecting encoding and layout, presses the toggle
key there once and types. The host's window is a Unicode one: the bytes the engine posts with
PostMessageA (or sends with SendMessageA, or pastes as CF_TEXT) are converted from the ANSI code
page (1252 here), and host.ansi_bytes() reads them back through GetWindowTextA. Every byte 0x80 to
0xFF survives that round trip under Wine, including the five that 1252 leaves undefined (0x81,
0x8D, 0x8F, 0x90, 0x9D go to U+0081... and back), and no glyph of the five encodings is one of
those five; so the expected bytes below are compared whole, with no key avoided.

The expected bytes are what the engine writes into the native tests' host model for the same keys
(engine/testing: the same words give the same bytes in all four layouts, since the 8-bit and
Unicode composers agree on them); they are kept here as data. The words are from
engine/unicode/tests/data/words.tsv and reach glyph bytes 0x82 to 0x9F in every encoding that
has them.

Cases:
  - each encoding (TSCII, TAB, TAM, LIPI, T_OLD) in each layout, in a RichEdit host without a
    profile: bytes posted with PostMessageA, backspaces sent as Backspace key-down and key-up;
  - WORDPAD.EXE (bytes sent with SendMessageA; under TAM its own syllable glyphs) and ABIWORD.EXE
    (bytes sent with SendMessageA, a backspace is a sent key-down alone), in a RichEdit host;
  - DREAMWEAVER.EXE: each text goes through the clipboard and a synthesized Ctrl+V, backspaces are
    a sent WM_CHAR 8, so the host is a plain EDIT control (which erases on that character and
    pastes on the Ctrl+V character); EUDORA.EXE the same with synthesized Backspace key-downs, in
    a RichEdit host. Their keys are typed one at a time, each once the host has taken the one
    before, so that the keys the engine synthesizes for one key come before the next key; the
    last paste may come after the harness's end-of-typing key, so the text is awaited.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from caserun import run_cases  # noqa: E402
from typing_run import finish, typing_setup  # noqa: E402
from winehost import E2EError, wait_for  # noqa: E402

TSCII, TAB, TAM, LIPI, T_OLD = 1, 2, 3, 4, 5
ENCODING_NAMES = {TSCII: "TSCII", TAB: "TAB", TAM: "TAM", LIPI: "LIPI", T_OLD: "T_OLD"}
PHONETIC, TAMIL99, NEW_TYPEWRITER, OLD_TYPEWRITER = range(4)
LAYOUT_NAMES = ["phonetic", "Tamil99", "New Typewriter", "Old Typewriter"]
PASTE_TIMEOUT = 10.0

# வணக்கம் தமிழ் நன்றி கொடு தோசை மழை பேச்சு லக்ஷ்மி ஜன்னல் மூன்று சூரியன் கால் பள்ளி வீடு,
# each followed by a space, in each layout.
WORD_KEYS = {
    PHONETIC: "vaNakkam thamiz wanRi kotu thOsai mazai peessu laxmi jannal muunRu suuriyan "
              "kaal paLLi vItu ",
    TAMIL99: "vphhkf lks/f ;ius hcod lx[r k/r jt[[d nTfks Eiinf keiud [ems'if hqnf jyys vwod ",
    NEW_TYPEWRITER: "tzf;fk; jkpH; ed;wp bfhL njhir kiH ngr;R yB;kp $d;dy; Khd;W Nupad; fhy; "
                    "gs;sp tPL ",
    OLD_TYPEWRITER: "tz;ff;k jpk;H e;dpw bfhL njhir kiH ng;rR y;Bpk $;dd;y K};dW Npua;d fh;y "
                    "g;sps PtL ",
}

# The bytes of those words, one hex group a word; each word is followed by a space (0x20).
WORD_BYTES = {
    TSCII: "C5BDECB8F5 BEC1A2FA BFFDC8A2 A6B8A1CE A7BEA1A8BA C1A8C6 A7C0EECD C48CC1A2 83FDC9F8 "
           "E3FDDA DDC3A2C2FD B8A1F8 C0FBC7A2 C5A3CE",
    TAB: "F5EDE8A2E8F1A2 EEF1A4F6A2 EFF9A2F8A4 AAE8A3B4 ABEEA3ACEA F1ACF6 ABF0EAA2B2 F4FEA2F1A4 "
         "FCF9A2F9F4A2 CDF9A2C1 C5F3A4F2F9A2 E8A3F4A2 F0F7A2F7A4 F5A6B4",
    TAM: "F5ED82E88B EEF1A49B EFA1F8A4 AAE8A3B4 ABEEA3ACEA F1ACF6 ABF084B2 F47AF1A4 FCA1F999 "
         "CDA1C1 C5F3A4F2A1 E8A399 F09CF7A4 F5A6B4",
    LIPI: "C16E5550AE 75AACC 7CDFD4 F650F56B F775F5F85C A9F8C7 F7A3615F BBF4AA E1DFDAC0 89DFD6 "
          "609BAFDF 50F5C0 A3D2CE C36B",
    T_OLD: "747AA166AB 6AE49C 658BBF 6266684C 6E6A686972 6B6948 6E67A252 79BAE4 238B649A 5F8B57 "
           "4EE7618B 66689A 679FEB C54C",
}
# TAM in WORDPAD: consonant + i/ii as one syllable glyph (தமி, நன்றி, லக்ஷ்மி, ...).
WORDPAD_TAM_BYTES = ("F5ED82E88B EE499B EFA150 AAE8A3B4 ABEEA3ACEA F1ACF6 ABF084B2 F47A49 "
                     "FCA1F999 CDA1C1 C54BF2A1 E8A399 F09C4F 69B4")

# Through the clipboard. Letters that need no correction (அ இ உ தம in New Typewriter), and words
# that do: கா கே கோ தமிழ் (a sign after its consonant, a prefix sign before it, both around it).
CLIPBOARD_LETTERS = (NEW_TYPEWRITER, TSCII, "m , c jk ", "AB FE AF BEC1")
CLIPBOARD_CORRECTED = [
    (PHONETIC, TSCII, "kaa kee koo thamiz ", "B8A1 A7B8 A7B8A1 BEC1A2FA"),
    (TAMIL99, LIPI, "hq ht hx lks/f ", "50F5 F750 F750F5 75AACC"),
]


def words_bytes(groups):
    """Hex groups, one a word, to the bytes of the words each followed by a space."""
    return b"".join(bytes.fromhex(group) + b" " for group in groups.split())


def mismatch(encoding, layout, exe_name, keys, expected, actual):
    where = f"host {exe_name}" if exe_name else "host without a profile"
    return E2EError(f"{ENCODING_NAMES[encoding]}, {LAYOUT_NAMES[layout]}, {where}\n"
                    f"     keys     {keys!r}\n     expected {expected.hex(' ').upper()}\n"
                    f"     actual   {actual.hex(' ').upper()}")


def typed(run, encoding, layout, keys, expected, exe_name=None):
    host = run.start_typing(layout, encoding, exe_name)
    host.type(keys)
    actual = host.ansi_bytes()
    if actual != expected:
        raise mismatch(encoding, layout, exe_name, keys, expected, actual)
    finish(host)


def pasted(run, exe_name, edit, encoding, layout, keys, expected):
    host = run.start_typing(layout, encoding, exe_name, edit=edit)
    for key in keys:
        host.type(key)
    seen = [b""]

    def arrived():
        seen[0] = host.ansi_bytes()
        return seen[0] == expected

    try:
        wait_for(arrived, "the pasted text", timeout=PASTE_TIMEOUT)
    except E2EError:
        raise mismatch(encoding, layout, exe_name, keys, expected, seen[0]) from None
    finish(host)


def make_cases():
    cases = []
    for encoding, groups in WORD_BYTES.items():
        for layout, keys in WORD_KEYS.items():
            cases.append((f"{ENCODING_NAMES[encoding]}, {LAYOUT_NAMES[layout]}",
                          lambda run, _, e=encoding, l=layout, k=keys, b=words_bytes(groups):
                          typed(run, e, l, k, b)))
    sent = [("WORDPAD.EXE", TAM, PHONETIC, WORDPAD_TAM_BYTES),
            ("WORDPAD.EXE", TAM, TAMIL99, WORDPAD_TAM_BYTES),
            ("WORDPAD.EXE", TSCII, NEW_TYPEWRITER, WORD_BYTES[TSCII]),
            ("ABIWORD.EXE", LIPI, PHONETIC, WORD_BYTES[LIPI]),
            ("ABIWORD.EXE", TAB, OLD_TYPEWRITER, WORD_BYTES[TAB])]
    for exe_name, encoding, layout, groups in sent:
        cases.append((f"{exe_name} (SendMessageA), {ENCODING_NAMES[encoding]}, "
                      f"{LAYOUT_NAMES[layout]}",
                      lambda run, _, x=exe_name, e=encoding, l=layout, b=words_bytes(groups):
                      typed(run, e, l, WORD_KEYS[l], b, x)))
    clipboard = ([("DREAMWEAVER.EXE", True, "letters", CLIPBOARD_LETTERS)] +
                 [("DREAMWEAVER.EXE", True, "corrections", c) for c in CLIPBOARD_CORRECTED] +
                 [("EUDORA.EXE", False, "corrections", CLIPBOARD_CORRECTED[0])])
    for exe_name, edit, what, (layout, encoding, keys, groups) in clipboard:
        control = "EDIT" if edit else "RichEdit"
        cases.append((f"{exe_name} (clipboard, {control}), {what}, {ENCODING_NAMES[encoding]}, "
                      f"{LAYOUT_NAMES[layout]}",
                      lambda run, _, x=exe_name, d=edit, e=encoding, l=layout, k=keys,
                      b=words_bytes(groups): pasted(run, x, d, e, l, k, b)))
    return cases


def main():
    return run_cases("8-bit typing", make_cases(), typing_setup(TSCII))


if __name__ == "__main__":
    sys.exit(main())
