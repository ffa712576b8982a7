#!/usr/bin/env python3
"""The installer (build/dist/VirelSetup-5.0.exe, from `make dist`) under Wine, in a fresh 64-bit
prefix, silent as an administrator deploys it: a folder it cannot write; install; the files,
shortcuts, Run values and uninstall entry; the installed programs start from their shortcuts and
type Tamil into a host through their own engines; reinstall over running copies; uninstall.

Run from the repository root with VIREL_BUILD set (default ./build). The setup program is a 32-bit
program: where those cannot run, every step is skipped.
"""
import functools
import os
import struct
import sys

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "tray", "e2e"))

from traywine import (EXE, SETTINGS_KEY, TITLE, E2EError, Skip, TrayWine, expect,  # noqa: E402
                      run_cases, wait_for)

SETUP = "VirelSetup-5.0.exe"
INSTALL_DIR = r"C:\Program Files\Orvane\Virel 5.0"
MENU_DIR = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Orvane\5.0"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Virel 5.0"
FILES = ["Virel64.exe", "VirelEgn64.dll", "Virel32.exe", "VirelEgn32.dll", "virelconv.exe",
         "chart-phonetic.png", "chart-tamil99.png", "chart-new-typewriter.png", "chart-old-typewriter.png",
         "Virel-Manual-English.pdf", "Virel-Manual-Tamil.pdf", "Uninstall.exe"]
SHORTCUTS = {"Virel64.lnk": "Virel64.exe", "Virel32.lnk": "Virel32.exe",
             "Virel-Manual-English.lnk": "Virel-Manual-English.pdf",
             "Virel-Manual-Tamil.lnk": "Virel-Manual-Tamil.pdf", "Uninstall.lnk": "Uninstall.exe"}


class Installer:
    def __init__(self, session, wine):
        self.session = session
        self.wine = wine
        self.setup = os.path.join(session.build_dir, "dist", SETUP)
        if not os.path.exists(self.setup):
            raise E2EError(f"{self.setup} does not exist: run `make dist`")

    def unix(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        return os.path.join(self.session.prefix, f"drive_{drive.lower()}", *rest.strip("\\").split("\\"))

    def run(self, *args, timeout=120):
        """Runs the setup (a 32-bit program); returns its exit code."""
        process = self.session.spawn(32, self.setup, list(args), "setup")
        return process.wait(timeout)

    def values(self, key):
        """{name: data} of a key's values; None when the key does not exist."""
        result = self.wine.reg("query", key, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values

    def running_windows(self):
        return {bits for bits in (64, 32) if self.wine.find(64, "VirelClass", TITLE[bits])}

    def leftovers(self):
        """What an uninstall must not leave behind."""
        left = [path for path in (INSTALL_DIR, MENU_DIR) if os.path.exists(self.unix(path))]
        run = self.values(RUN_KEY) or {}
        left += [f"Run value {name}" for name in ("Virel64", "Virel32") if name in run]
        if self.values(UNINSTALL_KEY) is not None:
            left.append("uninstall entry")
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


def check_installed(inst):
    for name in FILES:
        if not os.path.isfile(inst.unix(INSTALL_DIR + "\\" + name)):
            raise E2EError(f"{name} is not installed")
    for link, target in SHORTCUTS.items():
        expect(shortcut_target(inst.unix(MENU_DIR + "\\" + link)).lower(),
               (INSTALL_DIR + "\\" + target).lower(), f"target of {link}")
    run = inst.values(RUN_KEY)
    for bits in (64, 32):
        expect(run.get(f"Virel{bits}"), f'"{INSTALL_DIR}\\{EXE[bits]}"', f"Run value Virel{bits}")
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


@functools.lru_cache(maxsize=None)
def _installer(session):
    return Installer(session, TrayWine(session))


def setup(session, _):
    """The session's Installer; the setup program is 32-bit, so it runs only where those do."""
    runnable, reason = session.can_run(32)
    if not runnable:
        raise Skip(reason)
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
    expect(inst.running_windows(), set(), "programs started by a silent first install")


def installed_programs_type(inst, _):
    # Each build alone: under Wine, while both run, programs of the bitness whose engine was
    # hooked first receive Latin letters.
    for bits in (64, 32):
        target = shortcut_target(inst.unix(MENU_DIR + f"\\Virel{bits}.lnk"))
        tray = inst.wine.start_tray(bits, exe=inst.unix(target))
        type_through(inst.session, bits)
        tray.exit()


def reinstall_over_running_copies(inst, _):
    # Both running; they end, and the new files start again.
    trays = {bits: inst.wine.start_tray(bits, exe=inst.unix(f"{INSTALL_DIR}\\{EXE[bits]}"))
             for bits in (64, 32)}
    inst.wine.store(encoding=0, keyboard=1)
    expect(inst.run("/S"), 0, "exit code of the reinstall")
    for tray in trays.values():
        tray.wait_exit()
    wait_for(lambda: inst.running_windows() == {64, 32}, "both programs started again")
    check_installed(inst)


def silent_uninstall(inst, _):
    uninstaller = inst.session.spawn(32, inst.unix(INSTALL_DIR + r"\Uninstall.exe"), ["/S"],
                                     "uninstall")
    expect(uninstaller.wait(60), 0, "exit code of the uninstaller")
    # It hands over to a copy of itself that runs on after the first one ended.
    wait_for(lambda: inst.values(UNINSTALL_KEY) is None and not inst.running_windows(),
             "the uninstaller to end the programs and remove its entry", timeout=60)
    # An engine that Wine's desktop process keeps loaded is deleted at the next start, as
    # Windows does with a file still in use: start again, and nothing may be left.
    pending = inst.values(PENDING_KEY).get("PendingFileRenameOperations", "")
    left = [name for name in os.listdir(inst.unix(INSTALL_DIR))
            if f"{INSTALL_DIR}\\{name}".lower() not in pending.lower()]
    expect(left, [], "files neither removed nor to be removed at the next start")
    inst.session.reset()
    expect(inst.leftovers(), [], "left by the uninstaller after a restart")
    expect(inst.wine.stored(), {"encoding": 0, "keyboard": 1}, f"settings in {SETTINGS_KEY}")


# In order: each step works on what the ones before it left.
CASES = [
    ("a folder it cannot write", cannot_write),
    ("silent install", silent_install),
    ("the installed programs type Tamil", installed_programs_type),
    ("reinstall over running copies", reinstall_over_running_copies),
    ("silent uninstall", silent_uninstall),
]

if __name__ == "__main__":
    sys.exit(run_cases("installer", CASES, setup, builds=(None,)))
