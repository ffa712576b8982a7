#!/usr/bin/python3
"""Makes a manual as PDF from its Markdown source, with WeasyPrint (Pango shapes the Tamil):

    /usr/bin/python3 docs/manual.py SOURCE.md IMAGES_DIR OUTPUT.pdf

Images named in the source are taken from IMAGES_DIR (the charts and the pictures of the
settings window). The language of the page follows the source's file name: ta.md is Tamil.
Needs python3-markdown, weasyprint, fonts-lohit-taml and fonts-dejavu-core.
"""
import html
import os
import re
import subprocess
import sys

import markdown

HERE = os.path.dirname(os.path.abspath(__file__))
BANNER = os.path.join(os.path.dirname(HERE), "tray", "art", "banner.bmp")

FOOTER = {"en": "Virel Tamil Software 5.0 — Manual", "ta": "விரெல் தமிழ்ச் செயலி 5.0 — கையேடு"}


def page(body, lang, title):
    return f"""<!DOCTYPE html>
<html lang="{lang}"><head><meta charset="utf-8"><title>{html.escape(title)}</title>
<link rel="stylesheet" href="file://{HERE}/manual/manual.css">
<style>@page {{ @bottom-left {{ content: "{FOOTER[lang]}"; }} }}</style>
</head><body class="{lang}">
<img class="banner" src="file://{BANNER}" alt="">
{body}
</body></html>
"""


def keep_together(body):
    """Each third-level section (a layout with its chart, say) in a block that the pages do not
    split, so that a heading never stands apart from its text and picture."""
    parts = re.split(r"(?=<h[23][ >])", body)
    return "".join(f'<section class="keep">{part}</section>' if part.startswith("<h3") else part
                   for part in parts)


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    source, images, output = sys.argv[1:]
    lang = "ta" if os.path.basename(source).startswith("ta") else "en"
    with open(source, encoding="utf-8") as f:
        text = f.read()
    title = text.splitlines()[0].lstrip("# ")
    body = keep_together(markdown.markdown(text, extensions=["sane_lists"]))
    body = body.replace(" \u2192 ", "\u00a0\u2192\u00a0")  # keys → text, never split over lines
    html_path = os.path.splitext(output)[0] + ".html"
    with open(html_path, "w", encoding="utf-8") as f:
        f.write(page(body, lang, title))
    subprocess.run(["weasyprint", "--quiet", "--base-url", os.path.abspath(images) + "/",
                    html_path, output], check=True)


if __name__ == "__main__":
    main()
