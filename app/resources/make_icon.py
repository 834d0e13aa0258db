#!/usr/bin/env python3
"""Draws the program's icon, 80 x 80 at 32 bits per pixel, and writes it as
tollivar.ico beside this script: a blue rounded square with a white heart.
Run it again only to change the picture; the .ico is checked in."""
import os
import struct

SIZE = 80
SAMPLES = 4  # per axis, for smooth edges


def coverage(inside, px, py):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if inside(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def in_rounded_square(x, y, margin=3.0, radius=16.0):
    lo, hi = margin, SIZE - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_heart(x, y, scale=1.0):
    # (u^2 + v^2 - 1)^3 - u^2 v^3 <= 0, centred in the square.
    u = (x - SIZE / 2) / (24.0 * scale)
    v = -(y - SIZE / 2 - 2) / (24.0 * scale)
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def pixel(px, py):
    square = coverage(in_rounded_square, px, py)
    if square == 0:
        return (0, 0, 0, 0)
    colour = mix((70, 150, 255), (25, 70, 190), py / SIZE)
    heart = coverage(in_heart, px, py)
    colour = mix(colour, (255, 255, 255), heart)
    inner = coverage(lambda x, y: in_heart(x, y, 0.78), px, py)
    colour = mix(colour, (235, 45, 70), inner)
    return colour + (round(255 * square),)


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    xor = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tollivar.ico")
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
