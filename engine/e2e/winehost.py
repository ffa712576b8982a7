"""Runs Virel's Windows programs under Wine on a private virtual display, for end-to-end tests.

One WineSession per test run: its own Xvfb display, its own WINEPREFIX and wineserver, and every
process it starts. Everything is ended when the session closes, on failure too; the child processes
also die with the test process if that is killed outright.

    with WineSession() as wine:
        ok, why = wine.can_run(32)                       # False on a kernel without IA-32
        loader = wine.start_loader(64, hotkey=0x4B)      # LoadVirelEngine, SetHotKey(1, 'K') ...
        host = wine.start_host(64, exe_name="NOTEPAD.EXE")
        host.keys("alt+k")                               # real X key events, then waits until
        loader.barrier()                                 # the host has taken them
        assert loader.toggles() == [1]
        host.type("kaa"); print(host.text(), host.ansi_bytes())

Everything waits on a condition (a file, a log line, a window) with a timeout and raises E2EError
with what it was waiting for and the programs' logs when the condition does not come.

Environment: VIREL_BUILD (default <repo>/build; programs in win64/ and win32/ below it),
VIREL_E2E_KEEP=1 keeps the work directory, VIREL_WINEDEBUG sets WINEDEBUG (default -all,err+all).
"""

import atexit
import ctypes
import errno
import itertools
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE64 = "/usr/lib/wine/wine64"
WINE32 = "/usr/lib/wine/wine"
DEFAULT_TIMEOUT = 30.0
PROBE_SECONDS = 60
POLL_SECONDS = 0.02
# Key pressed after every batch of keys: the host logs its key-up once it has taken (and the
# hooks have seen) everything sent before it. Nothing in the engine acts on it.
SENTINEL_KEY = "Pause"
SENTINEL_VK = 0x13


def _fixed_address_space():
    """Every program started from this process runs without address-space randomization.

    Wine maps its shared user data and its loader at fixed addresses; with randomization the
    kernel now and then puts something there first, and the program fails to start ("failed to
    map the shared user data"). The flag is inherited by every child, Wine's own included.
    """
    ADDR_NO_RANDOMIZE = 0x0040000
    libc = ctypes.CDLL(None, use_errno=True)
    current = libc.personality(0xFFFFFFFF)
    if current != -1:
        libc.personality(current | ADDR_NO_RANDOMIZE)


_fixed_address_space()


class E2EError(AssertionError):
    """A condition that did not come, or a program that did not behave."""


def wait_for(condition, what, timeout=DEFAULT_TIMEOUT, diagnostics=None):
    """Polls condition() until it returns something truthy, and returns that.

    Raises E2EError naming `what` (and adding diagnostics(), if given) after `timeout` seconds.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            detail = "\n" + diagnostics() if diagnostics else ""
            raise E2EError(f"timed out after {timeout:.0f}s waiting for {what}{detail}")
        time.sleep(POLL_SECONDS)


def _die_with_parent():
    # Runs in the child between fork and exec: SIGKILL when the test process goes away, so that no
    # Xvfb, wineserver or Windows program outlives a test that was itself killed.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def winpath(path):
    """The Windows path of a Unix path, through Wine's Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def _tail(path, lines=30):
    text = _read(path).decode("utf-8", "replace").splitlines()
    return "\n".join(f"    {line}" for line in text[-lines:])


def xwd_to_png(xwd):
    """Converts an X window dump of a true-colour display (as xwd writes it) to PNG bytes."""
    header = struct.unpack(">25I", xwd[:100])
    (header_size, _version, pixmap_format, _depth, width, height, _xoffset, byte_order,
     _unit, _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask,
     blue_mask, _bits_rgb, _entries, ncolors) = header[:20]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32) or not red_mask:
        raise E2EError(f"unexpected xwd image: format {pixmap_format}, {bits_per_pixel} bpp")
    data = xwd[header_size + 12 * ncolors:]
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    shifts = [(mask, (mask & -mask).bit_length() - 1) for mask in (red_mask, green_mask, blue_mask)]
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        line = data[y * bytes_per_line:y * bytes_per_line + width * step]
        for x in range(0, width * step, step):
            pixel = int.from_bytes(line[x:x + step], order)
            rows.extend((pixel & mask) >> shift for mask, shift in shifts)

    return png(width, height, bytes(rows))


