"""Runs typing cases against both bitnesses of the engine, one loader a bitness kept across cases.

A case is (name, function(run)); run.loader() gives the bitness's loader, started again after
a case that broke it. Every case is reported PASS, FAIL or (32-bit programs that cannot run
here) SKIP; a machine whose Wine cannot run 64-bit programs fails them all.
"""

import time
import traceback

from winehost import E2EError, WineSession


class Run:
    """One bitness's loader, kept across cases; started again after a case that broke it."""

    def __init__(self, wine, bits, encoding):
        self.wine = wine
        self.bits = bits
        self.encoding = encoding
        self._loader = None

    def loader(self):
        if self._loader is None or not self._loader.running():
            self._loader = self.wine.start_loader(self.bits, encoding=self.encoding)
            if self._loader.load_result != 1:
                raise E2EError(f"LoadVirelEngine returned {self._loader.load_result}")
        return self._loader

    def forget_loader(self):
        self._loader = None

    def start_typing(self, layout, encoding=None, exe_name=None, edit=False, **host_options):
        """A fresh host set up for the layout (and encoding, if given), with Tamil on."""
        loader = self.loader()
        if encoding is not None:
            loader.set_encoding(encoding)
        loader.set_keyboard(layout)
        host = self.wine.start_host(self.bits, exe_name=exe_name, edit=edit, **host_options)
        before = len(loader.toggles())
        host.keys("alt+k")
        loader.barrier()
        # The first press in a process sets it up (tables of the encoding) and turns Tamil on.
        posted = loader.toggles()[before:]
        if posted != [1]:
            raise E2EError(f"the toggle key in a new host posted {posted}, not [1]")
        return host


def finish(host):
    """Ends a host, which must exit cleanly."""
    if host.exit() != 0:
        raise E2EError(f"{host.tag} exited with a failure code")


def run_cases(cases, encoding):
    """Runs every case in both bitnesses; returns the process exit status (1 when any failed)."""
    started = time.monotonic()
    failures = 0
    with WineSession() as wine:
        print(f"wine session on display {wine.display} ({time.monotonic() - started:.1f}s)",
              flush=True)
        for bits in (64, 32):
            runnable, reason = wine.can_run(bits)
            if not runnable:
                print(f"{bits}-bit programs cannot run here: {reason}", flush=True)
            run = Run(wine, bits, encoding)
            for name, case in cases:
                if not runnable:
                    # Wine without 64-bit programs is a broken set-up, not a kind of machine.
                    outcome = "SKIP" if bits == 32 else "FAIL"
                    failures += outcome == "FAIL"
                    print(f"{outcome} {bits}-bit: {name}", flush=True)
                    continue
                case_started = time.monotonic()
                try:
                    case(run)
                    outcome = "PASS"
                except Exception as error:  # report every case, whatever broke
                    outcome = "FAIL"
                    failures += 1
                    if isinstance(error, E2EError):
                        print(f"     {error}", flush=True)
                    else:
                        traceback.print_exc()
                    # End what the case left; a program that had to be killed gets a fresh
                    # desktop (Wine keeps a killed program's hooks), and a new loader.
                    killed = wine.end_programs()
                    if killed:
                        print(f"     killed: {', '.join(killed)}", flush=True)
                    run.forget_loader()
                elapsed = time.monotonic() - case_started
                print(f"{outcome} {bits}-bit: {name} ({elapsed:.1f}s)", flush=True)
            if runnable:
                killed = wine.end_programs()
                if killed:
                    failures += 1
                    print(f"FAIL {bits}-bit: programs that did not exit when asked, killed: "
                          f"{', '.join(killed)}", flush=True)
    print(f"{failures} failed, {time.monotonic() - started:.1f}s in all", flush=True)
    return 1 if failures else 0
