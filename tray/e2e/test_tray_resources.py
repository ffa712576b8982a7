#!/usr/bin/env python3
"""What the linker and the resource compiler made of Virel64.exe and Virel32.exe: the dialog
template, string table, icon group, banner bitmap, manifest, language, subsystem and imports.

Reads the executables' PE files directly, so it covers both builds on any machine. Run from the
repository root with VIREL_BUILD set (default ./build). Prints one line per case and build.
"""

import os
import struct
import sys

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "engine", "e2e"))

from caserun import expect, run_cases  # noqa: E402

BUILD = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")

RT_ICON, RT_BITMAP, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 5, 6, 14, 16, 24
LANG_EN_US = 0x409

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x40000000, 0x10000000, 0xC00000, 0x80000
WS_VSCROLL, WS_GROUP, WS_TABSTOP, WS_MINIMIZEBOX = 0x200000, 0x20000, 0x10000, 0x20000
DS_SETFONT, DS_MODALFRAME, DS_FIXEDSYS, DS_CENTER = 0x40, 0x80, 0x8, 0x800
BS_FLAT, BS_AUTOCHECKBOX, CBS_DROPDOWN, SS_BITMAP, SS_PATHELLIPSIS = 0x8000, 0x3, 0x2, 0xE, 0x8000
BUTTON, STATIC, COMBOBOX = 0x80, 0x82, 0x85  # predefined class ordinals
CHILD = WS_CHILD | WS_VISIBLE

