#!/usr/bin/python3
"""Draws a chart of each keyboard layout from what the engine itself types, so that a chart can
never disagree with the engine:

    /usr/bin/python3 docs/charts.py VIREL_TYPE OUTPUT_DIR

VIREL_TYPE is the native build's build/native/virel_type. Every key of a US keyboard is typed
through it, alone, after a consonant and before one, and after a vowel, each into a fresh
process, in Unicode. The chart shows on each key what the key gives (blue) and the sign it puts
on a consonant typed before it (orange) or after it (green: the typewriters' ெ ே ை and the Old
Typewriter's mode keys); a dotted circle stands for that consonant. Below the keyboard a strip of
typed examples, also from the engine.

Writes chart-<layout>.png for the four layouts and charts.txt, the same facts as text (what the
tests compare with the engine). Needs python3-pil with libraqm0, fonts-lohit-taml and
fonts-dejavu-core.
"""
import os
import subprocess
import sys

from PIL import Image, ImageDraw, ImageFont, features

TAMIL_FONT = "/usr/share/fonts/truetype/lohit-tamil/Lohit-Tamil.ttf"
LATIN_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# (file stem, keyboard number, a consonant key and the அ key of the layout, examples to type)
LAYOUTS = [
    ("phonetic", 0, "k", "a",
     ["a", "aa", "i", "ii", "u", "uu", "e", "ee", "ai", "o", "oo", "au", "q",
      "ka", "kaa", "ki", "kii", "ku", "kuu", "ke", "kee", "kai", "ko", "koo", "kau",
      "ng", "nj", "w", "th", "sh", "sr", "x", " n", "nanRi", "pan-thu", "vaNakkam", "thamiz"]),
    ("tamil99", 1, "h", "a",
     ["hq", "hs", "hw", "hd", "he", "hg", "ht", "hr", "hc", "hx", "hz", "hf",
      "kk", "bh", "][", "po", ";l", "kj", "iu", "T", "Y", "vphhkf", "lks/f"]),
    ("new-typewriter", 2, "f", "m",
     ["fh", "fp", "fP", "f[", "f:", "f;", "bf", "nf", "if", "bfh", "nfh", "F", "Fh", "T", "T&",
      "tzf;fk;", "jkpH;"]),
    ("old-typewriter", 3, "f", "m",
     ["fh", "pf", "Pf", "[f", ":F", ";f", "bf", "nf", "if", "bfh", "nfh", "F", "Fh", "T",
      "tz;ff;k", "jpk;H"]),
]

# A US keyboard: (unshifted, shifted) characters of each row, and the row's indent in keys.
ROWS = [
    ("`1234567890-=", "~!@#$%^&*()_+", 0.0),
    ("qwertyuiop[]\\", "QWERTYUIOP{}|", 1.5),
    ("asdfghjkl;'", "ASDFGHJKL:\"", 1.75),
    ("zxcvbnm,./", "ZXCVBNM<>?", 2.25),
]
# Keys that carry no character, drawn grey for the look of a keyboard: (row, label, x, width).
SPECIAL_KEYS = [(0, "Backspace", 13.0, 2.0), (1, "Tab", 0.0, 1.5), (2, "Caps Lock", 0.0, 1.75),
                (2, "Enter", 12.75, 2.25), (3, "Shift", 0.0, 2.25), (3, "Shift", 12.25, 2.75)]

SIGNS = set(chr(c) for c in range(0x0BBE, 0x0BCE)) | {"\u0BD7"}
ZWJ = "\u200D"
DOTTED_CIRCLE = "\u25CC"

UNIT = 124       # one key, in pixels
GAP = 8
INK = (0x20, 0x20, 0x20)
GREY = (0x80, 0x80, 0x80)
BLUE = (0x1f, 0x4e, 0xb4)
ORANGE = (0xd0, 0x60, 0x00)
GREEN = (0x10, 0x80, 0x30)
SIDE_COLOURS = {"after": ORANGE, "before": GREEN}
KEY_FILL = (0xf6, 0xf7, 0xfa)
KEY_EDGE = (0xb0, 0xb4, 0xc0)
SPECIAL_FILL = (0xe2, 0xe4, 0xea)