def png(width, height, rows):
    """PNG bytes of an 8-bit RGB image: rows is each row's filter byte and pixels, one after
    the other."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))


class WinProgram:
    """A Windows program of this session; talks to it through its log and command files."""

    def __init__(self, session, tag, bits, process, workdir, title):
        self.session = session
        self.tag = tag
        self.bits = bits
        self.process = process
        self.title = title
        self.log_path = os.path.join(workdir, tag + ".log")
        self.command_path = os.path.join(workdir, tag + ".cmd")
        self.output_path = os.path.join(workdir, tag + ".out")
        self._ids = itertools.count(1)

    def __repr__(self):
        return f"<{self.tag} pid {self.process.pid}>"

    # --- the log -------------------------------------------------------------------------------
    def log_lines(self):
        """The complete lines logged so far."""
        text = _read(self.log_path).decode("utf-8", "replace")
        return text.split("\n")[:-1]

    def diagnostics(self):
        state = "running" if self.process.poll() is None else f"exited {self.process.returncode}"
        return (f"  {self.tag} ({state}) log:\n{_tail(self.log_path)}\n"
                f"  {self.tag} stdout/stderr:\n{_tail(self.output_path, 10)}")

    def wait_line(self, pattern, timeout=DEFAULT_TIMEOUT, start=0):
        """Waits for a log line matching the regex (from line index `start`); returns the match."""
        regex = re.compile(pattern)

        def find():
            alive = self.running()
            for line in self.log_lines()[start:]:
                match = regex.fullmatch(line)
                if match:
                    return match
            if not alive:
                self._check_alive(f"the log line /{pattern}/")
            return None

        return wait_for(find, f"{self.tag} to log /{pattern}/", timeout, self.session.diagnostics)

    def _check_alive(self, what):
        if self.process.poll() is not None:
            raise E2EError(f"{self.tag} exited ({self.process.returncode}) while waiting for "
                           f"{what}\n{self.session.diagnostics()}")

    # --- commands ------------------------------------------------------------------------------
    def command(self, verb, *args, timeout=DEFAULT_TIMEOUT):
        """Runs one command in the program and returns its result text ('' when it has none)."""
        command_id = self.send(verb, *args, timeout=timeout)
        match = self.wait_line(rf"done {command_id}(?: (.*))?", timeout)
        return match.group(1) or ""

    def send(self, verb, *args, timeout=DEFAULT_TIMEOUT):
        """Hands one command to the program without waiting for it; returns its id."""
        command_id = next(self._ids)
        line = " ".join([str(command_id), verb] + [str(a) for a in args]) + "\n"
        # The program may take the file at any moment: it must never see half of it.
        wait_for(lambda: not os.path.exists(self.command_path),
                 f"{self.tag} to take its previous command", timeout, self.session.diagnostics)
        partial = self.command_path + ".part"
        with open(partial, "w") as f:
            f.write(line)
        os.replace(partial, self.command_path)
        return command_id

    # --- ending --------------------------------------------------------------------------------
    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f"{self.tag} did not exit within {timeout:.0f}s\n"
                           f"{self.session.diagnostics()}") from None

    def exit(self, timeout=DEFAULT_TIMEOUT):
        """Asks the program to end normally (its message loop ends, the process exits)."""
        self.command("exit", timeout=timeout)
        return self.wait_exit(timeout)

    def kill(self):
        """Ends the process from outside, as a task manager would: no clean-up of its own runs.

        Under Wine a hook the program set stays installed; see WineSession.reset."""
        if self.running():
            self.process.kill()
            self.session.killed = True
        self.process.wait()


class Loader(WinProgram):
    """The test loader: starts the engine as the tray program does and records toggle messages."""

    @property
    def load_result(self):
        """What LoadVirelEngine returned in this process (1 installed, 0 refused or failed)."""
        return int(self.wait_line(r"load (-?\d+)").group(1))

    def toggles(self):
        """The wParam of every toggle message the window has received so far, in order."""
        return [int(line.split()[1]) for line in self.log_lines() if line.startswith("toggle ")]

    def barrier(self, timeout=DEFAULT_TIMEOUT):
        """Returns once the window has handled every message posted to it before this call."""
        command_id = self.send("barrier", timeout=timeout)
        self.wait_line(rf"barrier {command_id}", timeout)

    def set_hotkey(self, vk, alt=1):
        self.command("hotkey", alt, vk)

    def set_encoding(self, encoding):
        self.command("encoding", encoding)

    def set_keyboard(self, keyboard):
        self.command("keyboard", keyboard)

    def toggle(self):
        """Calls ToggleTamil() in the loader's process."""
        self.command("toggle")

    def unload(self):
        """Calls UnloadVirelEngine(window); returns its result."""
        return int(self.command("unload"))