# (id, class, caption or ordinal, style, x, y, cx, cy) in template order, which is the tab order;
# each list right after its label, which names it.
CONTROLS = [
    (1006, STATIC, "Encoding:", CHILD | SS_PATHELLIPSIS | WS_GROUP, 4, 53, 60, 8),
    (1000, COMBOBOX, "", CHILD | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 75, 50, 88, 65),
    (1007, STATIC, "Keyboard:", CHILD | SS_PATHELLIPSIS | WS_GROUP, 4, 79, 60, 8),
    (1001, COMBOBOX, "", CHILD | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 75, 76, 88, 55),
    (0xFFFFFFFF, STATIC, "ALT + ", CHILD | WS_GROUP, 96, 105, 22, 8),
    (1009, STATIC, "Toggle Key:", CHILD | SS_PATHELLIPSIS | WS_GROUP, 4, 106, 60, 8),
    (1003, COMBOBOX, "", CHILD | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 126, 102, 37, 72),
    (1005, BUTTON, "Tamil Display", CHILD | BS_AUTOCHECKBOX | BS_FLAT | WS_GROUP | WS_TABSTOP, 201, 52, 83, 8),
    (1016, BUTTON, "Virel Help", CHILD | BS_FLAT | WS_GROUP | WS_TABSTOP, 201, 75, 83, 14),
    (1017, BUTTON, "Stop", CHILD | BS_FLAT | WS_TABSTOP, 201, 100, 83, 14),
    (0xFFFFFFFF, STATIC, 109, CHILD | SS_BITMAP, 0, 0, 291, 58),
]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"}


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        expect(self.data[pe:pe + 4], b"PE\0\0", "PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.imports_rva = struct.unpack_from("<I", self.data, directories + 8)[0]
        self.resources_rva = struct.unpack_from("<I", self.data, directories + 16)[0]
        self.sections = []
        for i in range(sections):
            header = optional + optional_size + 40 * i
            size, rva, raw_size, raw = struct.unpack_from("<IIII", self.data, header + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise AssertionError(f"RVA {rva:#x} in no section")

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def imports(self):
        names, at = [], self.offset(self.imports_rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if name_rva == 0:
                return names
            names.append(self.c_string(name_rva))
            at += 20

    def resources(self):
        """{(type, name): {language: bytes}} for resources with numeric type and name."""
        base = self.offset(self.resources_rva)

        def entries(at):
            named, numbered = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                yield name, target

        out = {}
        for kind, kinds in entries(0):
            for name, names in entries(kinds & 0x7FFFFFFF):
                for language, leaf in entries(names & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    out.setdefault((kind, name), {})[language] = self.data[start:start + size]
        return out


class Reader:
    """Reads a dialog template: words, dwords, sz-or-ordinal fields, DWORD alignment."""

    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def text_or_ordinal(self):
        if self.data[self.at:self.at + 2] == b"\xff\xff":
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def only_english(resources, key, what):
    languages = resources.get(key)
    if not languages:
        raise AssertionError(f"{what} is missing")
    expect(list(languages), [LANG_EN_US], f"{what}: languages")
    return languages[LANG_EN_US]


def dialog_template(pe, bits):
    template = Reader(only_english(pe.resources(), (RT_DIALOG, 101), "dialog 101"))
    version, signature, help_id, ex_style, style, count, x, y, cx, cy = template.take("HHIIIHhhhh")
    expect((version, signature, help_id, ex_style), (1, 0xFFFF, 0, 0), "DLGTEMPLATEEX header")
    expect(style, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER |
           DS_SETFONT | DS_FIXEDSYS, "dialog style")
    expect((count, x, y, cx, cy), (len(CONTROLS), 0, 0, 291, 121), "controls, position and size")
    expect(template.text_or_ordinal(), "", "menu")
    expect(template.text_or_ordinal(), "VirelClass", "class")
    expect(template.text(), "Virel Tamil Software - Ver 5.0", "caption")
    expect(template.take("HHBB"), (8, 0, 0, 1), "font size, weight, italic, character set")
    expect(template.text(), "Ms Shell Dlg", "font face")
    for n, (control_id, kind, caption, control_style, *rect) in enumerate(CONTROLS):
        template.align()
        help_id, ex_style, style, x, y, cx, cy, item_id = template.take("IIIhhhhI")
        what = f"control {n + 1} ({control_id & 0xFFFF})"
        expect((item_id, help_id, ex_style), (control_id, 0, 0), f"{what}: id, help id, extended style")
        expect(style, control_style, f"{what}: style")
        expect([x, y, cx, cy], rect, f"{what}: x, y, width, height")
        expect(template.text_or_ordinal(), kind, f"{what}: class")
        expect(template.text_or_ordinal(), caption, f"{what}: caption")
        expect(template.take("H"), 0, f"{what}: creation data")


# The program's icon, and the notification area's for Tamil on and off, at the sizes it draws.
ICON_GROUPS = [(107, (16, 32, 48)), (110, (16, 20, 24, 32)), (111, (16, 20, 24, 32))]


def icon_images(resources, group_id):
    """(width, height, bits a pixel, the image's bytes) of each image of an icon group."""
    group = only_english(resources, (RT_GROUP_ICON, group_id), f"icon group {group_id}")
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    expect(kind, 1, f"icon group {group_id} type")
    for i in range(count):
        width, height, _, _, _, bit_count, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = only_english(resources, (RT_ICON, icon_id), f"icon image {icon_id}")
        expect(len(image), size, f"icon image {icon_id} size")
        yield width, height, bit_count, image


def masked_colours(image, width, height, bit_count):
    """The colours (4 bytes: blue, green, red, then alpha or 0) of the pixels whose mask bit is set.
    Windows draws an icon as background AND mask, then XOR colour: under a set bit only colour 0
    leaves the background as it is."""
    palette_size = 4 * 256 if bit_count == 8 else 0
    pixels = 40 + palette_size
    stride = (width * bit_count + 31) // 32 * 4
    mask = pixels + stride * height
    mask_stride = (width + 31) // 32 * 4
    colours = set()
    for y in range(height):
        for x in range(width):
            if not image[mask + y * mask_stride + x // 8] & (0x80 >> (x % 8)):
                continue
            if bit_count == 8:
                index = image[pixels + y * stride + x]
                colours.add(image[40 + 4 * index:44 + 4 * index])
            else:
                colours.add(image[pixels + y * stride + 4 * x:pixels + y * stride + 4 * x + 4])
    return colours


def strings_icon_bitmap_manifest(pe, bits):
    resources = pe.resources()
    block = only_english(resources, (RT_STRING, 200 // 16 + 1), "string block of 200")
    strings, at = [], 0
    for _ in range(16):
        length = struct.unpack_from("<H", block, at)[0]
        strings.append(block[at + 2:at + 2 + 2 * length].decode("utf-16-le"))
        at += 2 + 2 * length
    expect((strings[200 % 16], strings[203 % 16]), ("VirelClass", "Virel"), "strings 200 and 203")

    for group_id, sizes in ICON_GROUPS:
        images = set()
        for width, height, bit_count, image in icon_images(resources, group_id):
            header = struct.unpack_from("<IiiHH", image, 0)
            expect((header[0], header[1], header[2], header[4]), (40, width, 2 * height, bit_count),
                   f"icon {group_id}, image {width}x{height}x{bit_count}: header")
            masked = masked_colours(image, width, height, bit_count)
            expect(masked - {b"\0" * 4}, set(), f"icon {group_id}, image {width}x{height}x{bit_count}: "
                   "colours under the mask (must be 0, or they change the background)")
            images.add((width, height, bit_count))
        expect(images, {(s, s, b) for s in sizes for b in (8, 32)}, f"icon {group_id}: images")

    bitmap = only_english(resources, (RT_BITMAP, 109), "bitmap 109")
    size, width, height, planes, bit_count, compression = struct.unpack_from("<IiiHHI", bitmap, 0)
    expect((size, width, abs(height), bit_count, compression), (40, 440, 66, 24, 0), "banner header")
    expect(len(bitmap), 40 + 440 * 3 * 66, "banner size with its header")

    manifest = only_english(resources, (RT_MANIFEST, 1), "manifest 1").decode("utf-8")
    for needle in ('level="asInvoker"', 'uiAccess="false"', '>true</dpiAware>',
                   'xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings"', 'name="Microsoft.Windows.Common-Controls"',
                   'version="6.0.0.0"', 'type="win32"', 'processorArchitecture="*"',
                   'publicKeyToken="6595b64144ccf1df"', 'language="*"'):
        if needle not in manifest:
            raise AssertionError(f"manifest lacks {needle}")
    if any(kind == RT_VERSION for kind, _ in resources):
        raise AssertionError("a version resource is present")


def program_kind_and_imports(pe, bits):
    expect(pe.machine, 0x8664 if bits == 64 else 0x14C, "machine")
    expect(pe.subsystem, 2, "subsystem (GUI)")
    imports = [name.lower() for name in pe.imports()]
    expect(imports.count(f"virelegn{bits}.dll"), 1, f"import of VirelEgn{bits}.dll")
    others = set(imports) - SYSTEM_DLLS - {f"virelegn{bits}.dll"}
    expect(others, set(), "imports that are not Windows system libraries")


CASES = [
    ("dialog template IDD_MAIN", dialog_template),
    ("strings, icon group, banner and manifest", strings_icon_bitmap_manifest),
    ("GUI program importing its engine and system libraries only", program_kind_and_imports),
]


def executable(_, bits):
    path = os.path.join(BUILD, f"win{bits}", f"Virel{bits}.exe")
    if not os.path.exists(path):
        raise AssertionError(f"{path} does not exist (not built?)")
    return PeFile(path)


if __name__ == "__main__":
    sys.exit(run_cases("tray resources", CASES, executable, wine=False))