def type_lines(virel_type, keyboard, lines):
    """What the engine types for each line of keys, each into a fresh process (Unicode)."""
    escaped = [line.replace("\\", "\\\\") for line in lines]
    result = subprocess.run([virel_type, "0", str(keyboard)], input="\n".join(escaped) + "\n",
                            capture_output=True, text=True, check=True)
    out = result.stdout.split("\n")[:len(lines)]
    if len(out) != len(lines):
        raise SystemExit(f"charts: {virel_type} answered {len(out)} lines for {len(lines)}")
    return dict(zip(lines, out))


def marked(sign):
    """A sign shown on a dotted circle, the way a sign is shown without its consonant."""
    return DOTTED_CIRCLE + sign


def key_facts(typed, key, consonant, vowel):
    """(alone, sign, side) for one key, as text to draw: the letter it gives, and the sign it
    puts on a consonant typed before it (side "after") or after it (side "before"); '' where
    there is nothing. A key that gives another letter inside a word than at its start (the
    phonetic n: ந் to begin a word, ன் after a letter) shows the letter inside a word."""
    base = typed[consonant][:1]
    alone = typed[key]
    inside = typed[vowel + key]
    if inside.startswith(typed[vowel]):
        rest = inside[len(typed[vowel]):]
        if rest.strip() and rest[0] not in SIGNS:
            alone = rest
    if alone == key or not alone.strip():
        alone = ""  # the key passes as itself, or gives only a space
    alone = alone.replace(ZWJ, "")
    if alone[:1] in SIGNS:
        alone = marked(alone)
    for side, sequence in (("after", consonant + key), ("before", key + consonant)):
        text = typed[sequence]
        rest = text[len(base):]
        if text.startswith(base) and rest and all(c in SIGNS for c in rest) and \
                text != typed[consonant]:
            # A sign key typed alone gives only its sign (ெ before any consonant): the sign.
            return ("" if marked(rest) == alone else alone), marked(rest), side
    return alone, "", ""


def layout_facts(virel_type, keyboard, consonant, vowel, examples):
    keys = [c for row in ROWS for c in row[0] + row[1]]
    lines = set(keys) | {consonant, vowel} | set(examples)
    lines |= {consonant + k for k in keys} | {k + consonant for k in keys} | {vowel + k for k in keys}
    typed = type_lines(virel_type, keyboard, sorted(lines))
    facts = {key: key_facts(typed, key, consonant, vowel) for key in keys}
    return facts, [(e, typed[e]) for e in examples]


