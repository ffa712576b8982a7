#!/usr/bin/env python3
"""The converter's measures (make bench):

1. round trip: every word of the Tamil dictionary (aspell-ta) written in each 8-bit encoding and
   read back; the words that do not come back, by reason.
2. engine: the word list (engine/unicode/tests/data/words.tsv) typed through the engine
   (build/native/virel_type) in every layout and 8-bit encoding, read back by virelconv: the
   words that read as themselves.
3. glibc: iconv's TSCII converter against virelconv on the dictionary, both directions, every
   difference with its reason.
4. speed and memory: virelconv of an -O2 build (build/bench-native) decoding and encoding a
   100 MB file of dictionary text in each encoding: MB of input per second of its CPU time (one
   core) and its largest resident size.

    python3 convert/bench/convert_bench.py [--quick] [--out build/bench]

Writes <out>/convert.json and prints a table, each figure beside its aim. --quick (make test) uses
a 2 MB file, and the sanitized build where there is no -O2 one: its speeds mean nothing.
"""
import argparse
import json
import os
import subprocess
import sys
import unicodedata

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORDS_FILE = os.path.join(REPO, "engine", "unicode", "tests", "data", "words.tsv")
ENCODINGS = ["tscii", "tab", "tam", "lipi", "t_old"]
LAYOUTS = ["phonetic", "Tamil99", "New Typewriter", "Old Typewriter"]
E_SIGN, LA, O = "\u0bc6", "\u0bb3", "\u0b92"
GRANTHA_TSCII = range(0x83, 0x88)  # ஜ ஷ ஸ ஹ க்ஷ
PREFIX_TSCII = (0xA6, 0xA7, 0xA8)  # ெ ே ை


def dictionary():
    out = subprocess.run(["aspell", "-l", "ta", "dump", "master"], check=True,
                         capture_output=True).stdout.decode()
    return [w for w in out.split("\n") if w]


def convert(program, source, target, data):
    done = subprocess.run([program, "--from", source, "--to", target, "-"], input=data,
                          capture_output=True)
    if done.returncode not in (0, 1):
        raise SystemExit(f"virelconv {source} -> {target} failed: {done.stderr.decode()}")
    return done.stdout


def lines(data):
    return data.split(b"\n")


def au_mark_spelling(word):
    """ெ + consonant + ள, or ஒ + ள, with no sign on the ள: the bytes of ௌ or ஔ where the mark is ள."""
    for i, ch in enumerate(word):
        if ch != LA or i == 0:
            continue
        if i + 1 < len(word) and unicodedata.category(word[i + 1]).startswith("M"):
            continue
        if word[i - 1] in (E_SIGN, O):
            return True
    return False


# --- 1. round trip ---------------------------------------------------------------------------
def round_trip(program, words):
    text = ("\n".join(words) + "\n").encode()
    result = {}
    for encoding in ENCODINGS:
        written = convert(program, "unicode", encoding, text)
        back = convert(program, encoding, "unicode", written).decode().split("\n")
        failed = [w for w, b in zip(words, back) if w != b]
        reasons = {}
        for w in failed:
            reason = ("au length mark drawn as ள" if au_mark_spelling(w) and encoding != "tscii"
                      else "unexplained")
            reasons.setdefault(reason, []).append(w)
        result[encoding] = {"words": len(words), "back": len(words) - len(failed),
                            "rate": (len(words) - len(failed)) / len(words),
                            "representable_rate": (len(words) - len(reasons.get("unexplained", [])))
                            / len(words),
                            "failed": {r: ws for r, ws in reasons.items()}}
    return result


