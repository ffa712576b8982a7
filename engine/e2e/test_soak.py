#!/usr/bin/env python3
"""Soak under Wine, both builds: long typing while everything around it changes.

For each bitness a loader runs the engine as the tray program does, and a random but seeded run
types VIREL_SOAK_KEYS keys (default 1500, under a minute for both; make soak types 20,000) in
bursts of words from engine/unicode/tests/data/words.tsv and Latin text, with the toggle key
pressed at random. Between bursts: hosts are started and ended, the encoding and the layout change,
once the loader is killed and started again, and once a host is killed in the middle of a word.

Checks: no host ends but by the test's hand; the toggle messages the loader gets are the states
the presses must give (so after the restart the hook works again, once); each host's text, read
now and then and when it ends, is exactly what the engine gives the same history in the native
host model (build/native/virel_type, with its between-key escapes for what other processes did).

Expected texts follow the engine's rules: a host is set up by its first toggle press (which turns
Tamil on for all) and types Latin before; the encoding, keyboard, Tamil state and syllable-table
flag are shared, so a host set up under one encoding keeps its tables when the encoding changes
and composes with the new flags. Under Wine a killed loader's hook stays installed and the engine
stays mapped in the hosts: the new loader removes the stale hook (--remove-stale-hooks), and the
hosts keep their state across the restart.

VIREL_SOAK_SEED picks the run (default 11); a failure prints the seed and the host's history.
"""

import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from caserun import fresh_desktop, run_cases  # noqa: E402
from typing_run import read_words  # noqa: E402
from winehost import REPO, E2EError  # noqa: E402

LATIN = "the quick brown fox jumps over 12 lazy dogs and 3 cats".split()
MAX_HOSTS = 3
DELAY_MS = 10


def units_of_text(text):
    """The host's text as units, an ANSI character (a posted 8-bit byte) by its byte."""
    units = []
    for ch in text:
        try:
            encoded = ch.encode("cp1252")
            units.append(encoded[0] if len(encoded) == 1 else ord(ch))
        except UnicodeEncodeError:
            units.append(ord(ch))
    return units


def syllable_tables_after_setup(encoding, before):
    # What a set-up in a host without a profile leaves in the shared flag: TSCII, TAB and Unicode
    # clear it, T_OLD sets it, TAM and LIPI leave it.
    return {0: 0, 1: 0, 2: 0, 5: 1}.get(encoding, before)


class HostModel:
    """A host and the history that predicts its text."""

    def __init__(self, host):
        self.host = host
        self.latin = ""     # typed before the first toggle press: reaches the control unchanged
        self.ready = False
        self.setup = None   # (encoding, keyboard) at the set-up
        self.script = ""    # virel_type's line: keys and between-key escapes
        self.seen = {}      # the shared state as the script last left it

    def expected_units(self, virel_type):
        units = [ord(c) for c in self.latin]
        if not self.ready:
            return units
        encoding, keyboard = self.setup
        out = subprocess.run([virel_type, str(encoding), str(keyboard)], input=self.script + "\n",
                             capture_output=True, text=True, check=True).stdout.rstrip("\n")
        if encoding == 0:
            return units + [ord(c) for c in out]
        return units + [int(token, 16) for token in out.split()]


