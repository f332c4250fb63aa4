#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as a Windows .ico file.

The icon holds five PNG images (16, 32, 64, 128 and 256 pixels, 8-bit RGBA).
The picture: a candle with its flame on a rounded teal tile. Shapes are given
as signed distance functions in a unit square, so every size is drawn from the
same description with smooth edges; only the standard library is used.

Usage: make_icons.py OUTPUT.ico
"""
import math
import struct
import sys
import zlib

SIZES = (16, 32, 64, 128, 256)

TILE = (22, 110, 120)
CANDLE = (246, 240, 226)
FLAME = (255, 170, 40)
FLAME_CORE = (255, 236, 150)


def rounded_box(x, y, cx, cy, hw, hh, r):
    qx = abs(x - cx) - hw + r
    qy = abs(y - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def teardrop(x, y, cx, cy, r):
    """A drop pointing up: a circle merged with the cone above it."""
    circle = math.hypot(x - cx, y - cy) - r
    tip_y = cy - 2.6 * r
    if tip_y <= y <= cy:
        half = r * (y - tip_y) / (cy - tip_y)
        cone = abs(x - cx) - half
        return min(circle, cone * 0.9)
    return circle


def layers(x, y):
    """(colour, distance) pairs from the back to the front."""
    return (
        (TILE, rounded_box(x, y, 0.5, 0.5, 0.47, 0.47, 0.16)),
        (CANDLE, rounded_box(x, y, 0.5, 0.67, 0.11, 0.24, 0.03)),
        (FLAME, teardrop(x, y, 0.5, 0.33, 0.085)),
        (FLAME_CORE, teardrop(x, y, 0.5, 0.35, 0.04)),
    )


def pixel(x, y, size):
    red = green = blue = alpha = 0.0
    for colour, distance in layers(x, y):
        coverage = min(max(0.5 - distance * size, 0.0), 1.0)
        if coverage == 0.0:
            continue
        # "over" compositing with premultiplied colour
        red = colour[0] * coverage + red * (1 - coverage)
        green = colour[1] * coverage + green * (1 - coverage)
        blue = colour[2] * coverage + blue * (1 - coverage)
        alpha = coverage + alpha * (1 - coverage)
    if alpha == 0.0:
        return b"\0\0\0\0"
    return bytes((round(red / alpha), round(green / alpha), round(blue / alpha), round(alpha * 255)))


def png(size):
    rows = bytearray()
    for row in range(size):
        rows.append(0)  # filter: none
        y = (row + 0.5) / size
        for column in range(size):
            rows += pixel((column + 0.5) / size, y, size)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def ico(images):
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size == 256 else size  # 256 is recorded as 0
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as output:
        output.write(ico([(size, png(size)) for size in SIZES]))


if __name__ == "__main__":
    main()
