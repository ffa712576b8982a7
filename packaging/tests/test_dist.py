#!/usr/bin/env python3
"""What `make dist` made (in $VIREL_BUILD/dist, default ./build/dist): the manuals' pages,
headings and pictures, the portable zip's files, and the README's charts against the engine.
Prints one line per check; exits 0 when all passed."""
import os
import re
import struct
import subprocess
import sys
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
DIST = os.path.join(BUILD, "dist")
IMAGES = os.path.join(BUILD, "dist-work", "images")  # the charts drawn from this build's engine
MANUALS = {"Virel-Manual-English.pdf": "en.md", "Virel-Manual-Tamil.pdf": "ta.md"}
PAGES = range(4, 13)
PORTABLE = {"Virel-5.0/" + name for name in (
    "Virel64.exe", "VirelEgn64.dll", "Virel32.exe", "VirelEgn32.dll", "README.txt",
    "Virel-Manual-English.pdf", "Virel-Manual-Tamil.pdf", "TSCVirel.ttf", "TSCVirel-Licence.txt")}


def tool(*argv):
    return subprocess.run(argv, capture_output=True, check=True).stdout.decode("utf-8")


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


def main():
    if not os.path.isdir(IMAGES):
        print(f"FAIL: {DIST} is not made: run `make dist`")
        return 1
    checks = [(f"manual {n}", lambda n=n, s=s: check_manual(n, s)) for n, s in MANUALS.items()]
    checks += [("portable zip", check_portable), ("installer", check_installer),
               ("README charts", check_readme_charts)]
    failed = 0
    for name, check in checks:
        try:
            print(f"PASS {name}: {check()}")
        except (AssertionError, OSError, subprocess.CalledProcessError) as error:
            failed += 1
            print(f"FAIL {name}: {error}")
    print(f"{len(checks) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