class Soak:
    def __init__(self, wine, bits, keys, rng, virel_type):
        self.wine, self.bits, self.keys_wanted, self.rng = wine, bits, keys, rng
        self.virel_type = virel_type
        self.words = list(read_words().values())  # keys of each word by keyboard number
        self.shared = {"tamil": 1, "encoding": rng.randrange(6), "keyboard": rng.randrange(4),
                       "syllable": 0}
        self.hosts = []
        self.loader = None
        self.expected_toggles = []
        self.stats = dict(keys=0, toggles=0, started=0, ended=0, killed=0, checks=0,
                          encodings=0, layouts=0, restarts=0)

    # --- the programs ----------------------------------------------------------------------------
    def start_loader(self, after_kill=False):
        self.loader = self.wine.start_loader(self.bits, encoding=self.shared["encoding"],
                                             keyboard=self.shared["keyboard"],
                                             remove_stale_hooks=after_kill)
        if self.loader.load_result != 1:
            raise E2EError(f"LoadVirelEngine returned {self.loader.load_result}")
        self.expected_toggles = []

    def start_host(self):
        model = HostModel(self.wine.start_host(self.bits))
        self.hosts.append(model)
        self.stats["started"] += 1
        return model

    def end_host(self, model):
        self.check_text(model)
        text = model.host.text()
        if model.host.exit() != 0:
            raise E2EError(f"{model.host.tag} exited with a failure code")
        if model.host.final_text() != text:
            raise E2EError(f"{model.host.tag} saved {model.host.final_text()!r}, showed {text!r}")
        self.hosts.remove(model)
        self.stats["ended"] += 1

    def check_alive(self):
        for model in self.hosts:
            if not model.host.running():
                raise E2EError(f"{model.host.tag} ended by itself "
                               f"({model.host.process.returncode})\n{self.wine.diagnostics()}")
        if not self.loader.running():
            raise E2EError(f"{self.loader.tag} ended by itself\n{self.wine.diagnostics()}")

    def check_toggles(self):
        self.loader.barrier()
        if self.loader.toggles() != self.expected_toggles:
            raise E2EError(f"{self.loader.tag} got toggle messages {self.loader.toggles()}, "
                           f"expected {self.expected_toggles}")

    def check_text(self, model):
        expected = model.expected_units(self.virel_type)
        actual = units_of_text(model.host.text())
        self.stats["checks"] += 1
        if actual != expected:
            raise E2EError(
                f"{model.host.tag}: the text differs from the engine's in the host model\n"
                f"     set up {model.setup}, Latin before it {model.latin!r}\n"
                f"     history (virel_type {' '.join(map(str, model.setup or ()))}): "
                f"{model.script!r}\n"
                f"     expected {' '.join(f'{u:X}' for u in expected)}\n"
                f"     actual   {' '.join(f'{u:X}' for u in actual)}")

    # --- typing ----------------------------------------------------------------------------------
    def sync(self, model):
        """Brings the script up to the shared state: what other processes and the loader did."""
        for name, escape in (("tamil", None), ("encoding", "e"), ("keyboard", "l"),
                             ("syllable", "s")):
            if model.seen[name] != self.shared[name]:
                if name == "tamil":
                    model.script += "\\+" if self.shared[name] else "\\-"
                else:
                    model.script += f"\\{escape}{self.shared[name]}"
                model.seen[name] = self.shared[name]

    def press_toggle(self, model):
        if model.ready:
            self.shared["tamil"] ^= 1
            model.script += "\\k"
            model.seen["tamil"] = self.shared["tamil"]
        else:
            # The first press sets the host up with the encoding of the moment, Tamil on.
            model.ready = True
            model.setup = (self.shared["encoding"], self.shared["keyboard"])
            model.seen = dict(self.shared, tamil=1,
                              syllable=syllable_tables_after_setup(self.shared["encoding"], 0))
            self.shared["tamil"] = 1
            self.shared["syllable"] = syllable_tables_after_setup(self.shared["encoding"],
                                                                  self.shared["syllable"])
            self.sync(model)
        self.expected_toggles.append(self.shared["tamil"])
        self.stats["toggles"] += 1

    def type_keys(self, model, keys):
        if model.ready:
            model.script += keys
        else:
            model.latin += keys
        self.stats["keys"] += len(keys)

    def burst(self, model, count, pieces=None):
        """Types pieces into the host (given, or `count` random ones), then waits until it has
        taken them. A piece is the toggle key (None; 15% of random ones), else keys: a word and a
        space, Tamil keys of the layout while Tamil is on there, Latin or layout keys while it is
        not. Tamil is never left in the middle of a word at random, where an Old Typewriter dead
        key would leave its mode in the shared block for the next host."""
        if model.ready:
            self.sync(model)
        model.host.focus()
        if pieces is None:
            pieces = [None if self.rng.random() < 0.15 else "" for _ in range(count)]
        for piece in pieces:
            if piece is None:
                self.wine.xdotool("key", "alt+k")
                self.press_toggle(model)
                continue
            if not piece:
                tamil = model.ready and self.shared["tamil"]
                if tamil or self.rng.random() < 0.5:
                    piece = self.rng.choice(self.words)[self.shared["keyboard"]] + " "
                else:
                    piece = self.rng.choice(LATIN) + " "
            self.wine.xdotool("type", "--delay", str(DELAY_MS), "--", piece)
            self.type_keys(model, piece)
        model.host.settle(timeout=60)

    # --- the events ------------------------------------------------------------------------------
    def change(self, name, exported, choices=None):
        value = self.rng.choice(choices or range(6 if name == "encoding" else 4))
        exported(value)
        self.shared[name] = value
        self.stats["encodings" if name == "encoding" else "layouts"] += 1

    def kill_loader(self):
        self.loader.kill()
        self.start_loader(after_kill=True)
        self.stats["restarts"] += 1
        # The hook works again, once: a press in a set-up host toggles exactly once.
        ready = [m for m in self.hosts if m.ready] or self.hosts[:1]
        self.burst(ready[0], 1, [None])
        self.check_toggles()

    def kill_host_mid_word(self):
        model = next((m for m in self.hosts if m.ready), None)
        if model is None:
            return
        if self.shared["keyboard"] == 3:
            # An Old Typewriter dead key would leave its mode in the shared block for the next host.
            self.change("keyboard", self.loader.set_keyboard, choices=range(3))
        keys = next(w[self.shared["keyboard"]] for w in self.rng.sample(self.words, len(self.words))
                    if len(w[self.shared["keyboard"]]) >= 3)
        if not self.shared["tamil"]:
            self.burst(model, 1, [None])
        self.burst(model, 1, [keys[:2]])
        model.host.kill()
        self.hosts.remove(model)
        self.stats["killed"] += 1

    def run(self):
        self.start_loader()
        self.start_host()
        events_at = {int(self.keys_wanted * 0.5): self.kill_loader,
                     int(self.keys_wanted * 0.3): self.kill_host_mid_word}
        while self.stats["keys"] < self.keys_wanted:
            due = [k for k in events_at if k <= self.stats["keys"]]
            for k in sorted(due):
                events_at.pop(k)()
            roll = self.rng.random()
            if roll < 0.08 and len(self.hosts) < MAX_HOSTS or not self.hosts:
                self.start_host()
            elif roll < 0.14 and len(self.hosts) > 1:
                self.end_host(self.rng.choice(self.hosts))
            elif roll < 0.19:
                self.change("encoding", self.loader.set_encoding)
            elif roll < 0.24:
                self.change("keyboard", self.loader.set_keyboard)
            else:
                model = self.rng.choice(self.hosts)
                self.burst(model, self.rng.randint(2, 6))
                if self.rng.random() < 0.25:
                    self.check_text(model)
            self.check_alive()
            self.check_toggles()
        for model in list(self.hosts):
            self.end_host(model)
        if self.loader.exit() != 0:
            raise E2EError(f"{self.loader.tag} exited with a failure code")


def main():
    keys = int(os.environ.get("VIREL_SOAK_KEYS", "1500"))
    seed = int(os.environ.get("VIREL_SOAK_SEED", "11"))
    build = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
    virel_type = os.path.join(build, "native", "virel_type")
    if not os.path.exists(virel_type):
        raise SystemExit(f"{virel_type} does not exist (make native)")

    def soak(wine, bits):
        run = Soak(wine, bits, keys, random.Random(seed * 100 + bits), virel_type)
        try:
            run.run()
        except E2EError as error:
            raise E2EError(f"seed {seed}, {bits}-bit: {error}\n     {run.stats}") from None
        return ", ".join(f"{k} {v}" for k, v in run.stats.items())

    # Each bitness on a fresh desktop: no hook of the other left.
    return run_cases("soak", [("soak", soak)], fresh_desktop)


if __name__ == "__main__":
    sys.exit(main())
