#!/usr/bin/env python3
"""The installer (build/dist/VirelSetup-5.0.exe, from `make dist`) under Wine, in a fresh 64-bit
prefix, silent as an administrator deploys it: a folder it cannot write; install; the files,
shortcuts, Run values, font and uninstall entry; the installed programs start from their shortcuts and
type Tamil into a host through their own engines, and the installed font draws the Tamil captions;
reinstall over running copies, silently and through the pages, and made to fail partway; uninstall.
Where no 32-bit code runs, the script built as a 64-bit program stands in for the shipped installer.

Run from the repository root with VIREL_BUILD set (default ./build).
"""
import filecmp
import functools
import json
import os
import re
import struct
import subprocess
import sys

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "tray", "e2e"))

from test_tray_window import TAMIL, captions_look_as_drawn_by_a_reference  # noqa: E402
from traywine import (EXE, POINTER_REST, SETTINGS_KEY, E2EError, TrayWine, expect,  # noqa: E402
                      run_cases, wait_for)

SETUP = "VirelSetup-5.0.exe"
INSTALL_DIR = r"C:\Program Files\Orvane\Virel 5.0"
MENU_DIR = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Orvane\5.0"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Virel 5.0"
FONTS_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts"
FONT = r"C:\windows\Fonts\TSCVirel.ttf"
FILES = ["Virel64.exe", "VirelEgn64.dll", "Virel32.exe", "VirelEgn32.dll", "virelconv.exe",
         "chart-phonetic.png", "chart-tamil99.png", "chart-new-typewriter.png", "chart-old-typewriter.png",
         "Virel-Manual-English.pdf", "Virel-Manual-Tamil.pdf", "TSCVirel-Licence.txt", "Uninstall.exe"]
SHORTCUTS = {"Virel64.lnk": "Virel64.exe", "Virel32.lnk": "Virel32.exe",
             "Virel-Manual-English.lnk": "Virel-Manual-English.pdf",
             "Virel-Manual-Tamil.lnk": "Virel-Manual-Tamil.pdf", "Uninstall.lnk": "Uninstall.exe"}


