#!/usr/bin/env python3
"""What `make dist` made (in $VIREL_BUILD/dist, default ./build/dist): the manuals' pages,
headings and pictures, every example of the manuals and the README's charts against the engine,
and the portable zip's files, and that the installer is a 32-bit, DPI-aware program. Prints one line
per check (engine/e2e/caserun.py)."""
import os
import re
import struct
import subprocess
import sys
import unicodedata
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "engine", "e2e"))

from caserun import run_cases  # noqa: E402

BUILD = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
DIST = os.path.join(BUILD, "dist")
IMAGES = os.path.join(BUILD, "dist-work", "images")  # the charts drawn from this build's engine
MANUALS = {"Virel-Manual-English.pdf": "en.md", "Virel-Manual-Tamil.pdf": "ta.md"}
PAGES = range(4, 13)
VIREL_TYPE = os.path.join(BUILD, "native", "virel_type")
# The manuals' sections of the layouts, by heading in either language; every other section's
# examples are typed on the Phonetic keyboard.
LAYOUT_HEADINGS = {"Phonetic": 0, "ஒலியியல்": 0, "Tamil99": 1, "தமிழ்99": 1,
                   "New Typewriter": 2, "புதிய தட்டச்சு": 2, "Old Typewriter": 3, "பழைய தட்டச்சு": 3}
# An example: `keys` → text, the text Tamil or, in backticks, what the keys type that is not;
# ␣ stands for a space.
EXAMPLE = re.compile(r"`([^`]+)` → (?:`([^`]+)`|([\u0B80-\u0BFF\u200D]+))")
ZWJ = "\u200D"
PORTABLE = {"Virel-5.0/" + name for name in (
    "Virel64.exe", "VirelEgn64.dll", "Virel32.exe", "VirelEgn32.dll", "README.txt",
    "Virel-Manual-English.pdf", "Virel-Manual-Tamil.pdf", "virelconv.exe", "chart-phonetic.png",
    "chart-tamil99.png", "chart-new-typewriter.png", "chart-old-typewriter.png", "TSCVirel.ttf",
    "TSCVirel-Licence.txt")}


def tool(*argv, stdin=""):
    return subprocess.run(argv, input=stdin.encode("utf-8"), capture_output=True,
                          check=True).stdout.decode("utf-8")


def headings(markdown):
    with open(os.path.join(REPO, "docs", "manual", markdown), encoding="utf-8") as f:
        return [line.lstrip("#").strip() for line in f if line.startswith("#")]


def outline(pdf):
    """The PDF's bookmarks: one a heading, as the reader's side panel shows them."""
    with open(pdf, "rb") as f:
        titles = re.findall(rb"/Title (?:<feff([0-9a-f]*)>|\(((?:[^()\\]|\\.)*)\))", f.read())
    return [bytes.fromhex(hex.decode()).decode("utf-16-be") if hex else
            re.sub(rb"\\(.)", rb"\1", literal).decode("latin-1") for hex, literal in titles]


def image_sizes(pdf):
    rows = tool("pdfimages", "-list", pdf).splitlines()[2:]
    return {(int(r.split()[3]), int(r.split()[4])) for r in rows}


def check_manual(name, source):
    pdf = os.path.join(DIST, name)
    pages = int(re.search(r"Pages:\s+(\d+)", tool("pdfinfo", pdf)).group(1))
    assert pages in PAGES, f"{pages} pages"
    wanted = headings(source)
    # The document's title comes twice: the document's own and its first heading.
    assert outline(pdf)[1:] == wanted, f"bookmarks {outline(pdf)[1:]} != headings {wanted}"
    if source == "en.md":
        # Tamil text is shaped into glyphs whose text the PDF maps only roughly (a vowel sign
        # drawn in two parts reads back as either part), so its headings are checked above.
        text = " ".join(tool("pdftotext", pdf, "-").split())
        missing = [h for h in wanted if h not in text]
        assert not missing, f"headings not in the text: {missing}"
    sizes = image_sizes(pdf)
    for image in sorted(os.listdir(IMAGES)):
        if image.endswith(".png"):
            with open(os.path.join(IMAGES, image), "rb") as f:
                size = struct.unpack(">II", f.read(24)[16:])  # the PNG header's width, height
            assert size in sizes, f"{image} {size} not among the pictures {sorted(sizes)}"
    return f"{pages} pages"


def examples(markdown):
    """A manual's examples as (keyboard, keys, text); an arrow outside the notation fails."""
    found, keyboard = [], 0
    with open(os.path.join(REPO, "docs", "manual", markdown), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#"):
                keyboard = LAYOUT_HEADINGS.get(line.lstrip("#").strip(), 0)
            matches = EXAMPLE.findall(line)
            assert line.count("→") == len(matches), f"{markdown}:{number} is not `keys` → text"
            found += [(keyboard, keys.replace("␣", " "), (code or tamil).replace("␣", " "))
                      for keys, code, tamil in matches]
    return found


def check_examples():
    """Both manuals give the same examples, and each is what the engine types, in Unicode."""
    english, tamil = set(examples("en.md")), set(examples("ta.md"))
    assert english == tamil, f"in one manual only: {sorted(english ^ tamil)}"
    wrong = []
    for keyboard in range(4):
        cases = sorted((keys, text) for k, keys, text in english if k == keyboard)
        lines = "".join(keys.replace("\\", "\\\\") + "\n" for keys, _ in cases)
        typed = tool(VIREL_TYPE, "0", str(keyboard), stdin=lines).split("\n")
        for (keys, text), got in zip(cases, typed):
            # The typewriters write ொ and ோ in their two parts, which are the same letter.
            if unicodedata.normalize("NFC", got.replace(ZWJ, "")) != unicodedata.normalize("NFC", text):
                wrong.append(f"keyboard {keyboard}: `{keys}` types {got!r}, not {text!r}")
    assert not wrong, "; ".join(wrong)
    return f"{len(english)} typed"


def check_portable():
    with zipfile.ZipFile(os.path.join(DIST, "Virel-5.0-portable.zip")) as z:
        names = set(z.namelist())
    assert names == PORTABLE, f"{sorted(names ^ PORTABLE)} differ"
    return f"{len(names)} files"


def check_installer():
    """The shipped installer runs on both kinds of Windows and draws sharply at any scale."""
    with open(os.path.join(DIST, "VirelSetup-5.0.exe"), "rb") as f:
        data = f.read()
    machine = struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]
    assert machine == 0x14C, f"machine {machine:#x}, not a 32-bit program"
    assert re.search(rb"<dpiAware[^>]*>true</dpiAware>", data), "no dpiAware in its manifest"
    return "32-bit, DPI-aware"


def check_readme_charts():
    def facts(folder):
        with open(os.path.join(folder, "charts.txt"), encoding="utf-8") as f:
            return f.read()
    assert facts(os.path.join(REPO, "docs", "images")) == facts(IMAGES), \
        "docs/images shows keys that the engine no longer types: run `make charts`"
    return "same as the engine's"


CASES = ([(f"manual {name}", lambda *_, n=name, s=source: check_manual(n, s))
          for name, source in MANUALS.items()] +
         [("manual examples", lambda *_: check_examples()),
          ("portable zip", lambda *_: check_portable()),
          ("installer", lambda *_: check_installer()),
          ("README charts", lambda *_: check_readme_charts())])

if __name__ == "__main__":
    if not os.path.isdir(IMAGES):
        sys.exit(f"FAIL: {DIST} is not made: run `make dist`")
    sys.exit(run_cases("dist", CASES, builds=(None,), wine=False))
