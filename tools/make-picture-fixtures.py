#!/usr/bin/env python3
"""Makes the pictures of tests/data/pictures: sources and ImageMagick's area averages of them for the shrink
tests, and a few small Exif files that seed the Exif fuzzer. Run it from anywhere; it needs ImageMagick 6
(`convert`). The results are committed, so the build and the tests need neither this script nor ImageMagick.

References: `convert SRC.ppm -scale WxH! -depth 8 REF.ppm`. -scale averages each target pixel over the exact
source area it covers, fractional edges included. ImageMagick 6 takes a PPM's values as sRGB and -scale works on
those values as they are, with no conversion to linear light and back, so the reference averages the stored
values, as our shrinker does. The sources are opaque RGB; -scale would weight colours by alpha otherwise.
"""
import pathlib
import random
import struct
import subprocess
import tempfile

OUT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "pictures"


def write_ppm(path, width, height, data):
    path.write_bytes(b"P6\n%d %d\n255\n" % (width, height) + bytes(data))


def scale(source, size, reference):
    subprocess.run(["convert", str(source), "-scale", size + "!", "-depth", "8", str(reference)], check=True)


def noise_pair(width, height, target, seed):
    """A noise source stored beside its reference."""
    rng = random.Random(seed)
    source = OUT / f"noise-{width}x{height}.ppm"
    write_ppm(source, width, height, (rng.randrange(256) for _ in range(width * height * 3)))
    scale(source, target, OUT / f"noise-{width}x{height}-to-{target}.ppm")


def formula_rows(width, height):
    """The large source, too big to keep: its formula is repeated in ShrinkTest.cpp (FormulaRow)."""
    for y in range(height):
        row = bytearray(width * 3)
        for x in range(width):
            row[3 * x] = ((x // 5) * (y // 3)) & 255  # red
            row[3 * x + 1] = (x * 3 + y * 7) & 255  # green
            row[3 * x + 2] = (x ^ y) & 255  # blue
        yield row


def formula_reference():
    """4000 x 3000 to 1024 x 768; only rows 0-7, 380-387 and 760-767 of the reference are kept, one under
    another, to keep the file small."""
    with tempfile.TemporaryDirectory() as tmp:
        source = pathlib.Path(tmp) / "formula.ppm"
        with open(source, "wb") as f:
            f.write(b"P6\n4000 3000\n255\n")
            for row in formula_rows(4000, 3000):
                f.write(row)
        full = pathlib.Path(tmp) / "full.ppm"
        scale(source, "1024x768", full)
        subprocess.run(["convert", str(full), "(", "+clone", "-crop", "1024x8+0+0", ")",
                        "(", "-clone", "0", "-crop", "1024x8+0+380", ")",
                        "(", "-clone", "0", "-crop", "1024x8+0+760", ")",
                        "-delete", "0", "+repage", "-append", "-depth", "8",
                        str(OUT / "formula-4000x3000-to-1024x768-rows.ppm")], check=True)


def tiff_ifd0(big_endian, entries):
    """TIFF data: header and an IFD0 of (tag, type, count, value) entries, SHORT values in the first two
    bytes of the value field."""
    order = ">" if big_endian else "<"
    data = (b"MM" if big_endian else b"II") + struct.pack(order + "HI", 42, 8)
    data += struct.pack(order + "H", len(entries))
    for tag, kind, count, value in entries:
        field = struct.pack(order + "H", value) + b"\0\0" if kind == 3 else struct.pack(order + "I", value)
        data += struct.pack(order + "HHI", tag, kind, count) + field
    return data + b"\0\0\0\0"  # no next IFD


def exif_seeds():
    """Small JPEG files with an Exif block (ImageMagick writes none without a profile), and a TIFF."""
    with tempfile.TemporaryDirectory() as tmp:
        jpeg = pathlib.Path(tmp) / "plain.jpg"
        subprocess.run(["convert", "-size", "8x8", "xc:#3080c0", jpeg], check=True)
        body = jpeg.read_bytes()[2:]  # after SOI

    def app1(payload):
        return b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload

    little = tiff_ifd0(False, [(0x010F, 2, 4, 0), (0x0112, 3, 1, 6)])
    big = tiff_ifd0(True, [(0x0112, 3, 1, 8), (0x011A, 5, 1, 100)])
    xmp = b"http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>"
    (OUT / "exif-ii-6.jpg").write_bytes(b"\xff\xd8" + app1(b"Exif\0\0" + little) + body)
    (OUT / "exif-mm-8-after-xmp.jpg").write_bytes(b"\xff\xd8" + app1(xmp) + app1(b"Exif\0\0" + big) + body)
    subprocess.run(["convert", "-size", "4x4", "xc:gray", "-orient", "left-bottom", "-compress", "none",
                    str(OUT / "orient-8.tif")], check=True)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    noise_pair(3, 3, "2x2", 1)
    noise_pair(1025, 9, "1024x8", 2)
    noise_pair(1, 50, "1x17", 3)
    noise_pair(97, 61, "23x19", 4)
    formula_reference()
    exif_seeds()


if __name__ == "__main__":
    main()
