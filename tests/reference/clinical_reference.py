#!/usr/bin/python3
"""Expected values of the clinical sway measures, computed independently with NumPy and SciPy.

Writes clinical_reference.json beside this script: the input signals (mm, 100 Hz), the filtered
signals of the low-pass cases and every measure of the measure cases. The C++ tests read that
file; run this script again (Debian python3-numpy and python3-scipy) after changing a case.
"""
import json
import math
import pathlib

import numpy as np
from scipy import integrate, signal, stats

FS = 100.0


def lowpass(v, fc):
    b, a = signal.butter(4, fc / (FS / 2))
    return signal.filtfilt(b, a, v)


def fraction_frequency(f, p, fraction):
    c = integrate.cumulative_trapezoid(p, f, initial=0.0)
    if not c[-1] > 0:
        return None
    t = fraction * c[-1]
    k = int(np.searchsorted(c, t, side="left"))
    if k == 0:
        return float(f[0])
    return float(f[k - 1] + (t - c[k - 1]) / (c[k] - c[k - 1]) * (f[k] - f[k - 1]))


def ellipse(x, y):
    n = len(x)
    if n < 3:
        return None, None, None, None
    cov = np.cov(x, y)
    values, vectors = np.linalg.eigh(cov)
    l2, l1 = max(values[0], 0.0), values[1]
    k = stats.f.ppf(0.95, 2, n - 2) * 2 * (n - 1) * (n + 1) / (n * (n - 2))
    angle = None
    if l1 - l2 > 1e-12 * (l1 + l2):
        # Direction of the major eigenvector, folded into (-90, 90].
        angle = math.degrees(math.atan2(vectors[1, 1], vectors[0, 1]))
        while angle <= -90:
            angle += 180
        while angle > 90:
            angle -= 180
    return math.pi * k * math.sqrt(l1 * l2), math.sqrt(k * l1), math.sqrt(k * l2), angle


def measures(x, y):
    x, y = np.asarray(x, float), np.asarray(y, float)
    n = len(x)
    r = {"n": n, "duration_s": n / FS}
    mx, my = float(np.mean(x)), float(np.mean(y))
    dx, dy = x - mx, y - my
    r["mean_x_mm"], r["mean_y_mm"] = mx, my
    if n >= 2:
        sx, sy = np.diff(x), np.diff(y)
        r["path_mm"] = float(np.sum(np.hypot(sx, sy)))
        r["path_x_mm"] = float(np.sum(np.abs(sx)))
        r["path_y_mm"] = float(np.sum(np.abs(sy)))
        for axis in ("", "_x", "_y"):
            r["velocity" + axis + "_mm_s"] = r["path" + axis + "_mm"] / (n / FS)
    else:
        for key in ("path_mm", "path_x_mm", "path_y_mm", "velocity_mm_s", "velocity_x_mm_s", "velocity_y_mm_s"):
            r[key] = None
    r["rms_x_mm"] = float(np.std(x))
    r["rms_y_mm"] = float(np.std(y))
    r["rms_mm"] = float(np.sqrt(np.mean(dx**2 + dy**2)))
    r["range_x_mm"] = float(np.ptp(x))
    r["range_y_mm"] = float(np.ptp(y))
    r["mean_distance_mm"] = float(np.mean(np.hypot(dx, dy)))
    area, major, minor, angle = ellipse(x, y)
    r["area95_mm2"], r["ellipse_major_mm"], r["ellipse_minor_mm"], r["ellipse_angle_deg"] = area, major, minor, angle
    swept = np.abs(dx[1:] * dy[:-1] - dy[1:] * dx[:-1])
    r["sway_area_per_s_mm2_s"] = float(np.sum(swept) / (2 * (n - 1) / FS)) if n >= 2 else None
    freq = {}
    if n >= 200:
        total = {}
        for name, v in (("x", x), ("y", y)):
            f, p = signal.welch(v, FS, window="hann", nperseg=n // 2, noverlap=n // 4, nfft=n // 2,
                                detrend="constant")
            area_p = np.trapz(p, f)
            freq["mean_freq_" + name + "_hz"] = float(np.trapz(f * p, f) / area_p) if area_p > 0 else None
            freq["median_freq_" + name + "_hz"] = fraction_frequency(f, p, 0.5)
            freq["freq95_" + name + "_hz"] = fraction_frequency(f, p, 0.95)
            total[name] = float(np.sum(p))
        weighted = sum(freq["mean_freq_" + a + "_hz"] * total[a] for a in "xy" if freq["mean_freq_" + a + "_hz"] is not None)
        weight = sum(total[a] for a in "xy" if freq["mean_freq_" + a + "_hz"] is not None)
        freq["mean_freq_hz"] = weighted / weight if weight > 0 else None
    for key in ("mean_freq_x_hz", "mean_freq_y_hz", "mean_freq_hz", "median_freq_x_hz", "median_freq_y_hz",
                "freq95_x_hz", "freq95_y_hz"):
        r[key] = freq.get(key)
    md = r["mean_distance_mm"]
    r["prieto_freq_hz"] = r["velocity_mm_s"] / (2 * math.pi * md) if r["velocity_mm_s"] is not None and md > 0 else None
    return r


