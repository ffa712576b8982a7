#!/usr/bin/env python3
"""Unicode typing for real, under Wine, in both bitnesses: every layout, into another process.

A loader starts the engine with Unicode selected, as the tray program does; a host program in
another process gets real X key events. Each case starts a fresh host (its own process, so its
own composer state), presses the toggle key there once to set it up, types a few common words
(keys from engine/unicode/tests/data/words.tsv, separated by spaces) and compares the window's
text with the words.

Two groups of cases:
  - a RichEdit host without a profile, which erases on a sent Backspace key-down;
  - a plain EDIT control in a host named NOTEPAD.EXE, whose profile erases with a posted WM_CHAR 8:
    the only thing such a control erases on. The words there are the ones with the most in-place
    corrections in each layout (a consonant taking its vowel sign, a short vowel made long, ஸ்ரீ and
    க்ஷ, the typewriter's prefix signs, Tamil99's caret symbols).

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from caserun import run_cases  # noqa: E402
from typing_run import finish, read_words, typing_setup  # noqa: E402
from winehost import E2EError  # noqa: E402

ENC_UNICODE = 0
PHONETIC, TAMIL99, NEW_TYPEWRITER, OLD_TYPEWRITER = range(4)
LAYOUT_NAMES = ["phonetic", "Tamil99", "New Typewriter", "Old Typewriter"]

# A few words for each layout in a plain host: joins, doublings, automatic pulli, grantha letters,
# prefix signs, long vowels, and the vowel-sign forms of each vowel.
PLAIN_WORDS = ["வணக்கம்", "தமிழ்", "நன்றி", "கொடு", "தோசை", "மழை", "பேச்சு", "வீடு", "பூனை",
               "லக்ஷ்மி", "ஜன்னல்", "ஈசல்", "சூரியன்"]

# The words with the most corrections, per layout, for the control that erases on WM_CHAR 8.
CORRECTED_WORDS = {
    PHONETIC: ["புத்தகம்", "ஸ்ரீலங்கா", "குழந்தை", "ஞாயிறு", "தண்ணீர்", "எங்கே", "லக்ஷ்மி"],
    TAMIL99: ["குழந்தை", "ஸ்ரீலங்கா", "லக்ஷ்மி", "தண்ணீர்"],
    NEW_TYPEWRITER: ["தோசை", "கொடு", "மழை", "பேச்சு", "வெள்ளி", "கை", "கூடை", "பூனை"],
    OLD_TYPEWRITER: ["தோசை", "கொடு", "மழை", "பேச்சு", "வெள்ளி", "கை", "கூடை", "பூனை"],
}
# Keys and text beyond the word list, each needing a correction. Phonetic: the consonant's pulli
# is replaced by the sign, and a short sign by the long one. Tamil99: the caret makes a space
# that its symbol key replaces (·, ", ' in code page 1252).
CORRECTED_EXTRA = {
    PHONETIC: [("kaa", "கா"), ("kee", "கே"), ("koo", "கோ"), ("kii", "கீ"), ("kuu", "கூ")],
    TAMIL99: [("hq^.", "கா·"), ("lks/f^0", "தமிழ்\""), ("^7", "'")],
    NEW_TYPEWRITER: [],
    OLD_TYPEWRITER: [],
}

# ொ and ோ: the typewriter writes each as its two parts (ெ or ே, then ா), which is the same text.
TWO_PART_O = {"\u0BCA": "\u0BC6\u0BBE", "\u0BCB": "\u0BC7\u0BBE"}


def decomposed(text):
    for whole, parts in TWO_PART_O.items():
        text = text.replace(whole, parts)
    return text


def sentence(words, layout, chosen, extra=()):
    """(keys, text) of the chosen words and extra (keys, text) pairs, each followed by a space."""
    pairs = [(words[w][layout], w) for w in chosen] + list(extra)
    return "".join(k + " " for k, _ in pairs), "".join(t + " " for _, t in pairs)


def type_and_compare(run, layout, keys, expected, exe_name=None, edit=False):
    host = run.start_typing(layout, exe_name=exe_name, edit=edit)
    host.type(keys)
    actual = host.text()
    if decomposed(actual) != decomposed(expected):
        profile = f"host {exe_name}" if exe_name else "host without a profile"
        control = "EDIT" if edit else "RichEdit"
        raise E2EError(f"{LAYOUT_NAMES[layout]}, {profile}, {control} control\n"
                       f"     keys     {keys!r}\n     expected {expected!r}\n"
                       f"     actual   {actual!r}")
    finish(host)


def make_cases(words):
    cases = []
    for layout in range(4):
        keys, text = sentence(words, layout, PLAIN_WORDS)
        cases.append((f"{LAYOUT_NAMES[layout]} into a RichEdit window",
                      lambda run, _, layout=layout, keys=keys, text=text:
                      type_and_compare(run, layout, keys, text)))
    for layout in range(4):
        keys, text = sentence(words, layout, CORRECTED_WORDS[layout], CORRECTED_EXTRA[layout])
        cases.append((f"{LAYOUT_NAMES[layout]} corrections in an EDIT control (NOTEPAD, WM_CHAR 8)",
                      lambda run, _, layout=layout, keys=keys, text=text:
                      type_and_compare(run, layout, keys, text, "NOTEPAD.EXE", edit=True)))
    return cases


def main():
    return run_cases("Unicode typing", make_cases(read_words()), typing_setup(ENC_UNICODE))


if __name__ == "__main__":
    sys.exit(main())
