#!/usr/bin/python3
"""`make dist`: what a Windows user gets, made from the builds in BUILD (default build/):

    BUILD/dist/VirelSetup-5.0.exe        the installer (NSIS)
    BUILD/dist/Virel-5.0-portable.zip    both builds, the manuals, the font and a short README
    BUILD/dist/Virel-Manual-English.pdf  the manuals, with charts drawn from the engine just built
    BUILD/dist/Virel-Manual-Tamil.pdf

Intermediate files (stripped programs, charts, HTML) go to BUILD/dist-work/.
"""
import os
import shutil
import subprocess
import sys
import zipfile

from fontTools.ttLib import TTFont  # Debian's python3-fonttools

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOCS = os.path.join(REPO, "docs")
PROGRAMS = [("win64", "x86_64-w64-mingw32-strip", ["Virel64.exe", "VirelEgn64.dll"]),
            ("win32", "i686-w64-mingw32-strip", ["Virel32.exe", "VirelEgn32.dll"])]
MANUALS = [("en.md", "Virel-Manual-English.pdf"), ("ta.md", "Virel-Manual-Tamil.pdf")]
CONVERTER = "virelconv.exe"
CHARTS = ["chart-phonetic.png", "chart-tamil99.png", "chart-new-typewriter.png", "chart-old-typewriter.png"]
SETUP = "VirelSetup-5.0.exe"
PORTABLE = "Virel-5.0-portable.zip"
# The settings window asks for a TSCII font named "TSCVirel": TSCu_Paranar (fonts-taml-tscu, GPL 2)
# under that name, with its licence beside it.
FONT_SOURCE = "/usr/share/fonts/truetype/fonts-taml-tscu/TSCu_Paranar.ttf"
FONT, FONT_LICENCE = "TSCVirel.ttf", "TSCVirel-Licence.txt"
FACE = "TSCVirel"


def run(*argv):
    subprocess.run(argv, check=True)


def make_font(stage):
    """TSCu_Paranar renamed TSCVirel. A program draws TSCII bytes through the ANSI code page 1252,
    which turns 0x80, 0x8E and 0x9E into U+20AC, U+017D and U+017E: those get the glyphs the font
    has for the bytes themselves, and the font says that it serves code page 1252."""
    font = TTFont(FONT_SOURCE, recalcTimestamp=False)
    for record in font["name"].names:
        if record.nameID in (1, 4, 6):  # family, full name, PostScript name
            record.string = FACE
        elif record.nameID == 3:  # unique identifier
            record.string = f"{FACE}: TSCu_Paranar 1.0 renamed for Virel 5.0"
        elif record.nameID == 10:  # description: what was changed, and when
            record.string = (record.toUnicode().rstrip(".") + f"; renamed {FACE}, with code page 1252 "
                             "mappings, for Virel 5.0, December 2026.")
    for table in font["cmap"].tables:
        if table.isUnicode():
            for byte in range(0x80, 0xA0):
                try:
                    ansi = ord(bytes([byte]).decode("cp1252"))
                except UnicodeDecodeError:
                    continue  # Windows maps the byte to its own C1 code point
                if ansi not in table.cmap and byte in table.cmap:
                    table.cmap[ansi] = table.cmap[byte]
    os2 = font["OS/2"]
    if os2.version < 1:
        os2.version, os2.ulCodePageRange1, os2.ulCodePageRange2 = 1, 0, 0
    os2.ulCodePageRange1 |= 1  # Latin 1 (1252)
    font.save(os.path.join(stage, FONT))

    with open("/usr/share/common-licenses/GPL-2", encoding="utf-8") as f:
        gpl = f.read()
    notice = (f"{FONT}: the TSCII font that shows Virel's Tamil captions, and a font for TSCII text.\n\n"
              "It is TSCu_Paranar.ttf of Debian's package fonts-taml-tscu,\n"
              "Copyright (c) R. Kalaimani, Sep 1998. Released under the GNU GPL, Dec. 2002.\n"
              "OpenType tables added by T. Vaseeharan, Nov. 2002. (Its licence field still reads\n"
              "\"Not for commercial use\", from its first release; Virel is given away free.)\n\n"
              "Changed for Virel 5.0 (Orvane), December 2026: the family, full, PostScript and\n"
              f"unique names are {FACE}; the characters that code page 1252 gives the bytes 0x80,\n"
              "0x8E and 0x9E show the glyphs the font has for those bytes; the font declares code\n"
              "page 1252. The font file is its own source: a font editor opens it as it is.\n\n"
              "It is free software under the GNU General Public License, version 2:\n\n")
    with open(os.path.join(stage, FONT_LICENCE), "w", encoding="utf-8", newline="\r\n") as f:
        f.write(notice + gpl)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build"))
    dist = os.path.join(build, "dist")
    work = os.path.join(build, "dist-work")
    stage = os.path.join(work, "stage")
    images = os.path.join(work, "images")
    for folder in (dist, work):
        shutil.rmtree(folder, ignore_errors=True)
    for folder in (dist, stage, images):
        os.makedirs(folder)

    # Programs without their symbols: the engine is loaded into every process.
    for folder, strip, names in PROGRAMS:
        for name in names:
            run(strip, "--strip-all", "-o", os.path.join(stage, name),
                os.path.join(build, folder, name))

    make_font(stage)

    # virelconv: the 32-bit build, which runs on every Windows.
    run("i686-w64-mingw32-strip", "--strip-all", "-o", os.path.join(stage, CONVERTER),
        os.path.join(build, "win32", CONVERTER))

    # The charts come from the engine of this build (the menu's "Keyboard chart" opens them
    # beside the program); the pictures of the window are committed.
    run(sys.executable, os.path.join(DOCS, "charts.py"),
        os.path.join(build, "native", "virel_type"), images)
    for name in CHARTS:
        shutil.copy(os.path.join(images, name), os.path.join(stage, name))
    for name in ("settings-english.png", "settings-tamil.png"):
        shutil.copy(os.path.join(DOCS, "images", name), images)
    for source, pdf in MANUALS:
        run(sys.executable, os.path.join(DOCS, "manual.py"),
            os.path.join(DOCS, "manual", source), images, os.path.join(work, pdf))
        shutil.copy(os.path.join(work, pdf), os.path.join(stage, pdf))
        shutil.copy(os.path.join(work, pdf), os.path.join(dist, pdf))

    with zipfile.ZipFile(os.path.join(dist, PORTABLE), "w", zipfile.ZIP_DEFLATED) as z:
        for name in sorted(os.listdir(stage)):
            z.write(os.path.join(stage, name), f"Virel-5.0/{name}")
        # For Notepad: CRLF lines, and a byte-order mark that says UTF-8.
        with open(os.path.join(REPO, "packaging", "README-portable.txt"), encoding="utf-8") as f:
            readme = f.read().replace("\n", "\r\n")
        z.writestr("Virel-5.0/README.txt", readme.encode("utf-8-sig"))

    run("makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DSTAGE={stage}",
        f"-DOUTFILE={os.path.join(dist, SETUP)}", os.path.join(REPO, "packaging", "virel.nsi"))
    for name in sorted(os.listdir(dist)):
        print(f"dist: {name} ({os.path.getsize(os.path.join(dist, name)):,} bytes)")


if __name__ == "__main__":
    main()
