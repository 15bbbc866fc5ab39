#!/usr/bin/env python3
"""Makes the pictures of tests/data/pictures: sources and ImageMagick's area averages of them for the shrink
tests, a few small Exif files that seed the Exif fuzzer, and the picture files of every format the Win32 picture
loader reads, good and broken. Run it from anywhere; it needs ImageMagick 6 (`convert`, taken from /usr/bin). The
results are committed, so the build and the tests need neither this script nor ImageMagick.

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
import zlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "pictures"


def write_ppm(path, width, height, data):
    path.write_bytes(b"P6\n%d %d\n255\n" % (width, height) + bytes(data))


CONVERT = "/usr/bin/convert"


def convert(*args):
    subprocess.run([CONVERT, *map(str, args)], check=True)


def scale(source, size, reference):
    subprocess.run([CONVERT, str(source), "-scale", size + "!", "-depth", "8", str(reference)], check=True)


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
        subprocess.run([CONVERT, str(full), "(", "+clone", "-crop", "1024x8+0+0", ")",
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
        subprocess.run([CONVERT, "-size", "8x8", "xc:#3080c0", jpeg], check=True)
        body = jpeg.read_bytes()[2:]  # after SOI

    def app1(payload):
        return b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload

    little = tiff_ifd0(False, [(0x010F, 2, 4, 0), (0x0112, 3, 1, 6)])
    big = tiff_ifd0(True, [(0x0112, 3, 1, 8), (0x011A, 5, 1, 100)])
    xmp = b"http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>"
    (OUT / "exif-ii-6.jpg").write_bytes(b"\xff\xd8" + app1(b"Exif\0\0" + little) + body)
    (OUT / "exif-mm-8-after-xmp.jpg").write_bytes(b"\xff\xd8" + app1(xmp) + app1(b"Exif\0\0" + big) + body)
    subprocess.run([CONVERT, "-size", "4x4", "xc:gray", "-orient", "left-bottom", "-compress", "none",
                    str(OUT / "orient-8.tif")], check=True)


# --- The picture loader's files --------------------------------------------------------------------------------
# Each good file has a reference: the picture as it should be shown, composed over black, as a PPM. References are
# ImageMagick's own decoding of the file (`-alpha remove` on black), so they do not come from the decoders under
# test. The JPEG orientation files need no reference: the test knows which colour each corner shows.

QUADRANTS = [(200, 40, 40), (40, 180, 60), (40, 60, 200), (230, 230, 230)]  # top-left, top-right, bottom-left, -right


def quadrants(path, width=32, height=16):
    """Four flat blocks on 8-pixel boundaries, so that a JPEG of it keeps its colours closely."""
    data = bytearray()
    for y in range(height):
        for x in range(width):
            data += bytes(QUADRANTS[(2 if y >= height // 2 else 0) + (1 if x >= width // 2 else 0)])
    write_ppm(path, width, height, data)


def reference(picture, ref):
    convert(picture, "-background", "black", "-alpha", "remove", "-alpha", "off", "-depth", "8", ref)


def png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))


def with_exif_orientation(jpeg, orientation):
    payload = b"Exif\0\0" + tiff_ifd0(False, [(0x0112, 3, 1, orientation)])
    return b"\xff\xd8\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload + jpeg[2:]


def picture_files():
    out = OUT / "load"
    out.mkdir(exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        noise = tmp / "noise.ppm"
        rng = random.Random(5)
        write_ppm(noise, 13, 7, (rng.randrange(256) for _ in range(13 * 7 * 3)))
        # Grey and alpha noise with fully clear, fully opaque and partly clear pixels.
        graya = tmp / "graya.pam"
        values = bytearray()
        for _ in range(13 * 7):
            values += bytes([rng.randrange(256), rng.choice([0, 255, 128, rng.randrange(256)])])
        graya.write_bytes(b"P7\nWIDTH 13\nHEIGHT 7\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\n" + values)
        blocks = tmp / "quadrants.ppm"
        quadrants(blocks)

        good = {
            # PNG24:/PNG48: keep ImageMagick from storing a picture of so few colours with a palette.
            "rgb8.png": [noise, "PNG24:"],
            "rgb16.png": [noise, "PNG48:"],
            "rgb8-interlaced.png": [noise, "-interlace", "PNG", "PNG24:"],
            "palette.png": [noise, "-colors", "16", "PNG8:"],
            "grey1.png": [noise, "-colorspace", "Gray", "-threshold", "50%", "-type", "bilevel", "-depth", "1"],
            "greyalpha.png": [graya, "-define", "png:color-type=4", "-depth", "8"],
            "rgba.png": [noise, graya, "-compose", "CopyOpacity", "-composite", "PNG32:"],
            "palette.gif": [noise, "-colors", "16"],
            "transparent.gif": [noise, "-colors", "15", "-fill", "none", "-draw", "rectangle 2,2 5,4"],
            "rgb8.tif": [noise, "-compress", "lzw"],
            "baseline.jpg": [blocks, "-quality", "95", "-sampling-factor", "1x1"],
            "progressive.jpg": [blocks, "-quality", "95", "-sampling-factor", "1x1", "-interlace", "Plane"],
            "grey.jpg": [blocks, "-quality", "95", "-colorspace", "Gray"],
            "cmyk.jpg": [blocks, "-quality", "95", "-sampling-factor", "1x1", "-colorspace", "CMYK"],
        }
        for name, args in good.items():
            *inputs, last = args
            target = out / name
            if isinstance(last, str) and last.endswith(":"):
                convert(*inputs, last + str(target))
            else:
                convert(*args, target)
            reference(target, out / (name + ".ppm"))
        convert(OUT / "noise-97x61.ppm", out / "noise-97x61.png")

        # The eight orientations: the blocks stored as they are, in JPEG with an Exif block, and in TIFF.
        plain = (out / "baseline.jpg").read_bytes()
        for orientation in range(1, 9):
            (out / f"orient-{orientation}.jpg").write_bytes(with_exif_orientation(plain, orientation))
        names = ["top-left", "top-right", "bottom-right", "bottom-left", "left-top", "right-top", "right-bottom",
                 "left-bottom"]
        for orientation, name in enumerate(names, 1):
            convert(blocks, "-orient", name, "-compress", "lzw", out / f"orient-{orientation}.tif")

        # Broken files.
        (out / "bad-empty.jpg").write_bytes(b"")
        scan = plain.index(b"\xff\xda")
        (out / "bad-cut-in-header.jpg").write_bytes(plain[: scan // 2])
        (out / "bad-cut-in-scan.jpg").write_bytes(plain[: scan + (len(plain) - scan) // 2])
        png = (out / "rgb8.png").read_bytes()
        at = png.index(b"IDAT") + 4
        (out / "bad-checksum.png").write_bytes(png[:at] + bytes([png[at] ^ 0x55]) + png[at + 1:])
        ihdr = png_chunk(b"IHDR", struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0))
        (out / "bad-huge.png").write_bytes(png[:8] + ihdr + png[8 + 25:])
        sof = plain.index(b"\xff\xc0") + 5
        (out / "bad-huge.jpg").write_bytes(plain[:sof] + struct.pack(">HH", 65000, 65000) + plain[sof + 4:])
        (out / "bad-noframe.gif").write_bytes(b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0, 0, 0) + b";")
        # 1 x 2^28 pixels (under the loader's limit) in 2^28 strips of one row, whose offsets and counts lie far
        # beyond the end of the file.
        rows = 1 << 28
        (out / "bad-strips.tif").write_bytes(b"II" + struct.pack("<HI", 42, 8) + struct.pack("<H", 8)
                                             + struct.pack("<HHII", 256, 4, 1, 1)         # ImageWidth
                                             + struct.pack("<HHII", 257, 4, 1, rows)      # ImageLength
                                             + struct.pack("<HHIHH", 258, 3, 1, 8, 0)     # BitsPerSample
                                             + struct.pack("<HHIHH", 259, 3, 1, 1, 0)     # no compression
                                             + struct.pack("<HHIHH", 262, 3, 1, 1, 0)     # black is zero
                                             + struct.pack("<HHII", 273, 4, rows, 0x10000000)  # StripOffsets
                                             + struct.pack("<HHII", 278, 4, 1, 1)         # RowsPerStrip
                                             + struct.pack("<HHII", 279, 4, rows, 0x20000000)  # StripByteCounts
                                             + b"\0\0\0\0")


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    noise_pair(3, 3, "2x2", 1)
    noise_pair(1025, 9, "1024x8", 2)
    noise_pair(1, 50, "1x17", 3)
    noise_pair(97, 61, "23x19", 4)
    formula_reference()
    exif_seeds()
    picture_files()


if __name__ == "__main__":
    main()
