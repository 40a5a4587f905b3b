#!/usr/bin/env python3
"""Writes register_v1.sqlite: a subject register of schema version 1 as the first release wrote
it, with a few subjects, sessions and attempts, so the unit tests can check that an old
register opens after migration with its data. Run once from this folder; the output is
committed. The measures are made-up numbers chosen so their medians are easy to check."""

import os
import sqlite3

MEASURES = [
    "n", "duration_s", "mean_x_mm", "mean_y_mm", "path_mm", "path_x_mm", "path_y_mm",
    "velocity_mm_s", "velocity_x_mm_s", "velocity_y_mm_s", "rms_x_mm", "rms_y_mm", "rms_mm",
    "range_x_mm", "range_y_mm", "mean_distance_mm", "area95_mm2", "ellipse_major_mm",
    "ellipse_minor_mm", "ellipse_angle_deg", "sway_area_per_s_mm2_s", "mean_freq_x_hz",
    "mean_freq_y_hz", "mean_freq_hz", "median_freq_x_hz", "median_freq_y_hz", "freq95_x_hz",
    "freq95_y_hz", "prieto_freq_hz",
]

SCHEMA_1 = """
CREATE TABLE subjects (
 id INTEGER PRIMARY KEY,
 code TEXT UNIQUE,
 name TEXT NOT NULL,
 birth_date TEXT,
 sex TEXT NOT NULL CHECK (sex IN ('F', 'M')),
 height_cm INTEGER NOT NULL DEFAULT 0,
 weight_kg INTEGER NOT NULL DEFAULT 0,
 notes TEXT);
CREATE TABLE sessions (
 id INTEGER PRIMARY KEY,
 subject_id INTEGER REFERENCES subjects(id),
 file TEXT NOT NULL UNIQUE,
 test TEXT NOT NULL,
 recorded_at INTEGER NOT NULL,
 attempts INTEGER NOT NULL,
 file_size INTEGER NOT NULL,
 file_mtime_ns INTEGER NOT NULL,
 status TEXT NOT NULL);
CREATE INDEX sessions_by_subject ON sessions(subject_id);
CREATE TABLE attempts (
 session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
 attempt INTEGER NOT NULL,
 """ + ", ".join('"%s" REAL' % m for m in MEASURES) + """,
 PRIMARY KEY (session_id, attempt));
PRAGMA user_version = 1;
"""

SUBJECTS = [
    (1, "P-001", "Jana Dvořáková", "1950-03-14", "F", 162, 58, "knee replacement 2019"),
    (2, None, "Petr Malý", None, "M", 180, 82, None),
    (3, "P-003", "Eva Nová", "1972-11-02", "F", 168, 64, None),
]
SESSIONS = [
    (1, 1, "clinic/jana-2024-01.kplat", "stance", 1704100000, 3, 120400, 1704100100123456789, "ok"),
    (2, 1, "clinic/jana-2024-06.kplat", "stance", 1717200000, 2, 80300, 1717200100000000000, "ok"),
    (3, 2, "/mnt/archive/petr.kplat", "target", 1710000000, 5, 95000, 1710000100000000000, "ok"),
    (4, None, "clinic/unknown.kplat", "stance", 1712000000, 1, 40200, 1712000100000000000, "review"),
]
# session, attempt, velocity, area95
ATTEMPTS = [
    (1, 1, 10.0, 100.0), (1, 2, 14.0, 300.0), (1, 3, 12.0, 200.0),
    (2, 1, 9.0, 150.0), (2, 2, 11.0, 250.0),
    (3, 1, None, None), (3, 2, None, None), (3, 3, None, None), (3, 4, None, None),
    (3, 5, None, None),
    (4, 1, 8.0, 90.0),
]


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "register_v1.sqlite")
    if os.path.exists(out):
        os.remove(out)
    db = sqlite3.connect(out)
    db.executescript(SCHEMA_1)
    db.executemany("INSERT INTO subjects VALUES (?, ?, ?, ?, ?, ?, ?, ?)", SUBJECTS)
    db.executemany("INSERT INTO sessions VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)", SESSIONS)
    for session, attempt, velocity, area in ATTEMPTS:
        n = 1000 if velocity is not None else None
        db.execute('INSERT INTO attempts (session_id, attempt, "n", "velocity_mm_s", "area95_mm2")'
                   " VALUES (?, ?, ?, ?, ?)", (session, attempt, n, velocity, area))
    db.commit()
    db.execute("VACUUM")
    db.close()
    os.chmod(out, 0o600)


if __name__ == "__main__":
    main()