class Host(WinProgram):
    """The test host: a window with a text control that has the focus."""

    def __init__(self, *args, edit=False, **kwargs):
        super().__init__(*args, **kwargs)
        self.edit = edit
        self.x_window = None
        self._dumps = itertools.count(1)

    def focus(self):
        """Gives the host's window the X input focus (Wine makes it the foreground window)."""
        self.session.xdotool("windowfocus", "--sync", self.x_window)

    def keys(self, *keys, delay_ms=20):
        """Presses keys in the host (xdotool names: "alt+k", "BackSpace", "a") and waits until the
        host has taken them, with everything the hooks posted on the way."""
        self.focus()
        self.session.xdotool("key", "--delay", str(delay_ms), *keys)
        self.settle()

    def hold(self, key, down):
        """Presses (down=True) or releases a key and leaves it so: Shift held through keys."""
        self.focus()
        self.session.xdotool("keydown" if down else "keyup", key)

    def type(self, text, delay_ms=20):
        """Types text in the host as key presses (xdotool type); waits until it has taken them."""
        self.focus()
        self.session.xdotool("type", "--delay", str(delay_ms), "--", text)
        self.settle()

    def settle(self, timeout=DEFAULT_TIMEOUT):
        """Returns once the host has taken every key sent so far.

        Presses the sentinel key and waits for its key-up in the host's log: input is taken in
        order, and messages posted while handling a key are taken before the next key. Keys that
        a hook itself synthesizes (keybd_event) may still come after the sentinel.
        """
        before = self._sentinel_count()
        self.session.xdotool("key", SENTINEL_KEY)
        wait_for(lambda: self._check_alive("the sentinel key") or
                 self._sentinel_count() > before,
                 f"{self.tag} to take the keys sent to it", timeout, self.session.diagnostics)

    def _sentinel_count(self):
        up = f"key WM_KEYUP {SENTINEL_VK:x} "
        return sum(1 for line in self.log_lines() if line.startswith(up))

    def key_log(self):
        """Keyboard messages as the application received them: (name, wParam, lParam) tuples,
        without the sentinel's."""
        out = []
        for line in self.log_lines():
            if line.startswith("key "):
                _, name, wparam, lparam = line.split()
                if int(wparam, 16) == SENTINEL_VK and name in ("WM_KEYDOWN", "WM_KEYUP"):
                    continue
                out.append((name, int(wparam, 16), int(lparam, 16)))
        return out

    def text(self):
        """The control's text (GetWindowTextW), decoded from UTF-8."""
        return self._dump("dump").decode("utf-8")

    def ansi_bytes(self):
        """The control's text as GetWindowTextA gives it: bytes of the ANSI code page."""
        return self._dump("dump-ansi")

    def _dump(self, verb):
        path = os.path.join(self.session.workdir, f"{self.tag}.dump{next(self._dumps)}")
        result = self.command(verb, winpath(path))
        if result != "1":
            raise E2EError(f"{self.tag} could not write {path}\n{self.session.diagnostics()}")
        return _read(path)

    def clear(self):
        self.command("clear")

    def final_text(self, ansi=False):
        """The text the host saved when its window was destroyed (after exit()): a str, or
        GetWindowTextA's bytes when ansi is true."""
        if self.running():
            raise E2EError(f"{self.tag} is still running: its final text comes when it exits")
        path = os.path.join(self.session.workdir, self.tag + (".final-ansi" if ansi else ".final"))
        if not os.path.exists(path):
            raise E2EError(f"{self.tag} saved no final text\n{self.session.diagnostics()}")
        data = _read(path)
        return data if ansi else data.decode("utf-8")

    def latencies(self):
        """(virtual key, microseconds from its key-down's retrieval until nothing posted was
        left) for each key, in order; hosts started with latency=True."""
        return [(int(line.split()[1], 16), float(line.split()[2])) for line in self.log_lines()
                if line.startswith("latency ")]

    @property
    def code_page(self):
        return int(self.wait_line(r"acp (\d+)").group(1))


