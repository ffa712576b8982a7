#!/usr/bin/python3
"""`make dist`: what a Windows user gets, made from the builds in BUILD (default build/):

    BUILD/dist/VirelSetup-5.0.exe        the installer (NSIS)
    BUILD/dist/Virel-5.0-portable.zip    both builds, the manuals and a short README
    BUILD/dist/Virel-Manual-English.pdf  the manuals, with charts drawn from the engine just built
    BUILD/dist/Virel-Manual-Tamil.pdf

Intermediate files (stripped programs, charts, HTML) go to BUILD/dist-work/.
"""
import os
import shutil
import subprocess
import sys
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOCS = os.path.join(REPO, "docs")
PROGRAMS = [("win64", "x86_64-w64-mingw32-strip", ["Virel64.exe", "VirelEgn64.dll"]),
            ("win32", "i686-w64-mingw32-strip", ["Virel32.exe", "VirelEgn32.dll"])]
MANUALS = [("en.md", "Virel-Manual-English.pdf"), ("ta.md", "Virel-Manual-Tamil.pdf")]
CONVERTER = "virelconv.exe"
CHARTS = ["chart-phonetic.png", "chart-tamil99.png", "chart-new-typewriter.png", "chart-old-typewriter.png"]
SETUP = "VirelSetup-5.0.exe"
PORTABLE = "Virel-5.0-portable.zip"


def run(*argv):
    subprocess.run(argv, check=True)


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
