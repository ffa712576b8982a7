"""The tray program under Wine: starting Virel64/Virel32, looking at its window through the probe
(trayprobeNN.exe), its registry key, its notification icon, and stand-in processes.

Builds on engine/e2e/winehost.py (private display, prefix, wineserver, X input, screenshots); the
scripts run their cases with engine/e2e/caserun.py and this module's setup.
"""

import functools
import json
import os
import shutil
import struct
import subprocess
import sys
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "engine", "e2e"))

from caserun import Skip, expect, run_cases  # noqa: E402,F401
from winehost import (WINE32, WINE64, E2EError, WineSession, WinProgram,  # noqa: E402,F401
                      png, wait_for, winpath)

SETTINGS_KEY = r"HKCU\Software\Orvane\Virel\5.0"
TITLE = {64: "Virel Tamil Software (64 bit) - Ver 5.0", 32: "Virel Tamil Software (32 bit) - Ver 5.0"}
EXE = {64: "Virel64.exe", 32: "Virel32.exe"}
OTHER_EXE = {64: "Virel32.exe", 32: "Virel64.exe"}
RESTART_TEXT = b"Restart Virel Tamil Software to apply changes."

IDC_ENCODING, IDC_KEYBOARD, IDC_TOGGLEKEY, IDC_TAMILDISPLAY = 1000, 1001, 1003, 1005
IDC_ENCODING_LABEL, IDC_KEYBOARD_LABEL, IDC_TOGGLEKEY_LABEL = 1006, 1007, 1009
IDC_HELPBUTTON, IDC_STOPBUTTON = 1016, 1017
WM_CLOSE, WM_KEYDOWN, WM_SYSCOMMAND, SC_MINIMIZE = 0x10, 0x100, 0x112, 0xF020
WM_TRAYICON = 35468
WM_BRINGFORWARD = 35469  # a second start's request to the running instance
WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN = 513, 515, 516
VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN = 0x0D, 0x1B, 0x26, 0x28
BM_SETCHECK = 0xF1

# Wine's shell32 traces each Shell_NotifyIcon call of the tray process: NIM_ADD 0, NIM_MODIFY 1,
# NIM_DELETE 2.
SYSTRAY_TRACE = "-all,trace+systray"
# Registered messages, posted by name through the probe: the engine's Tamil on/off notice (wParam
# the new state) and the shell's word that it has made a new notification area.
TOGGLE_MESSAGE = "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04"
TASKBAR_CREATED = "TaskbarCreated"
# Where the pointer rests, in a corner of the screen where no window opens: Wine brings its
# modifier keys in line with X's when a window opens or closes under the pointer, which goes wrong
# while a test holds Alt.
POINTER_REST = (1270, 1010)
# The grounds of the notification area's icons: Tamil on, Tamil off.
ICON_GROUNDS = {(0x1f, 0x4e, 0xb4): "Tamil", (0x6e, 0x6e, 0x6e): "English"}