def smooth_walk(n, seed, scale):
    rng = np.random.default_rng(seed)
    return np.cumsum(rng.normal(0.0, scale, n)) + rng.normal(0.0, scale / 4, n)


def main():
    i = np.arange(1000)
    filter_cases = []

    def add_filter(name, x, fc):
        x = [float(v) for v in x]
        if len(x) <= 15:
            try:
                lowpass(np.array(x), fc)
                raise SystemExit(name + ": scipy filtered a signal it should refuse")
            except ValueError:
                out = None  # too short: left unfiltered
        else:
            out = [float(v) for v in lowpass(np.array(x), fc)]
        filter_cases.append({"name": name, "cutoff_hz": fc, "signal": x, "filtered": out})

    add_filter("step", np.where(i[:100] < 50, 0.0, 1.0), 10.0)
    add_filter("sine_1hz", 5 * np.sin(2 * np.pi * 1.0 * i[:300] / FS), 10.0)
    add_filter("sine_20hz_odd_length", 5 * np.sin(2 * np.pi * 20.0 * i[:301] / FS + 0.3), 10.0)
    add_filter("sine_20hz_cutoff_20", 5 * np.sin(2 * np.pi * 20.0 * i[:300] / FS), 20.0)
    add_filter("n16", smooth_walk(16, 1, 1.0), 5.0)
    add_filter("n15", smooth_walk(15, 2, 1.0), 10.0)

    measure_cases = []

    def add_measures(name, x, y, fc=None):
        x = [float(v) for v in x]
        y = [float(v) for v in y]
        fx, fy = (x, y) if fc is None or len(x) <= 15 else (list(lowpass(np.array(x), fc)), list(lowpass(np.array(y), fc)))
        expected = measures(fx, fy)
        scale = float(max(np.ptp(x), np.ptp(y), 1.0))
        measure_cases.append({"name": name, "lowpass_hz": fc, "scale": scale, "x": x, "y": y, "measures": expected})

    t = i[:400]
    add_measures("circle", 3 * np.cos(2 * np.pi * t / 100) + 1, 3 * np.sin(2 * np.pi * t / 100) - 2)
    walk = smooth_walk(300, 3, 0.3)
    add_measures("line_at_120deg", walk * math.cos(math.radians(120)), walk * math.sin(math.radians(120)))
    add_measures("vertical_line", np.full(50, 2.0), 0.1 * i[:50])
    add_measures("constant", np.full(250, 0.5), np.full(250, -0.25))
    add_measures("two_samples", [1.0, 2.5], [0.0, -1.0])
    add_measures("three_sample_ellipse", [0.0, 1.0, 3.0], [0.0, 2.0, 1.0])
    add_measures("welch_odd_segment_n402", smooth_walk(402, 4, 0.4), smooth_walk(402, 5, 0.2))
    add_measures("welch_even_segment_n400", smooth_walk(400, 6, 0.4), smooth_walk(400, 7, 0.2))
    add_measures("welch_n200", smooth_walk(200, 8, 0.4), smooth_walk(200, 9, 0.2))
    add_measures("filtered_walk_10hz", smooth_walk(600, 10, 0.5), smooth_walk(600, 11, 0.3), 10.0)
    add_measures("filtered_walk_2_5hz", smooth_walk(500, 12, 0.5), smooth_walk(500, 13, 0.3), 2.5)
    add_measures("too_short_to_filter", smooth_walk(15, 14, 0.5), smooth_walk(15, 15, 0.3), 10.0)

    coefficients = []
    for fc in (10.0, 2.5, 20.0):
        b, a = signal.butter(4, fc / (FS / 2))
        coefficients.append({"cutoff_hz": fc, "b": [float(v) for v in b], "a": [float(v) for v in a]})

    out = {"sample_rate_hz": FS, "coefficients": coefficients, "filter_cases": filter_cases,
           "measure_cases": measure_cases}
    path = pathlib.Path(__file__).with_name("clinical_reference.json")
    path.write_text(json.dumps(out, indent=1) + "\n")


if __name__ == "__main__":
    main()