class Pump(WinProgram):
    """The benchmark's window that posts messages to itself and times its message loop."""

    def time(self, kind, count, timeout=120):
        """Nanoseconds a message for `count` messages of kind "other" or "char"."""
        return float(self.command("time", kind, count, timeout=timeout))


class WineSession:
    """A private X display, Wine prefix and wineserver, and the programs started in them."""

    def __init__(self, build_dir=None, workdir=None, lang="en_US.UTF-8",
                 screen="1280x1024x24"):
        self.build_dir = build_dir or os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
        self.keep = os.environ.get("VIREL_E2E_KEEP") == "1"
        self.workdir = workdir or tempfile.mkdtemp(prefix="virel-e2e-")
        self.lang = lang
        self.screen = screen
        self.display = None
        self.prefix = os.path.join(self.workdir, "prefix")
        self.env = None
        self.x_env = None
        self.programs = []
        self._xvfb = None
        self._wineserver = None
        self._tags = itertools.count(1)
        self._closed = False
        # Whether a program was killed since the last reset: its hooks may still be installed.
        self.killed = False
        self._can_run = {}

    # --- life ----------------------------------------------------------------------------------
    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def start(self):
        atexit.register(self.close)
        self._start_xvfb()
        os.makedirs(self.prefix, exist_ok=True)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            # Wine's errors go to each program's .out file and into failure reports.
            "WINEDEBUG": os.environ.get("VIREL_WINEDEBUG", "-all,err+all"),
            # No Mono or Gecko install prompts, no menu entries written to the home directory.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            # Wine's ANSI code page follows the locale, installed in the C library or not:
            # en_US gives 1252, ta_IN gives 65001.
            "LANG": self.lang,
            "LC_ALL": self.lang,
        })
        # X tools keep the caller's locale (xdotool type reads its text through it).
        self.x_env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WINELOADER", None)
        self.env.pop("WINESERVER", None)
        self._start_wineserver()
        self._run_wine(["wineboot", "-i"], "wineboot", timeout=300)
        self._run_wine(["reg", "import", winpath(self._write_settings())], "reg", timeout=60)

    def _write_settings(self):
        path = os.path.join(self.workdir, "settings.reg")
        with open(path, "w", encoding="utf-16") as f:
            f.write("Windows Registry Editor Version 5.00\n\n"
                    # A crashing program must fail its test, not wait behind a dialog.
                    "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"
                    "\"ShowCrashDialog\"=dword:00000000\n\n"
                    # There is no window manager on the display: Wine places and focuses the
                    # windows itself instead of waiting seconds for a manager's answer.
                    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"
                    "\"Managed\"=\"N\"\n"
                    "\"UseTakeFocus\"=\"N\"\n")
        return path

    def close(self):
        """Ends every program, the wineserver and Xvfb; removes the work directory."""
        if self._closed:
            return
        self._closed = True
        for program in self.programs:
            if program.running():
                program.process.kill()
            program.process.wait()
        self._stop_wineserver()
        if self._xvfb is not None and self._xvfb.poll() is None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
        if not self.keep:
            shutil.rmtree(self.workdir, ignore_errors=True)

    def _start_wineserver(self):
        # A wineserver that lives until the session ends it: the Windows programs come and go,
        # and the engine's shared block lives as long as some process maps it. Started before
        # any program, or the first program would start a server of its own.
        output = os.path.join(self.workdir, "wineserver.out")
        self._wineserver = self._popen([self._wineserver_path(), "-f", "-p"], output)

        def listening():
            if self._wineserver.poll() is not None:
                raise E2EError(f"wineserver exited ({self._wineserver.returncode}):\n"
                               f"{_tail(output)}")
            return self._server_socket() is not None

        wait_for(listening, "the wineserver to listen")

    def _server_dirs(self):
        """Where the wineserver of this prefix keeps its socket: Debian's builds use a fresh
        /tmp/wine-XXXXXX named in <prefix>/wineserver, others /tmp/.wine-<uid>."""
        named = _read(os.path.join(self.prefix, "wineserver")).decode().strip()
        tmp = os.environ.get("TMPDIR", "/tmp")
        return ([os.path.join(tmp, named)] if named else []) + [
            os.path.join(tmp, f".wine-{os.getuid()}")]

    def _server_socket(self):
        info = os.stat(self.prefix)
        for folder in self._server_dirs():
            socket = os.path.join(folder, f"server-{info.st_dev:x}-{info.st_ino:x}", "socket")
            if os.path.exists(socket):
                return socket
        return None

    def _stop_wineserver(self):
        if self._wineserver is None:
            return
        # Ends every process of the prefix (explorer, services, ...) and the server itself.
        subprocess.run([self._wineserver_path(), "-k"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        try:
            self._wineserver.wait(30)
        except subprocess.TimeoutExpired:
            self._wineserver.kill()
            self._wineserver.wait()
        self._wineserver = None
        named = _read(os.path.join(self.prefix, "wineserver")).decode().strip()
        if named.startswith("wine-"):
            shutil.rmtree(os.path.join(os.environ.get("TMPDIR", "/tmp"), named),
                          ignore_errors=True)

    def reset(self):
        """Kills every program and restarts the wineserver, which gives a fresh desktop.

        Needed after a program that set a hook was killed: unlike Windows, Wine 8 does not remove
        a global hook (other than a low-level one) when the thread that set it dies, so the dead
        program's hook keeps running in every process until the desktop goes.
        """
        for program in self.programs:
            if program.running():
                program.process.kill()
            program.process.wait()
        self._stop_wineserver()
        self._start_wineserver()
        # The first process of a new server runs the start-up tasks (wineboot) beside it; run
        # them here, so that no test program races them.
        self._run_wine(["wineboot"], "wineboot", timeout=120)
        self.killed = False

    def end_programs(self, since=0):
        """Ends the programs still running (those started since the `since`-th): loaders and
        hosts are asked to exit (so the engine detaches normally); any that do not are killed,
        and bring a fresh desktop. Returns the tags of those killed."""
        killed = []
        for program in self.programs[since:]:
            if not program.running():
                continue
            try:
                program.exit(timeout=10)
            except E2EError:
                program.kill()
                killed.append(program.tag)
        if killed:
            self.reset()
        return killed

    # --- the display and Wine ------------------------------------------------------------------
    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                stderr=open(os.path.join(self.workdir, "xvfb.out"), "wb"),
                preexec_fn=_die_with_parent)
            os.close(write_end)
            write_end = None
            # Xvfb picks a free display and writes its number once it accepts clients.
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline or self._xvfb.poll() is not None:
                    raise E2EError("Xvfb did not start:\n" +
                                   _tail(os.path.join(self.workdir, "xvfb.out")))
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise E2EError("Xvfb closed its display pipe:\n" +
                                   _tail(os.path.join(self.workdir, "xvfb.out")))
                number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    @staticmethod
    def _wineserver_path():
        return shutil.which("wineserver") or "/usr/lib/wine/wineserver"

    def _popen(self, argv, output_path, cwd=None, env=None):
        return subprocess.Popen(argv, env=dict(self.env, **(env or {})), cwd=cwd or self.workdir,
                                stdin=subprocess.DEVNULL, stdout=open(output_path, "ab"),
                                stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)

    def _run_wine(self, argv, name, timeout):
        output = os.path.join(self.workdir, name + ".out")
        process = self._popen([WINE64] + argv, output)
        try:
            code = process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise E2EError(f"wine {' '.join(argv)} did not finish in {timeout}s:\n"
                           f"{_tail(output)}") from None
        if code != 0:
            raise E2EError(f"wine {' '.join(argv)} failed ({code}):\n{_tail(output)}")

    def can_run(self, bits):
        """(True, '') when Wine runs programs of this bitness here; (False, the reason) when this
        machine cannot: a kernel without IA-32 code, or a 32-bit loader that only runs through an
        emulator. Anything else that stops them (Wine missing, a broken prefix) is a broken set-up,
        not a kind of machine: E2EError.

        Asks Wine's own cmd.exe of that bitness to run, so the answer is about the machine and
        never about Virel's programs.
        """
        if bits not in self._can_run:
            self._can_run[bits] = self._probe(bits)
        return self._can_run[bits]

    def _probe(self, bits):
        wine = WINE64 if bits == 64 else WINE32
        if not os.path.exists(wine):
            raise E2EError(f"{wine} is missing (make deps installs Wine)")
        output = os.path.join(self.workdir, f"probe{bits}.out")
        try:
            process = self._popen([wine, "cmd.exe", "/c", "exit", "7"], output)
        except OSError as error:
            if error.errno == errno.ENOEXEC:
                return False, ("this kernel runs no 32-bit code (IA-32 emulation is off; boot "
                               "option ia32_emulation=on)")
            raise E2EError(f"{wine} cannot run: {error}") from None
        try:
            code = process.wait(PROBE_SECONDS)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            self.reset()
            return False, (f"Wine's {bits}-bit cmd.exe did not finish in {PROBE_SECONDS}s "
                           f"(is the {bits}-bit loader run through an emulator?)")
        if code != 7:
            # A kernel without IA-32 refuses Wine's 32-bit loader above, before the prefix counts.
            folder = "system32" if bits == 64 else "syswow64"
            if not os.path.exists(os.path.join(self.prefix, "drive_c", "windows", folder, "cmd.exe")):
                raise E2EError(f"the prefix has no {bits}-bit Windows part (wineboot could not make it)")
            raise E2EError(f"Wine's {bits}-bit cmd.exe failed ({code}):\n{_tail(output, 5)}")
        return True, ""

    def program_path(self, bits, kind):
        """Path of a test program of the build: kind "loader", "host", "host_v7", "nullloader", "pump"."""
        return os.path.join(self.build_dir, f"win{bits}", f"virel_{kind}{bits}.exe")

    def spawn(self, bits, exe, args, tag, **env):
        """Starts a Windows program of the given bitness, with env's variables set for it alone;
        its output goes to <tag>.out."""
        if not os.path.exists(exe):
            raise E2EError(f"{exe} does not exist (not built?)")
        wine = WINE64 if bits == 64 else WINE32
        return self._popen([wine, exe] + list(args), os.path.join(self.workdir, tag + ".out"),
                           cwd=os.path.dirname(exe), env=env)

    def _new_tag(self, kind, bits):
        return f"{kind}{bits}-{next(self._tags)}"

    def start_loader(self, bits, hotkey=0x4B, encoding=0, keyboard=0, kind="loader",
                     remove_stale_hooks=False):
        """Starts a loader (in the build folder, beside the engine it imports) and waits until it
        has made its start-up calls. Its load_result tells what LoadVirelEngine returned.

        kind "nullloader" is the same loader linked against a hook that only passes messages on.
        remove_stale_hooks first removes the hooks Wine kept of a killed loader."""
        tag = self._new_tag(kind, bits)
        args = ["--log", winpath(os.path.join(self.workdir, tag + ".log")),
                "--commands", winpath(os.path.join(self.workdir, tag + ".cmd")),
                "--title", tag, "--encoding", str(encoding), "--keyboard", str(keyboard),
                "--hotkey", str(hotkey)]
        if remove_stale_hooks:
            args += ["--remove-stale-hooks", "1"]
        process = self.spawn(bits, self.program_path(bits, kind), args, tag)
        loader = Loader(self, tag, bits, process, self.workdir, tag)
        self.programs.append(loader)
        loader.wait_line(r"ready \S+")
        return loader

    def start_pump(self, bits):
        """Starts the benchmark's message pump and waits until it takes commands."""
        tag = self._new_tag("pump", bits)
        args = ["--log", winpath(os.path.join(self.workdir, tag + ".log")),
                "--commands", winpath(os.path.join(self.workdir, tag + ".cmd")), "--title", tag]
        process = self.spawn(bits, self.program_path(bits, "pump"), args, tag)
        pump = Pump(self, tag, bits, process, self.workdir, tag)
        self.programs.append(pump)
        pump.wait_line(r"ready \S+")
        return pump

    def start_host(self, bits, exe_name=None, edit=False, accelerator=False, version7=False,
                   latency=False, stall_paste_ms=0, second_thread=False):
        """Starts a host with the focus in its text control and waits until it takes input.

        exe_name runs a copy of the host under that file name, which picks the engine's profile
        (the first five letters count): start_host(32, "NOTEPAD.EXE"). edit=True gives a plain
        EDIT control instead of a RichEdit; accelerator=True makes Ctrl+V an accelerator of the
        window (no Ctrl+V character); version7=True runs the copy whose version resource gives
        product version 7 (the OPERA profile wants 7 or more); latency=True logs each key's time
        from its arrival to an empty queue (Host.latencies()); stall_paste_ms makes the host busy
        that long on each Ctrl+V key-down; second_thread=True gives it a second GUI thread that
        keeps taking key messages.
        """
        tag = self._new_tag("host", bits)
        exe = self.program_path(bits, "host_v7" if version7 else "host")
        if exe_name:
            folder = os.path.join(self.workdir, tag)
            os.makedirs(folder)
            exe = shutil.copy(exe, os.path.join(folder, exe_name))
        ready = os.path.join(self.workdir, tag + ".ready")
        args = ["--log", winpath(os.path.join(self.workdir, tag + ".log")),
                "--commands", winpath(os.path.join(self.workdir, tag + ".cmd")),
                "--ready", winpath(ready), "--title", tag]
        args += ["--out", winpath(os.path.join(self.workdir, tag + ".final")),
                 "--out-ansi", winpath(os.path.join(self.workdir, tag + ".final-ansi"))]
        if edit:
            args += ["--edit", "1"]
        if accelerator:
            args += ["--accelerator", "1"]
        if latency:
            args += ["--latency", "1"]
        if stall_paste_ms:
            args += ["--stall-paste-ms", str(stall_paste_ms)]
        if second_thread:
            args += ["--second-thread", "1"]
        process = self.spawn(bits, exe, args, tag)
        host = Host(self, tag, bits, process, self.workdir, tag, edit=edit)
        self.programs.append(host)
        wait_for(lambda: host._check_alive("its ready file") or os.path.exists(ready),
                 f"{tag} to be ready", diagnostics=self.diagnostics)
        host.x_window = self.find_window(tag)
        return host

    # --- X -------------------------------------------------------------------------------------
    def xdotool(self, *args, timeout=DEFAULT_TIMEOUT):
        try:
            result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.x_env,
                                    capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f"xdotool {' '.join(map(str, args))} did not finish in "
                           f"{timeout:.0f}s\n{self.diagnostics()}") from None
        if result.returncode != 0:
            raise E2EError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def find_window(self, title, timeout=DEFAULT_TIMEOUT):
        """The X window id of the top-level window with exactly this title; waits for it."""
        ids = self.xdotool("search", "--sync", "--name", f"^{re.escape(title)}$",
                           timeout=timeout).split()
        if len(ids) != 1:
            raise E2EError(f"expected one window titled {title}, found {ids}")
        return ids[0]

    def screenshot(self, path):
        """Saves the whole display as a PNG file (xwd, converted here); returns the path."""
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.display],
                             capture_output=True, timeout=60, check=True).stdout
        with open(path, "wb") as f:
            f.write(xwd_to_png(xwd))
        return path

    # --- reports -------------------------------------------------------------------------------
    def diagnostics(self):
        return "\n".join(p.diagnostics() for p in self.programs[-4:])
