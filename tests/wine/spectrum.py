#!/usr/bin/env python3
"""Loudest frequencies of a raw stereo capture (16-bit, or 32-bit float as
Wine's mixer hands it to ALSA; told apart by the values), measured as
tests/win32/sound_capture_test.cpp measures the decoded file: from the first
sound on, 3 s, averaged over 8 samples and kept every 8th, Goertzel bins of
5 Hz from 40 to 1500 Hz summed over 2048-sample windows.

usage: spectrum.py CAPTURE RATE  ->  "rms R peaks F1 F2 F3 F4 F5"
"""
import array
import math
import sys


def read_floats(data):
    """The samples scaled to 16-bit when the bytes look like floats in [-8, 8]."""
    floats = array.array("f", data[: len(data) // 4 * 4])
    probe = floats[: 200000]
    if not probe or any(not math.isfinite(x) or abs(x) > 8.0 for x in probe):
        return None
    return array.array("d", (x * 32767.0 for x in floats))


def main():
    path, rate = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        data = f.read()
    samples = read_floats(data) or array.array("h", data[: len(data) // 2 * 2])
    n = len(samples) - len(samples) % 2
    if n == 0:
        print("rms 0 peaks")
        return
    rms = math.sqrt(sum(s * s for s in samples[:n]) / n)
    start = next((i for i in range(0, n, 2) if abs(samples[i]) > 200 or abs(samples[i + 1]) > 200), n)
    end = min(n, start + 2 * 3 * rate)
    mono = [sum(samples[i:i + 16]) / 16.0 for i in range(start, end - 15, 16)]
    step = rate / 8.0
    bins = []
    for f in range(40, 1501, 5):
        k = 2 * math.cos(2 * math.pi * f / step)
        power = 0.0
        for w in range(0, len(mono) - 2047, 2048):
            s1 = s2 = 0.0
            for x in mono[w:w + 2048]:
                s1, s2 = x + k * s1 - s2, s1
            power += s1 * s1 + s2 * s2 - k * s1 * s2
        bins.append((power, f))
    bins.sort(reverse=True)
    print("rms %d peaks %s" % (rms, " ".join(str(f) for _, f in bins[:5])))


main()
