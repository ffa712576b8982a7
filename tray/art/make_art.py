#!/usr/bin/python3
"""Draws the tray program's artwork from Debian's Lohit Tamil font: the program's icon
(virel.ico), the notification-area icons for Tamil on and off (tamil.ico, english.ico) and the
banner (banner.bmp). The outputs are committed; run this only to change the artwork:

    /usr/bin/python3 tray/art/make_art.py

Needs python3-pil with libraqm0 (Tamil shaping), fonts-lohit-taml and fonts-dejavu-core (the
Latin A, which Lohit Tamil lacks).
"""
import io
import os
import struct

from PIL import Image, ImageDraw, ImageFont, features

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/lohit-tamil/Lohit-Tamil.ttf"
LATIN_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

BLUE = (0x1f, 0x4e, 0xb4)
ORANGE = (0xf0, 0x7d, 0x00)
WHITE = (0xff, 0xff, 0xff)
GREY = (0x6e, 0x6e, 0x6e)
BLACK = (0, 0, 0)

# (file, letter, its font, ground, sizes): the program's icon, then the notification area's two,
# at the sizes it asks for (16 at 96 dots an inch, up to 32 at 192).
ICONS = [
    ("virel.ico", "வ", FONT, BLUE, (16, 32, 48)),  # va, the first sound of Virel, a single stroke
    ("tamil.ico", "அ", FONT, BLUE, (16, 20, 24, 32)),  # Tamil on: a, the first letter
    ("english.ico", "A", LATIN_FONT, GREY, (16, 20, 24, 32)),  # Tamil off
]
PRODUCT = "விரெல்"
SOFTWARE = "தமிழ்ச் செயலி"
RELEASE = "இலவச வெளியீடு"


def font(size, path=FONT):
    return ImageFont.truetype(path, size, layout_engine=ImageFont.Layout.RAQM)


def icon_image(size, letter, letter_font_path, ground):
    """RGBA: a white letter on a square with rounded corners, drawn large and scaled down."""
    scale = 8
    big = size * scale
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, big - 1, big - 1), radius=big // 5, fill=ground + (255,))
    letter_font = font(int(big * 0.78), letter_font_path)
    left, top, right, bottom = draw.textbbox((0, 0), letter, font=letter_font)
    scale_down = min(1.0, big * 0.8 / max(right - left, bottom - top))
    if scale_down < 1.0:  # a wide letter: smaller, so that it keeps a margin
        letter_font = font(int(big * 0.78 * scale_down), letter_font_path)
        left, top, right, bottom = draw.textbbox((0, 0), letter, font=letter_font)
    x = (big - (right - left)) / 2 - left
    y = (big - (bottom - top)) / 2 - top
    draw.text((x, y), letter, font=letter_font, fill=WHITE + (255,), stroke_width=big // 24,
              stroke_fill=WHITE + (255,))
    return image.resize((size, size), Image.LANCZOS)


def and_mask(image, threshold):
    """1 bit a pixel, rows padded to 32 bits, bottom-up: set where alpha is below threshold."""
    width, height = image.size
    row_bytes = ((width + 31) // 32) * 4
    alpha = image.getchannel("A").load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            if alpha[x, y] < threshold:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def dib_header(width, height, bits, colours):
    image_bytes = ((width * bits + 31) // 32) * 4 * height + ((width + 31) // 32) * 4 * height
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


def icon_dib_32(image):
    """Alpha does the drawing; the mask covers only what is wholly transparent, and those
    pixels are 0, so that drawing through the mask leaves the background as it is."""
    width, height = image.size
    pixels = image.load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixels[x, y]
            row += bytes((b, g, r, a)) if a else bytes(4)
        rows.append(bytes(row))
    return dib_header(width, height, 32, 0) + b"".join(rows) + and_mask(image, 1)


def icon_dib_8(image):
    """No alpha: a pixel is drawn when it is at least half opaque, in its own colour (not blended
    with any ground, so that no light fringe shows on a dark taskbar); the others are masked and
    take colour 0, black, which the screen ORs with the background without changing it."""
    width, height = image.size
    alpha = image.getchannel("A").load()
    shown = image.convert("RGB")
    indexed = shown.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = list(BLACK) + indexed.getpalette()[: 255 * 3]
    palette += [0] * (256 * 3 - len(palette))
    colour_table = b"".join(bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(256))
    row_bytes = ((width + 3) // 4) * 4
    index = indexed.load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            row[x] = index[x, y] + 1 if alpha[x, y] >= 128 else 0
        rows.append(bytes(row))
    return dib_header(width, height, 8, 256) + colour_table + b"".join(rows) + and_mask(image, 128)


def write_icon(path, letter, letter_font_path, ground, sizes):
    images = []
    for bits in (8, 32):
        for size in sizes:
            rgba = icon_image(size, letter, letter_font_path, ground)
            images.append((size, bits, icon_dib_8(rgba) if bits == 8 else icon_dib_32(rgba)))
    out = io.BytesIO()
    out.write(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset))
        offset += len(data)
    for _, _, data in images:
        out.write(data)
    with open(path, "wb") as f:
        f.write(out.getvalue())


def write_banner(path):
    """440 x 66, 24 bits a pixel, uncompressed: the name and what it is in blue, and below it,
    to the right, a smaller orange line. Drawn four times as large and scaled down, so that
    small Tamil letters keep their shapes."""
    scale = 4
    image = Image.new("RGB", (440 * scale, 66 * scale), WHITE)
    draw = ImageDraw.Draw(image)
    name_font = font(32 * scale)
    line_font = font(22 * scale)
    small_font = font(14 * scale)
    x = 12 * scale
    draw.text((x, 2 * scale), PRODUCT, font=name_font, fill=BLUE, stroke_width=scale // 2, stroke_fill=BLUE)
    x = draw.textbbox((x, 2 * scale), PRODUCT, font=name_font)[2] + 14 * scale
    draw.text((x, 11 * scale), SOFTWARE, font=line_font, fill=BLUE)
    width = draw.textlength(RELEASE, font=small_font)
    draw.text((426 * scale - width, 42 * scale), RELEASE, font=small_font, fill=ORANGE)
    image.resize((440, 66), Image.LANCZOS).save(path, format="BMP")


def main():
    if not features.check("raqm"):
        raise SystemExit("make_art: Pillow lacks raqm; install libraqm0 so that Tamil is shaped")
    for name, letter, letter_font_path, ground, sizes in ICONS:
        write_icon(os.path.join(HERE, name), letter, letter_font_path, ground, sizes)
    write_banner(os.path.join(HERE, "banner.bmp"))


if __name__ == "__main__":
    main()