class Installer:
    def __init__(self, session, wine, here):
        self.session = session
        self.wine = wine
        self.here = here  # the bitnesses whose programs run here
        self.once, self.none = {bits: 1 for bits in here}, {bits: 0 for bits in here}
        self.bits = 32 if 32 in here else 64  # the installer's own
        self.stage = os.path.join(session.build_dir, "dist-work", "stage")
        self.setup = os.path.join(session.build_dir, "dist", SETUP)
        if not os.path.exists(self.setup):
            raise E2EError(f"{self.setup} does not exist: run `make dist`")
        if self.bits == 64:
            self.setup = self.build("amd64")

    def build(self, name, **defines):
        """The installer script built for the installer's bitness, with these defines."""
        out = os.path.join(self.session.workdir, f"setup-{name}.exe")
        argv = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DSTAGE={self.stage}", f"-DOUTFILE={out}"]
        argv += ["-DTARGET_AMD64"] if self.bits == 64 else []
        argv += [f"-D{key}={value}" for key, value in defines.items()]
        subprocess.run(argv + [os.path.join(REPO, "packaging", "virel.nsi")], check=True)
        return out

    def unix(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        return os.path.join(self.session.prefix, f"drive_{drive.lower()}", *rest.strip("\\").split("\\"))

    def run(self, *args, setup=None, timeout=120):
        """Runs the setup; returns its exit code."""
        return self.session.spawn(self.bits, setup or self.setup, list(args), "setup").wait(timeout)

    def instances(self):
        """{bits: running copies of the installed VirelNN.exe}, once the shell has started all it
        was asked to (Explorer ends once it has started the program)."""
        paths = [f"{INSTALL_DIR}\\{EXE[bits]}".lower() for bits in self.here]

        def command_lines():  # of the prefix's processes, as Wine shows them
            found = []
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open(f"/proc/{pid}/environ", "rb") as env, open(f"/proc/{pid}/cmdline", "rb") as cmd:
                        if f"WINEPREFIX={self.session.prefix}\0".encode() in env.read():
                            found.append(cmd.read().decode("utf-8", "replace").lower().split("\0"))
                except OSError:
                    pass
            return found

        wait_for(lambda: not [c for c in command_lines() if c[0].endswith("\\explorer.exe") and c[1] in paths],
                 "the shell to start the programs")
        lines = command_lines()
        return {bits: sum(c[0] == path for c in lines) for bits, path in zip(self.here, paths)}

    def snapshot(self):
        """Every name in the installation's folder, with its inode, size and time: a file put back
        is the very file."""
        folder = self.unix(INSTALL_DIR)
        stats = {name: os.stat(os.path.join(folder, name)) for name in os.listdir(folder)}
        return {name: (st.st_ino, st.st_size, st.st_mtime_ns) for name, st in stats.items()}

    def values(self, key):
        """{name: data} of a key's values; None when the key does not exist."""
        result = self.wine.reg("query", key, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            value = re.fullmatch(r" {4}(.*?) {4}(REG_\w+)(?: {4}(.*))?", line.rstrip("\r"))
            if value:
                values[value.group(1)] = value.group(3) or ""
        return values

    def leftovers(self):
        """What an uninstall must not leave behind."""
        left = [path for path in (INSTALL_DIR, MENU_DIR) if os.path.exists(self.unix(path))]
        run = self.values(RUN_KEY) or {}
        left += [f"Run value {name}" for name in ("Virel64", "Virel32") if name in run]
        if self.values(UNINSTALL_KEY) is not None:
            left.append("uninstall entry")
        left += [FONT] if os.path.exists(self.unix(FONT)) else []
        left += ["font value"] if "TSCVirel (TrueType)" in (self.values(FONTS_KEY) or {}) else []
        return left


def shortcut_target(path):
    """The local path a .lnk file points to (its LinkInfo's base path and suffix)."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if not flags & 0x2:  # HasLinkInfo
        raise E2EError(f"{path} has no LinkInfo")
    base, suffix = struct.unpack_from("<II", data, pos + 16)[0], struct.unpack_from("<I", data, pos + 24)[0]

    def c_string(offset):
        return data[pos + offset:data.index(b"\0", pos + offset)].decode("latin-1")

    return c_string(base) + c_string(suffix)


def check_installed(inst, autostart=True):
    for name in FILES:
        if not os.path.isfile(inst.unix(INSTALL_DIR + "\\" + name)):
            raise E2EError(f"{name} is not installed")
    expect(filecmp.cmp(inst.unix(FONT), os.path.join(inst.stage, "TSCVirel.ttf"), False), True, f"{FONT}")
    expect(inst.values(FONTS_KEY).get("TSCVirel (TrueType)"), "TSCVirel.ttf", "the font's registry value")
    for link, target in SHORTCUTS.items():
        expect(shortcut_target(inst.unix(MENU_DIR + "\\" + link)).lower(),
               (INSTALL_DIR + "\\" + target).lower(), f"target of {link}")
    run = inst.values(RUN_KEY)
    for bits in (64, 32):
        expect(run.get(f"Virel{bits}"), f'"{INSTALL_DIR}\\{EXE[bits]}" /tray' if autostart else None,
               f"Run value Virel{bits}")
    entry = inst.values(UNINSTALL_KEY)
    for name, value in (("DisplayName", "Virel Tamil Software 5.0"), ("Publisher", "Orvane"),
                        ("DisplayVersion", "5.0"), ("DisplayIcon", f"{INSTALL_DIR}\\Virel64.exe,0"),
                        ("UninstallString", f'"{INSTALL_DIR}\\Uninstall.exe"')):
        expect(entry.get(name), value, f"uninstall entry {name}")
    if int(entry.get("EstimatedSize", "0"), 16) < 500:
        raise E2EError(f"uninstall entry EstimatedSize {entry.get('EstimatedSize')} KB")


def type_through(session, bits):
    """Tamil typed into a new host of that bitness, through whatever engine is hooked."""
    host = session.start_host(bits)
    host.keys("alt+k")
    host.type("vaNakkam")
    expect(host.text(), "வணக்கம்", f"typed through the installed Virel{bits}")
    host.exit()


def setup_page(wine, window, text):
    """The setup's page (its dump) once it shows a control with this text; the setup may move on
    between the two looks."""
    def page():
        for child in wine.dump(64, window)["children"]:
            shown = json.loads(wine.probe(64, "dump", child["hwnd"], check=False) or '{"children": []}')
            if any(bytes.fromhex(c["text"]) == text for c in shown["children"]):
                return shown
    return wait_for(page, f"the setup page with {text!r}")


def upgrade_through_the_pages(inst, wine):
    """Next on every page; returns {text: state} of the Finish page's buttons."""
    setup = inst.session.spawn(inst.bits, inst.setup, [], "setup")
    title = "Virel Tamil Software 5.0 Setup"
    language = wait_for(lambda: wine.find(64, "#32770", "Installer Language") or wine.find(64, "#32770", title),
                        "the first window")
    if language != wine.find(64, "#32770", title):
        wine.probe(64, "click", language, 1)  # English
    window = wait_for(lambda: wine.find(64, "#32770", title), "the setup's window")
    setup_page(wine, window, b"Welcome to " + title.encode())
    wine.probe(64, "click", window, 1)
    # No folder to choose: an upgrade stays in its folder. Start at sign-in as it was: off.
    startup = setup_page(wine, window, b"Start Virel when any user signs in to this PC")
    expect([c["check"] for c in startup["children"] if c["class"] == "Button"], [0], "start at sign-in")
    wine.probe(64, "click", window, 1)
    finish = setup_page(wine, window, b"Start Virel now")
    wine.probe(64, "click", window, 1)
    expect(setup.wait(60), 0, "exit code of the setup")
    return {bytes.fromhex(c["text"]).decode(): c["check"] for c in finish["children"] if c["class"] == "Button"}


@functools.lru_cache(maxsize=None)
def _installer(session):
    wine = TrayWine(session)
    # Nothing stands in for the caption font: the installed one must draw the captions.
    wine.reg("delete", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "TSCVirel", "/f")
    # Away from where windows open, which would make Wine check its modifier keys while Alt is held.
    session.xdotool("mousemove", *POINTER_REST)
    return Installer(session, wine, [bits for bits in (64, 32) if session.can_run(bits)[0]])


def setup(session, _):
    """The session's Installer: the shipped 32-bit setup where 32-bit programs run, else the same
    script built as a 64-bit program."""
    return _installer(session)


def cannot_write(inst, _):
    # A folder that cannot be made: a drive on /proc, where not even root makes folders.
    os.symlink("/proc", os.path.join(inst.session.prefix, "dosdevices", "r:"))
    expect(inst.run("/S", r"/D=R:\Virel"), 2, "exit code of a setup that cannot write")
    expect(inst.leftovers(), [], "left by the failed setup")
    expect(inst.values(UNINSTALL_KEY), None, "uninstall entry after the failed setup")


def silent_install(inst, _):
    expect(inst.run("/S"), 0, "exit code of the silent install")
    check_installed(inst)
    expect(inst.instances(), inst.none, "programs started by a silent first install")
    return f"the {inst.bits}-bit setup; programs that run here: {', '.join(f'Virel{b}' for b in inst.here)}"


def installed_programs_type(inst, _):
    # Each build alone: under Wine, while both run, programs of the bitness whose engine was
    # hooked first receive Latin letters.
    for bits in inst.here:
        target = shortcut_target(inst.unix(MENU_DIR + f"\\Virel{bits}.lnk"))
        tray = inst.wine.start_tray(bits, exe=inst.unix(target))
        type_through(inst.session, bits)
        tray.exit()


def installed_font_draws_the_captions(inst, _):
    inst.wine.store(displayLang=1)
    tray = inst.wine.start_tray(64, exe=inst.unix(f"{INSTALL_DIR}\\{EXE[64]}"))
    captions_look_as_drawn_by_a_reference(inst.wine, tray, 64, TAMIL, "TSCu_Paranar", "installed-font")
    tray.exit()


def reinstall_over_running_copies(inst, _):
    # All running; they end, and the new files start again, once each.
    trays = [inst.wine.start_tray(bits, exe=inst.unix(f"{INSTALL_DIR}\\{EXE[bits]}")) for bits in inst.here]
    inst.wine.store(encoding=0, keyboard=1)
    expect(inst.run("/S", "/NOAUTOSTART"), 0, "exit code of the reinstall (no restart needed)")
    for tray in trays:
        tray.wait_exit()
    expect(inst.instances(), inst.once, "programs after the reinstall")
    check_installed(inst, autostart=False)
    expect(upgrade_through_the_pages(inst, inst.wine), {"Start Virel now": 1, "Open the manual": 0},
           "the Finish page's choices (and no restart)")
    expect(inst.instances(), inst.once, "programs after the Finish page")


def failed_reinstalls(inst, _):
    # Reinstalls that cannot write a file: the very files they replaced come back.
    for name in ("VirelEgn32.dll", "Uninstall.exe"):
        before, run = inst.snapshot(), inst.values(RUN_KEY)
        failing = inst.build(f"fail-{name}", FAIL_WRITING=name)
        expect(inst.run("/S", setup=failing), 2, f"exit code of a setup that cannot write {name}")
        expect((inst.snapshot(), inst.values(RUN_KEY)), (before, run), f"installation after failing at {name}")
        expect(inst.instances(), inst.once, "programs after the failure")
    expect(inst.run("/S", r"/D=C:\Elsewhere"), 2, "exit code of a reinstall into another folder")
    expect(os.path.exists(inst.unix(r"C:\Elsewhere")), False, "the other folder made")
    check_installed(inst, autostart=False)


def silent_uninstall(inst, _):
    uninstaller = inst.session.spawn(inst.bits, inst.unix(INSTALL_DIR + r"\Uninstall.exe"), ["/S"],
                                     "uninstall")
    expect(uninstaller.wait(60), 0, "exit code of the uninstaller")
    # It hands over to a copy of itself that runs on after the first one ended.
    wait_for(lambda: inst.values(UNINSTALL_KEY) is None and inst.instances() == inst.none,
             "the uninstaller to end the programs and remove its entry", timeout=60)
    # An engine that Wine's desktop process keeps loaded is deleted at the next start, as
    # Windows does with a file still in use: start again, and nothing may be left.
    pending = inst.values(PENDING_KEY).get("PendingFileRenameOperations", "")
    left = [name for name in os.listdir(inst.unix(INSTALL_DIR))
            if f"{INSTALL_DIR}\\{name}".lower() not in pending.lower()]
    expect(left, [], "files neither removed nor to be removed at the next start")
    inst.session.reset()
    expect(inst.leftovers(), [], "left by the uninstaller after a restart")
    expect(inst.wine.stored(), {"encoding": 0, "keyboard": 1, "displayLang": 1}, f"settings in {SETTINGS_KEY}")


# In order: each step works on what the ones before it left.
CASES = [
    ("a folder it cannot write", cannot_write),
    ("silent install", silent_install),
    ("the installed programs type Tamil", installed_programs_type),
    ("the installed font draws the Tamil captions", installed_font_draws_the_captions),
    ("reinstall over running copies, silently and through the pages", reinstall_over_running_copies),
    ("reinstalls that fail partway, or into another folder", failed_reinstalls),
    ("silent uninstall", silent_uninstall),
]

if __name__ == "__main__":
    sys.exit(run_cases("installer", CASES, setup, builds=(None,)))