class Fonts:
    def __init__(self):
        raqm = ImageFont.Layout.RAQM
        self.key_sizes = [(ImageFont.truetype(TAMIL_FONT, size, layout_engine=raqm),
                           ImageFont.truetype(TAMIL_FONT, size * 3 // 4, layout_engine=raqm))
                          for size in (28, 23)]
        self.example = ImageFont.truetype(TAMIL_FONT, 30, layout_engine=raqm)
        self.latin = ImageFont.truetype(LATIN_FONT, 20, layout_engine=raqm)
        self.latin_big = ImageFont.truetype(LATIN_FONT, 26, layout_engine=raqm)
        self.keys = ImageFont.truetype(LATIN_BOLD, 24, layout_engine=raqm)
        self.special = ImageFont.truetype(LATIN_FONT, 18, layout_engine=raqm)

    def for_text(self, text, tamil, latin):
        """Lohit Tamil has no Latin letters: text with any goes to DejaVu Sans."""
        return latin if any(c.isascii() and c.isalpha() for c in text) else tamil


def draw_key(draw, fonts, box, label_top, label_bottom, upper, lower):
    """One key: its Latin characters on the left (a letter key shows its capital only), what it
    gives with Shift in the upper half and without in the lower half, each with its sign."""
    left, top, right, bottom = box
    draw.rounded_rectangle(box, radius=10, fill=KEY_FILL, outline=KEY_EDGE, width=2)
    draw.text((left + 8, top + 6), label_top, font=fonts.latin, fill=GREY)
    if not label_top.isalpha():
        draw.text((left + 8, bottom - 30), label_bottom, font=fonts.latin, fill=GREY)
    for (alone, sign, side), baseline in ((upper, top + 44), (lower, bottom - 18)):
        # The larger size where both fit, else the smaller.
        for tamil, sign_font in fonts.key_sizes:
            font = fonts.for_text(alone, tamil, fonts.latin_big)
            need = draw.textlength(alone, font=font) + draw.textlength(sign, font=sign_font) + 12
            if need <= right - left - 24:
                break
        x = right - 6
        if sign:
            x -= draw.textlength(sign, font=sign_font)
            draw.text((x, baseline), sign, font=sign_font, fill=SIDE_COLOURS[side], anchor="ls")
            x -= 6
        if alone:
            x = max(left + 24, x - draw.textlength(alone, font=font))
            draw.text((x, baseline), alone, font=font, fill=BLUE, anchor="ls")


def draw_chart(facts, examples, path):
    fonts = Fonts()
    width = int(15 * UNIT + GAP)
    keyboard_height = len(ROWS) * UNIT + GAP
    columns = 4
    example_rows = (len(examples) + columns - 1) // columns
    line = 50
    height = keyboard_height + 16 + example_rows * line + 8
    image = Image.new("RGB", (width, height), (0xff, 0xff, 0xff))
    draw = ImageDraw.Draw(image)
    for r, (plain, shifted, indent) in enumerate(ROWS):
        top = GAP + r * UNIT
        for i, (low, high) in enumerate(zip(plain, shifted)):
            left = GAP + (indent + i) * UNIT
            box = (left, top, left + UNIT - GAP, top + UNIT - GAP)
            draw_key(draw, fonts, box, high, low, facts[high], facts[low])
    for r, label, x, w in SPECIAL_KEYS:
        left, top = GAP + x * UNIT, GAP + r * UNIT
        draw.rounded_rectangle((left, top, left + w * UNIT - GAP, top + UNIT - GAP), radius=10,
                               fill=SPECIAL_FILL, outline=KEY_EDGE, width=2)
        draw.text((left + 10, top + UNIT - GAP - 30), label, font=fonts.special, fill=GREY)
    column_width = (width - 2 * GAP) // columns
    for n, (keys, text) in enumerate(examples):
        x = GAP + 10 + (n % columns) * column_width
        baseline = keyboard_height + 16 + (n // columns) * line + 34
        shown = keys.replace(" ", "\u2423")  # a visible space
        draw.text((x, baseline), shown, font=fonts.keys, fill=INK, anchor="ls")
        x += draw.textlength(shown, font=fonts.keys) + 12
        draw.text((x, baseline), "\u2192", font=fonts.keys, fill=GREY, anchor="ls")
        x += draw.textlength("\u2192", font=fonts.keys) + 12
        font = fonts.for_text(text, fonts.example, fonts.latin_big)
        draw.text((x, baseline), text.replace(ZWJ, ""), font=font, fill=BLUE, anchor="ls")
    image.save(path, optimize=True)


def facts_text(stem, facts, examples):
    """The chart as text: one line a key (key, alone, sign, side), then the examples."""
    lines = [f"[{stem}]"]
    for key, (alone, sign, side) in facts.items():
        if alone or sign:
            lines.append(f"key {key!r} {alone!r} {sign!r} {side}".rstrip())
    lines += [f"typed {keys!r} {text!r}" for keys, text in examples]
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    if not features.check("raqm"):
        raise SystemExit("charts: Pillow lacks raqm; install libraqm0 so that Tamil is shaped")
    virel_type, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    text = []
    for stem, keyboard, consonant, vowel, example_keys in LAYOUTS:
        facts, examples = layout_facts(virel_type, keyboard, consonant, vowel, example_keys)
        draw_chart(facts, examples, os.path.join(out, f"chart-{stem}.png"))
        text.append(facts_text(stem, facts, examples))
    with open(os.path.join(out, "charts.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(text))


if __name__ == "__main__":
    main()
