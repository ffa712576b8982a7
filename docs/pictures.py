#!/usr/bin/env python3
"""Pictures of the real Virel64's settings window under Wine, with English and with Tamil
captions, for the README and the manuals:

    VIREL_BUILD=build python3 docs/pictures.py OUTPUT_DIR

Writes settings-english.png and settings-tamil.png. The Tamil captions are drawn with a TSCII font
of fonts-taml-tscu standing in for the face the program asks for (as `make run` does).
"""
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tray", "e2e"))

from demo import picture  # noqa: E402
from traywine import TrayWine, WineSession  # noqa: E402


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "docs", "images"))
    os.makedirs(out, exist_ok=True)
    with WineSession(screen="800x600x24") as session:
        wine = TrayWine(session)
        for lang, name in ((0, "english"), (1, "tamil")):
            wine.store(displayLang=lang)
            tray = wine.start_tray(64)
            path = picture(session, os.path.join(session.workdir, f"settings-{name}.png"),
                           tray.dump()["rect"])
            os.replace(path, os.path.join(out, f"settings-{name}.png"))
            tray.exit()
    print(f"pictures of the settings window in {out}")


if __name__ == "__main__":
    main()
