#!/usr/bin/env python3
"""Draws the about box picture: a 485 x 164, 24-bit BMP of a dusk sky over a sea of dunes.

Run from the repository root: python3 scripts/make_about_picture.py data/about.bmp
The navy texts at the top stand on the pale sky; the silver web-site line and "X" at the
bottom stand on the dunes, which are therefore dark, as at nightfall. The colours stay clear
of pure fuchsia, which the about box treats as see-through.
"""
import math
import struct
import sys

WIDTH, HEIGHT = 485, 164


def pixel(x, y):
    t = y / (HEIGHT - 1)
    # Sky: pale gold at the horizon rising to a light steel blue.
    r = int(236 - 70 * (1 - t))
    g = int(226 - 40 * (1 - t))
    b = int(196 + 40 * (1 - t))
    # A soft sun low on the right, sinking behind the dunes.
    d = math.hypot(x - 400, y - 96)
    if d < 26:
        k = 1 - d / 26
        r = min(255, int(r + 40 * k))
        g = min(255, int(g + 30 * k))
        b = max(0, int(b - 30 * k))
    # Two rows of dunes drawn as sine ridges, in the dusk's dark browns.
    ridge1 = 112 + 8 * math.sin(x / 37.0) + 4 * math.sin(x / 11.0 + 1.3)
    ridge2 = 126 + 4 * math.sin(x / 23.0 + 2.1)
    if y > ridge2:
        r, g, b = 44 - (y - 126) // 4, 34 - (y - 126) // 4, 28 - (y - 126) // 5
    elif y > ridge1:
        r, g, b = 66, 50, 38
    return r, g, b


def main(path):
    row_size = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        image += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/about.bmp")
