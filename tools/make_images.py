#!/usr/bin/env python3
"""Writes Trellith's icons and cursor: python3 make_images.py OUTPUT_FOLDER

desktop0.ico .. desktop3.ico: 32 x 32, 16 colours, no transparent pixel. Four 16 x 16 quadrants,
the lit one pure green (top-left for desktop 0, then clockwise), the others pure blue, with small
pure red marks along the edges and on the centre lines.
hand.cur: a 32 x 32 pointing hand in 16 colours, hot spot at the fingertip (12, 1).
"""
import os
import struct
import sys

# The 16-colour palette (R, G, B): the standard VGA colours.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, RED, GREEN, BLUE, WHITE = 0, 9, 10, 12, 15
SIZE = 32

HAND = [
    "................................",
    "............XX..................",
    "...........XWWX.................",
    "...........XWWX.................",
    "...........XWWX.................",
    "...........XWWX.................",
    "...........XWWXXX...............",
    "...........XWWXWWXXX............",
    "...........XWWXWWXWWXX..........",
    "...........XWWXWWXWWXWX.........",
    "........XX.XWWXWWXWWXWWX........",
    "........XWXXWWWWWWWWWWWX........",
    "........XWWXWWWWWWWWWWWX........",
    ".........XWWWWWWWWWWWWWX........",
    ".........XWWWWWWWWWWWWWX........",
    "..........XWWWWWWWWWWWWX........",
    "..........XWWWWWWWWWWWX.........",
    "...........XWWWWWWWWWWX.........",
    "...........XWWWWWWWWWX..........",
    "............XWWWWWWWWX..........",
    "............XWWWWWWWWX..........",
    "............XXXXXXXXXX..........",
] + ["." * SIZE] * 10


def desktop_pixels(desktop):
    lit = [(0, 0), (1, 0), (1, 1), (0, 1)][desktop]  # (column, row) of the lit quadrant
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            colour = GREEN if (x // 16, y // 16) == lit else BLUE
            on_edge_or_centre = x in (0, 15, 16, 31) or y in (0, 15, 16, 31)
            along = x if y in (0, 15, 16, 31) else y
            if on_edge_or_centre and along % 8 in (3, 4):
                colour = RED
            row.append(colour)
        rows.append(row)
    return rows


def image(pixels, transparent):
    """BITMAPINFOHEADER, palette, 4-bit colour rows and the 1-bit mask, both bottom-up."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, SIZE * SIZE // 2 + SIZE * 4, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour = mask = b""
    for y in reversed(range(SIZE)):
        row = pixels[y]
        colour += bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if transparent[y][x] else 0)
        mask += struct.pack(">I", bits)
    return header + palette + colour + mask


def resource_file(kind, data, hotspot=(1, 4)):
    """ICO (kind 1) or CUR (kind 2) with one image; for an icon the hot spot slots hold planes
    and bit count."""
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, hotspot[0], hotspot[1], len(data), 22)
    return struct.pack("<HHH", 0, kind, 1) + entry + data


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    opaque = [[False] * SIZE for _ in range(SIZE)]
    for desktop in range(4):
        with open(os.path.join(out, "desktop%d.ico" % desktop), "wb") as f:
            f.write(resource_file(1, image(desktop_pixels(desktop), opaque)))
    colours = {"X": BLACK, "W": WHITE, ".": BLACK}
    hand = [[colours[c] for c in row] for row in HAND]
    clear = [[c == "." for c in row] for row in HAND]
    with open(os.path.join(out, "hand.cur"), "wb") as f:
        f.write(resource_file(2, image(hand, clear), hotspot=(12, 1)))


if __name__ == "__main__":
    main()
