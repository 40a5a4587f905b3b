#!/usr/bin/python3
"""The sensory test's results computed independently from a measurement file, for comparison.

Reads FILE.kplat byte by byte (its stored integers, converted as the clinical measures' definition
says: the fixed-point fraction as float32, widened, times the float32 scale, widened), its sidecar
FILE.kplat.json (birth date, each attempt's condition, discarded attempts) and the shipped norms
table, and prints the results as CSV: condition,measure,trials,value,norm_mean,norm_sd,z,
percentile,band. The measures come from clinical_reference.py (NumPy and SciPy), the rest is
written here again from the definitions, sharing nothing with the program.

usage: sensory_reference.py FILE.kplat NORMS.csv [--lowpass none|HZ]
"""
import csv
import datetime
import json
import pathlib
import struct
import sys

import numpy as np

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import clinical_reference as ref  # noqa: E402

CONDITIONS = ["eo-firm", "ec-firm", "eo-foam", "ec-foam"]
NORM_KEYS = {"eo-firm": ("Open", "Firm"), "ec-firm": ("Closed", "Firm"),
             "eo-foam": ("Open", "Foam"), "ec-foam": ("Closed", "Foam")}
NORMED = ["area95_mm2", "velocity_mm_s", "mean_freq_hz"]
PERCENTILES = [5, 25, 50, 75, 95]


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def string(self):
        n = self.take("B")
        if n == 0xFF:
            n = self.take("H")
        s = self.data[self.at:self.at + n]
        self.at += n
        return s


def read_kplat(path):
    r = Reader(pathlib.Path(path).read_bytes())
    assert r.string() == b"Kenvo_Plat_V1.1"
    scale_x, scale_y = np.float32(r.take("f")), np.float32(r.take("f"))
    settings = r.take("11i")
    test_mode = settings[3]
    r.string()
    r.take("3i")
    for _ in range(3):
        r.string()
    r.take("i")
    count = r.take("i")
    attempts = []
    for _ in range(count):
        start, m, _target = r.take("3i")
        xs, ys = [], []
        for _j in range(m):
            xi, yi = r.take("2i")
            r.take("h")
            if test_mode == 3:
                r.take("i")
            xs.append(float(np.float32(xi / 10000.0)) * float(scale_x))
            ys.append(float(np.float32(yi / 10000.0)) * float(scale_y))
        attempts.append({"start": start & 0xFFFFFFFF, "x": xs, "y": ys})
    return attempts


def median(values):
    values = sorted(v for v in values if v is not None)
    if not values:
        return None
    n = len(values)
    return values[n // 2] if n % 2 else (values[n // 2 - 1] + values[n // 2]) / 2


def age_on(birth, day):
    years = day.year - birth.year
    if (day.month, day.day) < (birth.month, birth.day):
        years -= 1
    return years


def compare(value, row):
    mean, sd = float(row["mean"]), float(row["sd"])
    p = [float(row["p%d" % k]) for k in PERCENTILES]
    z = (value - mean) / sd
    if value < p[0]:
        return mean, sd, z, None, "below"
    if value > p[-1]:
        return mean, sd, z, None, "above"
    for i in range(len(p) - 1):
        if p[i] <= value <= p[i + 1]:
            if p[i + 1] == p[i]:
                return mean, sd, z, float(PERCENTILES[i]), "within"
            a, b = PERCENTILES[i], PERCENTILES[i + 1]
            return mean, sd, z, a + (b - a) * (value - p[i]) / (p[i + 1] - p[i]), "within"
    raise AssertionError("unreachable")


def main(argv):
    path, norms_path = argv[1], argv[2]
    cutoff = 10.0
    if len(argv) > 4 and argv[3] == "--lowpass":
        cutoff = None if argv[4] == "none" else float(argv[4])
    attempts = read_kplat(path)
    side = json.loads(pathlib.Path(path + ".json").read_text())
    conditions = side["conditions"]
    discarded = set(side.get("discarded_attempts", []))
    group = None
    if side.get("birth_date") and attempts:
        birth = datetime.date.fromisoformat(side["birth_date"])
        day = datetime.datetime.fromtimestamp(attempts[0]["start"]).date()
        age = age_on(birth, day)
        group = None if age < 18 else ("Young" if age < 60 else "Old")
    norms = {}
    with open(norms_path) as f:
        for row in csv.DictReader(f):
            norms[(row["age_group"], row["vision"], row["surface"], row["measure"])] = row

    out = csv.writer(sys.stdout, lineterminator="\n")
    out.writerow(["condition", "measure", "trials", "value", "norm_mean", "norm_sd", "z",
                  "percentile", "band"])
    medians = {}
    for condition in CONDITIONS:
        rows = []
        for k, attempt in enumerate(attempts):
            if k < len(conditions) and conditions[k] == condition and (k + 1) not in discarded:
                x, y = np.array(attempt["x"]), np.array(attempt["y"])
                if cutoff is not None and len(x) > 15:
                    x, y = ref.lowpass(x, cutoff), ref.lowpass(y, cutoff)
                rows.append(ref.measures(x, y))
        if not rows:
            continue
        for name in rows[0]:
            value = median(r[name] for r in rows)
            medians[(condition, name)] = value
            cells = [condition, name, len(rows), "" if value is None else repr(float(value))]
            key = (group,) + NORM_KEYS[condition] + (name,)
            if value is not None and group and name in NORMED and key in norms:
                mean, sd, z, pct, band = compare(value, norms[key])
                cells += [repr(mean), repr(sd), repr(z), "" if pct is None else repr(pct), band]
            else:
                cells += ["", "", "", "", ""]
            out.writerow(cells)
    for name, top, bottom, measure in (
            ("romberg_firm_area", "ec-firm", "eo-firm", "area95_mm2"),
            ("romberg_foam_area", "ec-foam", "eo-foam", "area95_mm2"),
            ("romberg_firm_velocity", "ec-firm", "eo-firm", "velocity_mm_s"),
            ("romberg_foam_velocity", "ec-foam", "eo-foam", "velocity_mm_s"),
            ("foam_eo_area", "eo-foam", "eo-firm", "area95_mm2"),
            ("foam_ec_area", "ec-foam", "ec-firm", "area95_mm2")):
        a, b = medians.get((top, measure)), medians.get((bottom, measure))
        value = "" if a is None or not b else repr(a / b)
        out.writerow(["ratio", name, "", value, "", "", "", "", ""])


if __name__ == "__main__":
    main(sys.argv)