# --- 2. engine agreement ---------------------------------------------------------------------
def engine_agreement(program, virel_type):
    rows = []
    with open(WORDS_FILE, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                rows.append(line.rstrip("\n").split("\t"))
    targets = [(e, i + 1, None) for i, e in enumerate(ENCODINGS)] + [("tam in KAVIT", 3, "KAVITHAI.EXE")]
    result = {}
    for name, number, exe in targets:
        source = ENCODINGS[number - 1]
        agree, total, differ = 0, 0, []
        for layout in range(4):
            keys = "".join(r[1 + layout] + "\n" for r in rows).encode()
            argv = [virel_type, str(number), str(layout)] + ([exe] if exe else [])
            typed = subprocess.run(argv, input=keys, capture_output=True, check=True).stdout.decode()
            data = b"\n".join(bytes(int(h, 16) for h in line.split()) for line in typed.split("\n"))
            read = convert(program, source, "unicode", data).decode().split("\n")
            for row, text in zip(rows, read):
                total += 1
                # ொ and ோ typed in two parts read as one code point: the same text.
                if unicodedata.normalize("NFC", text) == unicodedata.normalize("NFC", row[0]):
                    agree += 1
                else:
                    differ.append({"word": row[0], "layout": LAYOUTS[layout], "keys": row[1 + layout],
                                   "read": text})
        result[name] = {"typed": total, "agree": agree, "differ": differ}
    return result


# --- 3. glibc iconv --------------------------------------------------------------------------
def iconv(source, target, data):
    return subprocess.run(["iconv", "-f", source, "-t", target], input=data, capture_output=True,
                          check=True).stdout


def glibc_reason(word, ours, theirs):
    if any(b in GRANTHA_TSCII and i + 1 < len(theirs) and theirs[i + 1] in PREFIX_TSCII
           for i, b in enumerate(theirs)):
        return ("glibc wrong: it writes ெ ே ை after a grantha consonant (ஜ ஷ ஸ ஹ க்ஷ), TSCII fonts "
                "draw them before every consonant as they stand (glibc reorders only the 18 Tamil "
                "consonants)")
    if 0xB6 in theirs and bytes([0xB4, 0xAA]) in ours:
        return ("TSCII allows both: ஔ as its own glyph 0xB6 (glibc) or ஒ + au length mark B4 AA "
                "(the engine's tables have no ஔ glyph)")
    return "unexplained"


def glibc(program, words):
    text = ("\n".join(words) + "\n").encode()
    ours = lines(convert(program, "unicode", "tscii", text))
    theirs = lines(iconv("UTF-8", "TSCII", text))
    ours_by_glibc = iconv("TSCII", "UTF-8", b"\n".join(ours)).decode().split("\n")
    theirs_by_us = convert(program, "tscii", "unicode", b"\n".join(theirs)).decode().split("\n")
    differences = {"encode": {}, "glibc reads ours": {}, "we read glibc's": {}}
    for i, word in enumerate(words):
        reason = glibc_reason(word, ours[i], theirs[i])
        if ours[i] != theirs[i]:
            differences["encode"].setdefault(reason, []).append(word)
        if ours_by_glibc[i] != word:
            r = reason
            if unicodedata.normalize("NFC", ours_by_glibc[i]) == word:
                r = "canonically equivalent: glibc reads B4 AA as ஒ + ௗ, two code points for ஔ"
            differences["glibc reads ours"].setdefault(r, []).append(word)
        if theirs_by_us[i] != word:
            r = reason
            if 0xB6 in theirs[i]:
                r = "0xB6 (TSCII's ஔ glyph) is not in the engine's tables: read as U+FFFD"
            differences["we read glibc's"].setdefault(r, []).append(word)
    return {"words": len(words), "differences": differences}


# --- 4. speed and memory ---------------------------------------------------------------------
MEASURE = ("import resource, subprocess, sys\n"
           "with open(sys.argv[2], 'rb') as i, open('/dev/null', 'wb') as o:\n"
           "    subprocess.run(sys.argv[3:], stdin=i, stdout=o, stderr=subprocess.DEVNULL)\n"
           "u = resource.getrusage(resource.RUSAGE_CHILDREN)\n"
           "print(u.ru_utime + u.ru_stime, u.ru_maxrss)\n")


def measure(program, source, target, path):
    out = subprocess.run([sys.executable, "-c", MEASURE, "x", path, program, "--from", source,
                          "--to", target, "-"], capture_output=True, check=True).stdout.split()
    seconds, rss_kb = float(out[0]), int(out[1])
    mb = os.path.getsize(path) / 1e6
    return {"input_mb": mb, "cpu_s": seconds, "mb_per_s": mb / seconds, "max_rss_kb": rss_kb}


def speed(program, words, work, size):
    os.makedirs(work, exist_ok=True)
    block = (" ".join(words) + "\n").encode()
    result = {}
    unicode_path = os.path.join(work, "unicode.txt")
    with open(unicode_path, "wb") as f:
        for _ in range(size // len(block) + 1):
            f.write(block)
    for encoding in ENCODINGS:
        one = convert(program, "unicode", encoding, block)
        path = os.path.join(work, encoding + ".txt")
        with open(path, "wb") as f:
            for _ in range(size // len(one) + 1):
                f.write(one)
        result[f"decode {encoding}"] = measure(program, encoding, "unicode", path)
        result[f"encode {encoding}"] = measure(program, "unicode", encoding, unicode_path)
        os.remove(path)
    small = os.path.join(work, "small.txt")
    with open(small, "wb") as f:
        f.write(block[:1000])
    result["unicode -> tscii (a small file, for the memory floor)"] = measure(program, "unicode", "tscii", small)
    os.remove(unicode_path)
    os.remove(small)
    return result


# --- report ----------------------------------------------------------------------------------
def report(r):
    out = ["| Measure | Figure | Aim |", "|---|---|---|"]
    for e, v in r["round_trip"].items():
        failed = ", ".join(f"{len(ws)} {reason}" for reason, ws in v["failed"].items()) or "none"
        out.append(f"| Round trip, {e.upper()}, {v['words']:,} dictionary words | {100 * v['rate']:.2f}% "
                   f"({failed}); of what {e.upper()} can tell apart: {100 * v['representable_rate']:.2f}% | 100% |")
    for name, v in r["engine"].items():
        out.append(f"| Engine's typing read back, {name.upper()}: word list × 4 layouts reading as the word | "
                   f"{v['agree']} / {v['typed']} | all |")
    g = r["glibc"]["differences"]
    for direction, classes in g.items():
        text = "; ".join(f"{len(ws)}: {reason.split(':')[0]}" for reason, ws in classes.items()) or "none"
        out.append(f"| glibc TSCII, {direction}, words differing | {sum(map(len, classes.values()))} "
                   f"({text}) | each explained |")
    s = r["speed"]
    if s:
        dec = [v["mb_per_s"] for k, v in s.items() if k.startswith("decode")]
        enc = [v["mb_per_s"] for k, v in s.items() if k.startswith("encode")]
        rss = max(v["max_rss_kb"] for k, v in s.items() if v and not k.startswith("unicode"))
        floor = s["unicode -> tscii (a small file, for the memory floor)"]["max_rss_kb"]
        mb = max(v["input_mb"] for v in s.values() if v)
        out.append(f"| Decode, MB of 8-bit input per CPU second (one core) | {min(dec):.0f} to {max(dec):.0f} | ≥ 50 |")
        out.append(f"| Encode, MB of UTF-8 input per CPU second (one core) | {min(enc):.0f} to {max(enc):.0f} | ≥ 50 |")
        out.append(f"| Largest resident size on a {mb:.0f} MB file (a 1 kB file: {floor / 1024:.1f} MB) | "
                   f"{rss / 1024:.1f} MB | constant |")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--out", default=os.path.join(REPO, "build", "bench"))
    options = parser.parse_args()
    build = os.environ.get("VIREL_BUILD") or os.path.join(REPO, "build")
    checked = os.path.join(build, "native", "virelconv")
    fast = os.path.join(build, "bench-native", "virelconv")
    if options.quick and not os.path.exists(fast):
        fast = checked  # the figures of --quick mean nothing
    virel_type = os.path.join(build, "native", "virel_type")
    os.makedirs(options.out, exist_ok=True)
    words = dictionary()
    results = {"round_trip": round_trip(fast, words),
               "engine": engine_agreement(checked, virel_type),
               "glibc": glibc(fast, words),
               "speed": speed(fast, words, os.path.join(options.out, "convert-work"),
                              (2 if options.quick else 100) * 1000 * 1000)}
    with open(os.path.join(options.out, "convert.json"), "w", encoding="utf-8") as f:
        json.dump(results, f, indent=1, ensure_ascii=False)
    print(report(results))
    for name, v in results["engine"].items():
        for d in v["differ"]:
            print(f"  engine, {name}: {d}")
    for direction, classes in results["glibc"]["differences"].items():
        for reason, ws in classes.items():
            print(f"  glibc, {direction}: {len(ws)} words, {reason}; e.g. {' '.join(ws[:3])}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
