#!/usr/bin/env python3
"""Puts the dialog's window class name back into its own spelling in a compiled .res file.

windres upper-cases the name given by a dialog's CLASS statement ("VirelClass" becomes
"VIRELCLASS"). Windows matches class names without regard to case, but the template should say
what the program registers. Usage: keep_class_case.py IN.res OUT.res VirelClass
"""
import sys


def main(source, target, name):
    with open(source, "rb") as f:
        data = f.read()
    upper = (name.upper() + "\0").encode("utf-16-le")
    if data.count(upper) != 1:
        sys.exit(f"keep_class_case: expected {name.upper()!r} once in {source}, found it {data.count(upper)} times")
    with open(target, "wb") as f:
        f.write(data.replace(upper, (name + "\0").encode("utf-16-le")))


if __name__ == "__main__":
    main(*sys.argv[1:])
