"""Typing cases against both bitnesses of the engine (run with caserun.run_cases): one loader a
bitness, kept across cases; started again before the case after one that ended it.

A case is (name, function(run, bits)); run.start_typing() gives a fresh host with Tamil on.
"""

import os

from winehost import REPO, E2EError

WORDS_FILE = os.path.join(REPO, "engine", "unicode", "tests", "data", "words.tsv")


def read_words():
    """The word list (engine/unicode/tests/data/words.tsv) as {word: [keys by layout]}."""
    with open(WORDS_FILE, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f
                if line.strip() and not line.startswith("#")]
    return {row[0]: row[1:5] for row in rows}


class Run:
    """One bitness's loader, kept across cases; started again after a case that ended it."""

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


def typing_setup(encoding):
    """The caserun setup of typing cases: each gets its bitness's Run, its loader running (with
    `encoding` selected when it starts)."""
    runs = {}

    def setup(wine, bits):
        run = runs.setdefault(bits, Run(wine, bits, encoding))
        run.loader()
        return run

    return setup


def finish(host):
    """Ends a host, which must exit cleanly."""
    if host.exit() != 0:
        raise E2EError(f"{host.tag} exited with a failure code")
