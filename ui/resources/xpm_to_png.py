#!/usr/bin/env python3
"""Writes an XPM image as a square PNG of the given size for the desktop's icon
theme. The pixel art is enlarged by the largest whole-number factor that fits,
nearest neighbour, so every pixel stays a sharp square; what the factor leaves
over (48 = 1 x 32 + 16) becomes an even transparent border.
Usage: xpm_to_png.py IMAGE.xpm SIZE OUTPUT.png"""
import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # the build leaves the source tree as it found it
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xpm_to_ico import read_xpm  # noqa: E402


def scaled_rgba(width, height, pixels, size):
    """Rows of RGBA bytes, size x size, with the image enlarged and centred."""
    factor = min(size // width, size // height)
    if factor < 1:
        raise ValueError(f"a {width}x{height} image does not fit into {size}x{size}")
    left, top = (size - width * factor) // 2, (size - height * factor) // 2
    blank = bytes(4)
    rows = []
    for y in range(size):
        source_y = (y - top) // factor
        if not 0 <= y - top < height * factor:
            rows.append(blank * size)
            continue
        row = bytearray()
        for x in range(size):
            rgb = pixels[source_y][(x - left) // factor] if 0 <= x - left < width * factor else None
            row += blank if rgb is None else struct.pack(">I", rgb << 8 | 0xFF)
        rows.append(bytes(row))
    return rows


def png_bytes(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA, no interlace
    image = b"".join(b"\0" + row for row in rows)  # filter type 0 on every row
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(image, 9)) \
        + chunk(b"IEND", b"")


def main(source, size, target):
    with open(source, encoding="ascii") as xpm:
        width, height, pixels = read_xpm(xpm.read())
    data = png_bytes(size, scaled_rgba(width, height, pixels, size))
    with open(target, "wb") as png:
        png.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 4 or not sys.argv[2].isdigit():
        sys.exit(__doc__)
    try:
        main(sys.argv[1], int(sys.argv[2]), sys.argv[3])
    except ValueError as error:
        sys.exit(f"{sys.argv[1]}: {error}")
