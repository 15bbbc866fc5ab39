#!/usr/bin/env python3
"""Draws Velmo's program icon and writes it as res/Velmo.ico (16x16, 32x32 and 48x48, 32 bits with alpha).

The picture is the program's idea: a screen, dark frame around a blue desktop, with a thin bright strip
along its top edge. Every size is drawn on its own pixel grid, so the small ones stay sharp. Only the
standard library is used and the output is the same on every run; the build uses the checked-in .ico.

    tools/make-icon.py [OUTPUT]      (default: res/Velmo.ico beside this script's folder)
"""
import os
import struct
import sys

SIZES = (16, 32, 48)

TRANSPARENT = (0, 0, 0, 0)
OUTLINE = (96, 104, 114, 255)  # lifts the frame off dark backgrounds
FRAME = (36, 40, 46, 255)
STAND = (70, 76, 84, 255)
DESKTOP_TOP = (110, 172, 236)
DESKTOP_BOTTOM = (34, 92, 176)
STRIP = (255, 250, 214, 255)


def draw(size):
    """Returns size rows of size (r, g, b, a) pixels, top row first."""
    u = size // 16  # one pixel of the 16x16 design
    pixels = [[TRANSPARENT] * size for _ in range(size)]

    def fill(left, top, right, bottom, colour):  # right and bottom exclusive
        for y in range(top, bottom):
            for x in range(left, right):
                pixels[y][x] = colour

    # The screen: rows 1..11 of the 16x16 design, the full width; a frame one design pixel thick.
    left, top, right, bottom = 0, u, size, 12 * u
    fill(left, top, right, bottom, OUTLINE if u > 1 else FRAME)
    if u > 1:
        fill(left + 1, top + 1, right - 1, bottom - 1, FRAME)
        for x, y in ((left, top), (right - 1, top), (left, bottom - 1), (right - 1, bottom - 1)):
            pixels[y][x] = TRANSPARENT  # rounded corners

    # The desktop, darker towards the bottom.
    d_left, d_top, d_right, d_bottom = left + u, top + u, right - u, bottom - u
    for y in range(d_top, d_bottom):
        t = (y - d_top) / max(1, d_bottom - d_top - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(DESKTOP_TOP, DESKTOP_BOTTOM)) + (255,)
        fill(d_left, y, d_right, y + 1, colour)

    # The strip: a few pixels thick on the desktop's top edge, over the middle of its length.
    thickness = 1 if u == 1 else 2
    width = d_right - d_left
    fill(d_left + width // 6, d_top, d_right - width // 6, d_top + thickness, STRIP)

    # The stand: a neck under the middle and a foot.
    fill(6 * u, 12 * u, 10 * u, 14 * u, STAND)
    fill(4 * u, 14 * u, 12 * u, 15 * u, STAND)
    return pixels


def dib(pixels):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the 1-bit AND mask."""
    size = len(pixels)
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(images):
    """ICONDIR, one ICONDIRENTRY per image, then the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + entries + b"".join(data for _, data in images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "Velmo.ico")
    with open(output, "wb") as f:
        f.write(ico([(size, dib(draw(size))) for size in SIZES]))


if __name__ == "__main__":
    main()