class Tray(WinProgram):
    """A running tray program: its process, its window, its traced icon calls."""

    def __init__(self, wine, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.wine = wine
        self.hwnd = None

    def dump(self):
        return self.wine.dump(self.bits, self.hwnd)

    def control(self, control_id):
        found = [c for c in self.dump()["children"] if c["id"] == control_id]
        if len(found) != 1:
            raise E2EError(f"expected one control {control_id}, found {len(found)}")
        return found[0]

    def text(self, control_id):
        return bytes.fromhex(self.control(control_id)["text"])

    def post(self, message, wparam=0, lparam=0):
        self.wine.probe(self.bits, "post", self.hwnd, message, wparam, lparam)

    def select(self, control_id, position):
        """Selects a list position and tells the window, as a choice in the list does."""
        self.wine.probe(self.bits, "select", self.hwnd, control_id, position)

    def click(self, control_id):
        self.wine.probe(self.bits, "click", self.hwnd, control_id)

    def wait_text(self, control_id, expected, what):
        """Posted commands take effect when the tray's loop gets to them: wait for the caption."""
        wait_for(lambda: self.text(control_id) == expected, f"{what}: {expected!r}",
                 diagnostics=lambda: f"    now {self.text(control_id)!r}")

    def shown(self):
        """True: visible and not minimised; False: not visible at all; None: anything between."""
        state = self.dump()
        if state["visible"] == 1 and state["iconic"] == 0:
            return True
        return False if state["visible"] == 0 else None

    def type_into(self, control_id, text):
        """Clicks into a list's edit field and types there, as a person would."""
        self.session.xdotool("windowfocus", "--sync", self.session.find_window(self.title))
        left, top, right, bottom = self.control(control_id)["rect"]
        self.session.xdotool("mousemove", left + 6, (top + bottom) // 2)
        self.session.xdotool("click", 1)
        self.session.xdotool("type", "--delay", 20, text)

    def keys(self, *keys):
        """Presses keys (xdotool names) in the window, as a person at the keyboard would."""
        self.session.xdotool("windowfocus", "--sync", self.session.find_window(self.title))
        self.session.xdotool("key", "--delay", 40, *keys)

    def focus(self):
        """(id of the control with the keyboard focus, or None; the foreground window's handle)."""
        control, foreground = self.wine.probe(self.bits, "focus", self.hwnd).split()
        return None if control == "none" else int(control), foreground

    def wait_focus(self, control_id, what):
        wait_for(lambda: self.focus()[0] == control_id, f"{what}: the focus on control {control_id}",
                 diagnostics=lambda: f"    now on {self.focus()[0]}")

    def wait_shown(self, shown, what):
        wait_for(lambda: self.shown() is shown, f"{what}: window {'shown' if shown else 'hidden'}")

    def barrier(self):
        """Returns once the tray has handled every message posted to it before this call: the
        check box's state, posted behind them, comes out of the same queue in order. The box
        gets the other state and then its own back, without a click (a click refills the window)."""
        box = self.control(IDC_TAMILDISPLAY)
        for state in (1 - box["check"], box["check"]):
            self.wine.probe(self.bits, "post", box["hwnd"], BM_SETCHECK, state, 0)
            wait_for(lambda: self.control(IDC_TAMILDISPLAY)["check"] == state, "the tray's queue to drain")

    def icon_calls(self):
        """dwMessage of every Shell_NotifyIcon call so far, from Wine's trace of this process."""
        out = []
        with open(self.output_path, "rb") as f:
            for line in f.read().decode("utf-8", "replace").splitlines():
                if ":trace:systray:Shell_NotifyIconW dwMessage = " in line:
                    out.append(int(line.split("dwMessage = ")[1].split(",")[0], 16))
        return out

    def exit(self, timeout=30):
        """Closes the window from its caption: nothing is saved, the program ends with 0."""
        if self.running():
            self.post(WM_CLOSE)
        return self.wait_exit(timeout)


class StandIns(WinProgram):
    """Idle processes under chosen executable names (copies of the probe, sleeping), started and
    watched by one probe: its output tells each one's process id and, once it has ended, its exit
    code."""

    def __init__(self, wine, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.wine = wine
        self.count = 0

    def _lines(self):
        with open(self.output_path, "rb") as f:
            return [line.split() for line in f.read().decode("latin-1").splitlines()]

    def pids(self):
        return {int(w[1]): int(w[2]) for w in self._lines() if len(w) == 3 and w[0] == "started"}

    def exit_codes(self):
        """{index: exit code} of those that have ended."""
        return {int(w[1]): int(w[2]) for w in self._lines() if len(w) == 3 and w[0] == "exit"}

    def alive(self, index):
        """Asks Windows, not the watcher's report, whether stand-in `index` still runs."""
        return self.wine.probe_ok(self.bits, "alive", self.pids()[index])

    def wait_ended(self, indexes):
        return wait_for(lambda: all(i in self.exit_codes() for i in indexes) and self.exit_codes(),
                        f"stand-ins {indexes} to end", diagnostics=self.diagnostics)

    def exit(self, timeout=30):
        """Ends the stand-ins still running (exit code 1); the watcher then ends by itself."""
        ended = self.exit_codes()
        for index, pid in self.pids().items():
            if index not in ended:
                self.wine.probe(self.bits, "end", pid)
        return self.wait_exit(timeout)


class ProbeWindow(WinProgram):
    """A window the probe made (a stand-in notification area, a reference picture); its handle is
    the first line the probe prints. Closing the window ends the probe."""

    def __init__(self, wine, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.wine = wine
        self.hwnd = None

    def exit(self, timeout=30):
        if self.running():
            self.wine.probe(self.bits, "post", self.hwnd, WM_CLOSE, 0, 0)
        return self.wait_exit(timeout)


class TrayWine:
    """Tray-specific help around one WineSession."""

    def __init__(self, session):
        self.session = session
        self._count = 0
        # The Tamil captions are TSCII bytes for a face named "TSCVirel": let Wine draw them with
        # a real TSCII font from fonts-taml-tscu.
        self.reg("add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "TSCVirel", "/t", "REG_SZ",
                 "/d", "TSCu_Paranar", "/f")

    # --- programs ------------------------------------------------------------------------------
    def exe_path(self, bits, name):
        return os.path.join(self.session.build_dir, f"win{bits}", name)

    def _spawn(self, bits, exe, args, tag, debug=None, lang=None):
        env = {"WINEDEBUG": debug} if debug else {}
        if lang:  # the program's ANSI code page follows it
            env.update(LANG=lang, LC_ALL=lang)
        return self.session.spawn(bits, exe, args, tag, **env)

    def _tag(self, kind):
        self._count += 1
        return f"{kind}-{self._count}"

    def _tray_command(self, bits, exe, minimised, args):
        """(program, arguments) that start the tray: minimised through start /min (the show
        command SW_SHOWMINIMIZED under Wine; a shortcut set to run minimised gives
        SW_SHOWMINNOACTIVE)."""
        exe = exe or self.exe_path(bits, EXE[bits])
        if not minimised:
            return exe, list(args)
        return os.path.join(self.session.prefix, "drive_c", "windows", "system32", "start.exe"), \
            ["/wait", "/min", winpath(exe)] + list(args)

    def start_tray(self, bits, debug=SYSTRAY_TRACE, exe=None, lang=None, minimised=False, args=()):
        """Starts VirelNN.exe from the build folder (beside its engine), or the given one, and
        waits for its window."""
        tag = self._tag(f"tray{bits}")
        process = self._spawn(bits, *self._tray_command(bits, exe, minimised, args), tag, debug, lang)
        tray = Tray(self, self.session, tag, bits, process, self.session.workdir, TITLE[bits])
        self.session.programs.append(tray)

        def window():
            tray._check_alive("its window")
            found = self.probe(bits, "find", "VirelClass", TITLE[bits], check=False).strip()
            return None if found in ("", "none") else found

        tray.hwnd = wait_for(window, f"the window titled {TITLE[bits]}", diagnostics=tray.diagnostics)
        # The window is filled last: wait until the lists have their items.
        wait_for(lambda: tray.control(IDC_ENCODING).get("items"), "the filled window")
        return tray

    def second_start(self, bits, minimised=False):
        """Starts VirelNN.exe again while it runs; returns the second one's exit code."""
        return self._spawn(bits, *self._tray_command(bits, None, minimised, ()), self._tag("second")).wait(60)

    def start_stand_ins(self, bits, exe_names, mode="-"):
        """Starts idle processes whose executable files have these names, under a watcher that
        reports how each one ends (its Windows exit code). Mode "window": each has a window of the
        tray's class and ends (0) when it is closed; "deaf": such a window that stays."""
        tag = self._tag("standins")
        paths = []
        for n, name in enumerate(exe_names):
            folder = os.path.join(self.session.workdir, f"{tag}-{n}")
            os.makedirs(folder)
            paths.append(shutil.copy(self.exe_path(bits, f"trayprobe{bits}.exe"), os.path.join(folder, name)))
        process = self._spawn(bits, self.exe_path(bits, f"trayprobe{bits}.exe"),
                              ["watch", mode] + [winpath(p) for p in paths], tag)
        watcher = StandIns(self, self.session, tag, bits, process, self.session.workdir, tag)
        watcher.count = len(paths)
        self.session.programs.append(watcher)
        wait_for(lambda: watcher._check_alive("its processes") or len(watcher.pids()) == len(paths),
                 "the stand-in processes", diagnostics=watcher.diagnostics)
        return watcher

    def start_probe_window(self, bits, *args):
        """Starts the probe with a window verb ("noarea", "reference ...") and waits for its window."""
        tag = self._tag("window")
        process = self._spawn(bits, self.exe_path(bits, f"trayprobe{bits}.exe"), [str(a) for a in args], tag)
        window = ProbeWindow(self, self.session, tag, bits, process, self.session.workdir, tag)
        self.session.programs.append(window)

        def handle():
            window._check_alive("its window")
            with open(window.output_path, "rb") as f:
                lines = f.read().decode("latin-1").split("\n")
            return lines[0].strip() if len(lines) > 1 else None

        window.hwnd = wait_for(handle, f"the probe's window ({args[0]})", diagnostics=window.diagnostics)
        return window

    def _run_probe(self, bits, args):
        exe = self.exe_path(bits, f"trayprobe{bits}.exe")
        return subprocess.run([WINE64 if bits == 64 else WINE32, exe] + [str(a) for a in args],
                              env=self.session.env, capture_output=True, timeout=60)

    def probe_ok(self, bits, *args):
        return self._run_probe(bits, args).returncode == 0

    def probe(self, bits, *args, check=True):
        result = self._run_probe(bits, args)
        if check and result.returncode != 0:
            raise E2EError(f"probe {' '.join(map(str, args))} failed ({result.returncode}): "
                           f"{result.stderr.decode(errors='replace')[-500:]}")
        return result.stdout.decode("latin-1")

    def dump(self, bits, hwnd):
        return json.loads(self.probe(bits, "dump", hwnd))

    def find(self, bits, class_name, title):
        found = self.probe(bits, "find", class_name, title, check=False).strip()
        return None if found in ("", "none") else found

    def message_box(self, bits, title):
        """Waits for the message box with this title; returns (handle, its text as bytes)."""
        hwnd = wait_for(lambda: self.find(bits, "#32770", title), f"the message box {title!r}")
        texts = [bytes.fromhex(c["text"]) for c in self.dump(bits, hwnd)["children"]
                 if c["class"].lower() == "static" and c["text"]]
        return hwnd, b"".join(texts)

    def icon_center(self, bits):
        """Where to click the tray program's icon (it must be the only one shown)."""
        icons = wait_for(lambda: self.tray_icons(bits), "the icon in the notification area")
        expect(len(icons), 1, "icons in the notification area")
        left, top, right, bottom = icons[0]
        return (left + right) // 2, (top + bottom) // 2

    def click_icon(self, bits, button=1, repeat=1, dx=0):
        """Clicks the icon dx pixels right of its middle: clicks quick enough one after the other
        make a double click unless they are some pixels apart."""
        x, y = self.icon_center(bits)
        x += dx
        # Not --sync: it waits for a motion that never comes when the pointer is already there.
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("click", "--repeat", repeat, "--delay", 60, button)
        return x, y

    def close_message_box(self, bits, hwnd):
        self.probe(bits, "click", hwnd, 1)  # IDOK: the box's only button
        wait_for(lambda: self.probe(bits, "dump", hwnd, check=False) == "", "the message box to close")

    def tray_icons(self, bits):
        """Icons Wine shows in its stand-alone notification area: their screen rectangles."""
        hwnd = self.find(bits, "__winex11_standalone_tray", "-")
        if hwnd is None:
            return []
        state = self.dump(bits, hwnd)
        if not state["visible"]:
            return []
        return [c["rect"] for c in state["children"] if c["visible"]]

    def icon_tip(self, bits):
        """The tip of the only icon, as its tooltip shows it when the pointer rests on the icon."""
        x, y = self.icon_center(bits)
        self.session.xdotool("mousemove", *POINTER_REST)
        wait_for(lambda: not self._tooltips(bits), "no tooltip shown")
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("mousemove", x + 1, y)
        tips = wait_for(lambda: self._tooltips(bits), "the icon's tooltip")
        expect(len(tips), 1, "tooltips shown")
        text = bytes.fromhex(self.probe(bits, "wmtext", tips[0]).strip()).decode("utf-8")
        self.session.xdotool("mousemove", *POINTER_REST)
        return text

    def toplevels(self, bits):
        """Every top-level window: hwnd, class, title (hex), visible, pid."""
        return [json.loads(line) for line in self.probe(bits, "toplevels").splitlines()]

    def _tooltips(self, bits):
        return [w["hwnd"] for w in self.toplevels(bits) if w["class"] == "tooltips_class32" and w["visible"]]

    def icon_state(self, bits):
        """"Tamil" or "English" by the ground of the only icon, as the screen shows it; None for
        neither."""
        icons = wait_for(lambda: self.tray_icons(bits), "the icon in the notification area")
        expect(len(icons), 1, "icons in the notification area")
        shot = self.session.screenshot(os.path.join(self.session.workdir, "icon.png"))
        counts = {}
        for row in pixels(shot, icons[0]):
            for x in range(0, len(row), 3):
                ground = ICON_GROUNDS.get(tuple(row[x:x + 3]))
                if ground:
                    counts[ground] = counts.get(ground, 0) + 1
        # A 16-pixel icon shows its ground in well over 20 pixels, and the other ground in none.
        return counts.popitem()[0] if len(counts) == 1 and max(counts.values()) > 20 else None

    def wait_icon(self, bits, state, what):
        """Waits until the icon shows this state ("Tamil" or "English"), then checks its tip."""
        wait_for(lambda: self.icon_state(bits) == state, f"{what}: the {state} icon")
        expect(self.icon_tip(bits), f"Virel ({bits} bit) \u2013 {state}", f"{what}: tip")

    # --- registry ------------------------------------------------------------------------------
    def reg(self, *args, check=True):
        result = subprocess.run([WINE64, "reg"] + list(args), env=self.session.env,
                                capture_output=True, timeout=60)
        if check and result.returncode != 0:
            raise E2EError(f"reg {' '.join(args)} failed: {result.stdout!r} {result.stderr!r}")
        return result

    def clear_settings(self):
        self.reg("delete", SETTINGS_KEY, "/f", check=False)

    def store(self, **values):
        """Stores settings: name=int for a REG_DWORD, name=(type, data) for any other value."""
        for name, value in values.items():
            kind, data = ("REG_DWORD", str(value)) if isinstance(value, int) else value
            self.reg("add", SETTINGS_KEY, "/v", name, "/t", kind, "/d", data, "/f")

    def stored(self):
        """The key's values as {name: int} for REG_DWORD values; None when the key is absent."""
        result = self.reg("query", SETTINGS_KEY, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("latin-1").splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[1] == "REG_DWORD":
                values[parts[0]] = int(parts[2], 16)
        return values


def _read_png(png_path):
    """(width, height, rows of RGB bytes) of a PNG the harness wrote (8-bit RGB, no filters)."""
    with open(png_path, "rb") as f:
        data = f.read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + width * 3
    return width, height, [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


def _clip(rect, width, height):
    return max(0, rect[0]), max(0, rect[1]), min(width, rect[2]), min(height, rect[3])


def pixels(png_path, rect):
    """The rows of RGB bytes inside rect of a PNG the harness wrote."""
    width, height, rows = _read_png(png_path)
    left, top, right, bottom = _clip(rect, width, height)
    return [row[left * 3:right * 3] for row in rows[top:bottom]]


def window_pixels(png_path, rect):
    """(distinct colours, share of the commonest colour) inside rect of a PNG the harness wrote."""
    width, height, rows = _read_png(png_path)
    left, top, right, bottom = _clip(rect, width, height)
    counts = {}
    for row in rows[top:bottom]:
        for x in range(left, right):
            pixel = row[x * 3:x * 3 + 3]
            counts[pixel] = counts.get(pixel, 0) + 1
    total = max(1, sum(counts.values()))
    return len(counts), max(counts.values(), default=0) / total


def crop_png(png_path, rect, out_path):
    """Writes the part of a harness PNG inside rect as a PNG of its own."""
    width, height, rows = _read_png(png_path)
    left, top, right, bottom = _clip(rect, width, height)
    raw = b"".join(b"\0" + row[left * 3:right * 3] for row in rows[top:bottom])
    with open(out_path, "wb") as f:
        f.write(png(right - left, bottom - top, raw))
    return out_path


def shots_dir():
    """Where the tests leave their screenshots for a person to look at."""
    path = os.path.join(os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build"), "tray-e2e")
    os.makedirs(path, exist_ok=True)
    return path


@functools.lru_cache(maxsize=None)
def _tray_wine(session):
    return TrayWine(session)


def setup(session, bits):
    """The caserun setup of tray cases: the session's TrayWine, with the settings key cleared."""
    wine = _tray_wine(session)
    wine.clear_settings()
    return wine
