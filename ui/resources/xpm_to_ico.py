#!/usr/bin/env python3
"""Writes the Windows icon file of an XPM image: one 32x32 image with 16 colours
(the standard palette of 16-colour Windows), transparency in the AND mask.
Usage: xpm_to_ico.py IMAGE.xpm OUTPUT.ico"""
import re
import struct
import sys

# The 16 colours of the standard Windows palette, in their usual order.
PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]
TRANSPARENT = None


def read_xpm(text):
    """The image's width, height and rows of RGB values (None where transparent)."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
    if not strings:
        raise ValueError("no XPM strings found")
    width, height, colours, per_pixel = (int(v) for v in strings[0].split()[:4])
    table = {}
    for line in strings[1:1 + colours]:
        key, fields = line[:per_pixel], line[per_pixel:].split()
        if "c" not in fields:
            raise ValueError(f"colour {key!r} has no 'c' value")
        value = fields[fields.index("c") + 1]
        if value.lower() == "none":
            table[key] = TRANSPARENT
        elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            table[key] = int(value[1:], 16)
        else:
            raise ValueError(f"colour {key!r}: only #RRGGBB and None are understood, not {value!r}")
    rows = strings[1 + colours:1 + colours + height]
    if len(rows) != height or any(len(row) != width * per_pixel for row in rows):
        raise ValueError("the pixel rows do not match the declared size")
    return width, height, [[table[row[x:x + per_pixel]] for x in range(0, len(row), per_pixel)] for row in rows]


def ico_bytes(width, height, pixels):
    if (width, height) != (32, 32):
        raise ValueError(f"a 32x32 image is expected, not {width}x{height}")
    for row in pixels:
        for rgb in row:
            if rgb is not TRANSPARENT and rgb not in PALETTE:
                raise ValueError(f"#{rgb:06X} is not one of the 16 standard colours")

    # Rows are stored bottom-up, each padded to four bytes.
    xor_rows, and_rows = [], []
    for row in reversed(pixels):
        indexes = [0 if rgb is TRANSPARENT else PALETTE.index(rgb) for rgb in row]
        xor_rows.append(bytes((indexes[x] << 4) | indexes[x + 1] for x in range(0, width, 2)))
        mask = 0
        for rgb in row:
            mask = (mask << 1) | (1 if rgb is TRANSPARENT else 0)
        and_rows.append(mask.to_bytes(width // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)

    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main(source, target):
    with open(source, encoding="ascii") as xpm:
        width, height, pixels = read_xpm(xpm.read())
    data = ico_bytes(width, height, pixels)
    with open(target, "wb") as ico:
        ico.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    try:
        main(sys.argv[1], sys.argv[2])
    except ValueError as error:
        sys.exit(f"{sys.argv[1]}: {error}")
