#!/usr/bin/env python3
"""Reference vectors for the loader's resampling, computed independently of the C++ code.

Each case is a small 24-bit picture of pseudo-random bytes, resampled width first, then
height: cubic Lagrange interpolation through four taps to enlarge (weights scaled by 2^20,
each rounded as trunc(value + 0.5)), area averaging with 18-bit coverage fractions and a
22-bit scale factor to reduce (the result is the low byte of (sum * factor) >> 40). Python's
integers never wrap, so the sums are exact however many source pixels one target covers.

Run once; it rewrites resample_vectors.txt beside it:
    python3 resample_reference.py
"""
import math
import os

CASES = [
    # (width, height, new width, new height)
    (5, 3, 11, 3),    # enlarge the width
    (17, 3, 6, 3),    # reduce the width
    (4, 5, 4, 12),    # enlarge the height
    (3, 19, 3, 7),    # reduce the height
    (9, 7, 4, 13),    # reduce the width, then enlarge the height
    (6, 11, 13, 5),   # enlarge the width, then reduce the height
    (1, 4, 5, 4),     # one pixel wide: every tap is that pixel
    (11, 1, 3, 1),    # one pixel high, reduced
    (3, 1, 7, 2),     # one pixel high, enlarged both ways
    (7, 5, 6, 4),     # a reduction by less than one pixel per target
    (200, 2, 2, 2),   # 100 source pixels per target: beyond a 32-bit sum
]


def trunc(x):
    return math.trunc(x)


def frac(x):
    return x - math.trunc(x)


def cubic_weights(s, t):
    l0 = -(t - 1) * (t - 2) * (t - 3) / 6
    l1 = t * (t - 2) * (t - 3) / 2
    l2 = -t * (t - 1) * (t - 3) / 2
    l3 = t * (t - 1) * (t - 2) / 6
    return [trunc(l * s + 0.5) for l in (l0, l1, l2, l3)]


def enlarge(line, m):
    """One line of samples (one channel) of length n enlarged to m."""
    n = len(line)
    out = []
    for x in range(m):
        p = ((n - 1) * x) / (m - 1)
        i = trunc(p) - 1
        w = cubic_weights(1 << 20, frac(p) + 1)
        v = 1 << 19
        for k in range(4):
            j = i + k
            if i < 0 or i + 3 > n - 1:
                j = min(max(j, 0), n - 1)
            v += line[j] * w[k]
        v = min(max(v, 0), 0xFF00000)
        out.append(v >> 20)
    return out


def reduce(line, m):
    n = len(line)
    f = trunc(1 / (n / m) * (1 << 22) + 0.5)
    e = [trunc(n * j / m) for j in range(m + 1)]
    r = [trunc(frac(n * j / m) * (1 << 18) + 0.5) for j in range(m + 1)]
    out = []
    for j in range(m):
        s, a, z, b = e[j], r[j], e[j + 1], r[j + 1]
        acc = 1 << 17
        if a != 1 << 18:
            acc += line[s] * ((1 << 18) - a)
        for k in range(s + 1, z):
            acc += line[k] << 18
        if b != 0:
            acc += line[z] * b
        out.append(((acc * f) >> 40) & 0xFF)
    return out


def resample_line(line, m):
    if m == len(line):
        return list(line)
    return enlarge(line, m) if m > len(line) else reduce(line, m)


def resize(pixels, w, h, nw, nh):
    """pixels: rows of (r, g, b) tuples."""
    rows = []
    for row in pixels:
        channels = [resample_line([p[c] for p in row], nw) for c in range(3)]
        rows.append(list(zip(*channels)))
    cols = []
    for x in range(nw):
        channels = [resample_line([rows[y][x][c] for y in range(h)], nh) for c in range(3)]
        cols.append(list(zip(*channels)))
    return [[cols[x][y] for x in range(nw)] for y in range(nh)]


def main():
    seed = 12345

    def byte():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        return (seed >> 16) & 0xFF

    lines = ["# w h new_w new_h, then the input and the expected output as hex bytes,",
             "# rows top to bottom, pixels left to right, three bytes each.",
             "# Made by resample_reference.py; do not edit."]
    for w, h, nw, nh in CASES:
        pixels = [[(byte(), byte(), byte()) for _ in range(w)] for _ in range(h)]
        out = resize(pixels, w, h, nw, nh)
        flat = lambda rows: bytes(c for row in rows for p in row for c in p).hex()
        lines += [f"case {w} {h} {nw} {nh}", "in " + flat(pixels), "out " + flat(out)]
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "resample_vectors.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
