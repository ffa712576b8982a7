#!/usr/bin/python3
"""Draws the tray program's icon (virel.ico) and banner (banner.bmp) from Debian's Lohit Tamil
font. The outputs are committed; run this only to change the artwork:

    /usr/bin/python3 tray/art/make_art.py

Needs python3-pil with libraqm0 (Tamil shaping) and fonts-lohit-taml.
"""
import io
import os
import struct

from PIL import Image, ImageDraw, ImageFont, features

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/lohit-tamil/Lohit-Tamil.ttf"

BLUE = (0x1f, 0x4e, 0xb4)
ORANGE = (0xf0, 0x7d, 0x00)
WHITE = (0xff, 0xff, 0xff)

ICON_LETTER = "வ"  # va, the first sound of Virel, a single stroke
PRODUCT = "விரெல்"
SOFTWARE = "தமிழ்ச் செயலி"
RELEASE = "இலவச வெளியீடு"


def font(size):
    return ImageFont.truetype(FONT, size, layout_engine=ImageFont.Layout.RAQM)


def icon_image(size):
    """RGBA: a white letter on a blue square with rounded corners, drawn large and scaled down."""
    scale = 8
    big = size * scale
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, big - 1, big - 1), radius=big // 5, fill=BLUE + (255,))
    letter_font = font(int(big * 0.78))
    left, top, right, bottom = draw.textbbox((0, 0), ICON_LETTER, font=letter_font)
    x = (big - (right - left)) / 2 - left
    y = (big - (bottom - top)) / 2 - top
    draw.text((x, y), ICON_LETTER, font=letter_font, fill=WHITE + (255,), stroke_width=big // 24,
              stroke_fill=WHITE + (255,))
    return image.resize((size, size), Image.LANCZOS)


def and_mask(image):
    """1 bit a pixel, rows padded to 32 bits, bottom-up: set where the pixel is transparent."""
    width, height = image.size
    row_bytes = ((width + 31) // 32) * 4
    alpha = image.getchannel("A").load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            if alpha[x, y] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def dib_header(width, height, bits, colours):
    image_bytes = ((width * bits + 31) // 32) * 4 * height + ((width + 31) // 32) * 4 * height
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


def icon_dib_32(image):
    width, height = image.size
    pixels = image.load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixels[x, y]
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    return dib_header(width, height, 32, 0) + b"".join(rows) + and_mask(image)


def icon_dib_8(image):
    width, height = image.size
    opaque = Image.new("RGB", image.size, WHITE)
    opaque.paste(image, mask=image.getchannel("A"))
    indexed = opaque.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[: 256 * 3]
    palette += [0] * (256 * 3 - len(palette))
    colour_table = b"".join(bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(256))
    row_bytes = ((width + 3) // 4) * 4
    index = indexed.load()
    alpha = image.getchannel("A").load()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            row[x] = index[x, y] if alpha[x, y] >= 128 else 0
        rows.append(bytes(row))
    return dib_header(width, height, 8, 256) + colour_table + b"".join(rows) + and_mask(image)


def write_icon(path):
    images = []
    for bits in (8, 32):
        for size in (16, 32, 48):
            rgba = icon_image(size)
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
    write_icon(os.path.join(HERE, "virel.ico"))
    write_banner(os.path.join(HERE, "banner.bmp"))


if __name__ == "__main__":
    main()
