#!/usr/bin/env python3
"""Writes the program's two cue sounds into packaging/sounds/ (committed; run again to change them).

alarm.wav   - 11025 Hz, 8-bit, mono, 2.1 s: a two-tone warble, played in a loop while the
              cursor touches a target's wall. It starts and ends at silence, so the loop is seamless.
success.wav - 22050 Hz, 16-bit, mono, 0.87 s: a rising three-note chime, played once when a
              target is reached.
"""
import math
import os
import struct
import wave

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging", "sounds")


def write(name, rate, width, samples):
    with wave.open(os.path.join(here, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(width)
        w.setframerate(rate)
        if width == 1:  # 8-bit WAV is unsigned, centred on 128
            w.writeframes(bytes(max(0, min(255, round(128 + 127 * s))) for s in samples))
        else:
            w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, round(32767 * s)))) for s in samples))


def alarm():
    rate, seconds = 11025, 2.1
    n = round(rate * seconds)
    out, phase = [], 0.0
    for i in range(n):
        t = i / rate
        freq = 880.0 if int(t / 0.15) % 2 == 0 else 660.0
        phase += 2 * math.pi * freq / rate
        fade = min(1.0, t / 0.01, (seconds - t) / 0.01)
        out.append(0.6 * fade * (0.8 * math.sin(phase) + 0.2 * math.sin(3 * phase)))
    return rate, out


def success():
    rate, seconds = 22050, 0.87
    n = round(rate * seconds)
    notes = [(0.00, 1046.5), (0.12, 1318.5), (0.24, 1568.0)]  # C6, E6, G6
    out = []
    for i in range(n):
        t = i / rate
        s = 0.0
        for start, freq in notes:
            if t >= start:
                u = t - start
                s += math.exp(-u * 5.0) * min(1.0, u / 0.005) * math.sin(2 * math.pi * freq * u)
        out.append(0.45 * s * min(1.0, (seconds - t) / 0.02))
    return rate, out


os.makedirs(here, exist_ok=True)
rate, samples = alarm()
write("alarm.wav", rate, 1, samples)
rate, samples = success()
write("success.wav", rate, 2, samples)
