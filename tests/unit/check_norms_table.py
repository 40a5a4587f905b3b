#!/usr/bin/env python3
"""Derives the norms table again from the data set and compares it with the shipped one.

usage: check_norms_table.py derive_norms.py bds_trials.csv norms_table.csv
Exit 0 when they are the same bytes, 1 when they differ, 77 (skipped) without the data set.
"""

import difflib
import os
import subprocess
import sys


def main(script, trials, shipped):
    if not os.path.isfile(trials):
        print(f"skipped: the data set {trials} is not at hand")
        return 77
    derived = subprocess.run([sys.executable, script, trials], check=True,
                             capture_output=True).stdout
    with open(shipped, "rb") as f:
        expected = f.read()
    if derived == expected:
        print(f"{shipped}: the same {len(expected)} bytes as derived from {trials}")
        return 0
    print(f"{shipped} differs from the table derived from {trials}:")
    sys.stdout.writelines(difflib.unified_diff(
        expected.decode().splitlines(True), derived.decode().splitlines(True),
        "shipped", "derived"))
    return 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
