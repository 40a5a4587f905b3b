#!/usr/bin/env python3
"""Derives the reference values (norms) of the program from the public balance data set.

Reads the per-trial table of Santos & Duarte's data set (bds_trials.csv: one row per trial with
the data set's own 95 % ellipse area in cm^2, mean velocity in cm/s and mean frequency in Hz) and
writes the norms table the program compiles in:

  - per subject and condition (vision x surface) the median of that subject's trials (an even
    count takes the mean of the two middle values);
  - per age group x vision x surface, over those subject medians: the number of subjects, the
    mean, the sample standard deviation (divisor n - 1) and the 5th, 25th, 50th, 75th and 95th
    percentiles, the p-th being the value at position 1 + (n - 1) p / 100 of the sorted values,
    interpolated linearly between its two neighbours;
  - in the program's units: area95_mm2 = 100 x cm^2, velocity_mm_s = 10 x cm/s, mean_freq_hz
    as it is.

Rows are sorted by age group, vision and surface, each alphabetically as the data set spells
them (Old before Young, Closed before Open, Firm before Foam), then by measure in the order
area95_mm2, velocity_mm_s, mean_freq_hz. Numbers carry 12 significant digits.

Python 3 standard library only.

usage: derive_norms.py bds_trials.csv [-o norms_table.csv]
"""

import argparse
import csv
import io
import math
import os
import sys
import tempfile

HEADER = "age_group,vision,surface,measure,n,mean,sd,p5,p25,p50,p75,p95"
PERCENTILES = (5, 25, 50, 75, 95)
# (name in the table, column of the data set, factor to the program's unit)
MEASURES = (
    ("area95_mm2", "cop_area95_cm2", 100.0),
    ("velocity_mm_s", "cop_velocity_cm_s", 10.0),
    ("mean_freq_hz", "cop_mean_freq_hz", 1.0),
)
KEY_COLUMNS = ("subject", "age_group", "vision", "surface")


def median(values):
    ordered = sorted(values)
    n = len(ordered)
    middle = n // 2
    if n % 2 == 1:
        return ordered[middle]
    return (ordered[middle - 1] + ordered[middle]) / 2.0


def percentile(ordered, p):
    """The p-th percentile of sorted values: position 1 + (n - 1) p / 100, linear between."""
    position = (len(ordered) - 1) * p / 100.0  # counted from 0
    below = math.floor(position)
    above = min(below + 1, len(ordered) - 1)
    fraction = position - below
    return ordered[below] + fraction * (ordered[above] - ordered[below])


def summary(values):
    n = len(values)
    mean = sum(values) / n
    sd = math.sqrt(sum((v - mean) ** 2 for v in values) / (n - 1)) if n > 1 else float("nan")
    ordered = sorted(values)
    return n, mean, sd, [percentile(ordered, p) for p in PERCENTILES]


def read_trials(path):
    """Per (age group, vision, surface, subject): the list of trials, each a dict of measures."""
    groups = {}
    with open(path, newline="", encoding="utf-8") as f:
        reader = csv.DictReader(f)
        missing = [c for c in KEY_COLUMNS + tuple(m[1] for m in MEASURES)
                   if c not in (reader.fieldnames or [])]
        if missing:
            raise ValueError(f"{path}: columns missing: {', '.join(missing)}")
        for line, row in enumerate(reader, start=2):
            key = (row["age_group"], row["vision"], row["surface"], row["subject"])
            try:
                trial = {name: float(row[column]) * factor for name, column, factor in MEASURES}
            except ValueError as error:
                raise ValueError(f"{path}, line {line}: {error}") from None
            groups.setdefault(key, []).append(trial)
    return groups


def norms_table(groups):
    """The table as CSV text."""
    # The subjects' medians per group and measure.
    medians = {}
    for (age_group, vision, surface, _subject), trials in groups.items():
        for name, _column, _factor in MEASURES:
            medians.setdefault((age_group, vision, surface, name), []).append(
                median([t[name] for t in trials]))
    order = {name: i for i, (name, _c, _f) in enumerate(MEASURES)}
    keys = sorted(medians, key=lambda k: (k[0], k[1], k[2], order[k[3]]))
    out = io.StringIO()
    out.write(HEADER + "\n")
    for key in keys:
        n, mean, sd, cuts = summary(medians[key])
        numbers = ",".join("%.12g" % v for v in [mean, sd] + cuts)
        out.write(f"{','.join(key)},{n},{numbers}\n")
    return out.getvalue()


def write_atomically(path, text):
    folder = os.path.dirname(os.path.abspath(path))
    fd, temporary = tempfile.mkstemp(prefix=".norms-", dir=folder)
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main(argv):
    parser = argparse.ArgumentParser(description="Derive the norms table from bds_trials.csv.")
    parser.add_argument("trials", help="bds_trials.csv of the public balance data set")
    parser.add_argument("-o", "--output", help="the table to write (default: standard output)")
    args = parser.parse_args(argv)
    try:
        text = norms_table(read_trials(args.trials))
        if args.output:
            write_atomically(args.output, text)
        else:
            sys.stdout.write(text)
    except (OSError, ValueError) as error:
        print(f"derive_norms.py: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
