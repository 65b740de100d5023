#!/usr/bin/env python3
"""Turns one strike of a Windows bitmap font (.fon) into a TrueType font whose
outlines are the strike's pixels, one square per pixel. Qt cannot render a
.fon with its right widths, but it renders this exactly: at the strike's own
pixel size every square covers one whole pixel, so the text looks and measures
like the bitmap font, glyph for glyph. The window's designed font comes from
Wine's free replacement of the classic sans serif (Debian's fonts-wine).
Only the standard library is used.
Usage: fon_to_ttf.py FONT.fon CELL_HEIGHT_PX OUTPUT.ttf"""
import struct
import sys

UNITS_PER_PIXEL = 64
FONT_RESOURCE = 0x8008  # RT_FONT in a 16-bit executable's resource table


def font_resources(data):
    """The FNT resources of an NE executable (what a .fon file is)."""
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 2] != b"NE":
        raise ValueError("not a 16-bit Windows font file")
    table = header + struct.unpack_from("<H", data, header + 0x24)[0]
    shift = struct.unpack_from("<H", data, table)[0]
    position = table + 2
    while True:
        type_id, count = struct.unpack_from("<HH", data, position)
        position += 8
        if type_id == 0:
            return
        for _ in range(count):
            offset, length = struct.unpack_from("<HH", data, position)
            position += 12
            if type_id == FONT_RESOURCE:
                yield data[offset << shift:(offset + length) << shift]


def read_strike(resource):
    """Name, copyright, ascent, internal leading, cell height and
    {byte: (advance, rows of pixel bits)} of one FNT."""
    version = struct.unpack_from("<H", resource, 0)[0]
    copyright_text = resource[6:66].split(b"\0")[0].decode("latin-1").strip()
    ascent, internal_leading = struct.unpack_from("<HH", resource, 0x4A)
    height = struct.unpack_from("<H", resource, 0x58)[0]
    first, last = resource[0x5F], resource[0x60]
    face = struct.unpack_from("<I", resource, 0x69)[0]
    name = resource[face:resource.index(b"\0", face)].decode("latin-1")
    entry, entry_size = (0x94, 6) if version == 0x300 else (0x76, 4)
    glyphs = {}
    for index, code in enumerate(range(first, last + 1)):
        at = entry + entry_size * index
        width = struct.unpack_from("<H", resource, at)[0]
        offset = struct.unpack_from("<I" if version == 0x300 else "<H", resource, at + 2)[0]
        columns = (width + 7) // 8  # bytes across, stored column after column
        rows = []
        for y in range(height):
            bits = 0
            for column in range(columns):
                bits = bits << 8 | resource[offset + column * height + y]
            rows.append(bits >> (columns * 8 - width) if columns else 0)
        glyphs[code] = (width, rows)
    return name, copyright_text, ascent, internal_leading, height, glyphs


def pixel_runs(width, rows, ascent):
    """The glyph's pixels as rectangles (left, bottom, right, top) in font units."""
    boxes = []
    for y, bits in enumerate(rows):
        x = 0
        while x < width:
            if bits >> (width - 1 - x) & 1:
                start = x
                while x < width and bits >> (width - 1 - x) & 1:
                    x += 1
                top = (ascent - y) * UNITS_PER_PIXEL
                boxes.append((start * UNITS_PER_PIXEL, top - UNITS_PER_PIXEL, x * UNITS_PER_PIXEL, top))
            else:
                x += 1
    return boxes


def glyph_data(boxes):
    """A simple TrueType glyph: one clockwise contour of four points per box."""
    if not boxes:
        return b""
    points = [point for left, bottom, right, top in boxes
              for point in ((left, top), (right, top), (right, bottom), (left, bottom))]
    data = struct.pack(">hhhhh", len(boxes), min(b[0] for b in boxes), min(b[1] for b in boxes),
                       max(b[2] for b in boxes), max(b[3] for b in boxes))
    data += struct.pack(f">{len(boxes)}H", *(4 * k + 3 for k in range(len(boxes))))
    data += struct.pack(">H", 0)  # no instructions
    data += bytes([0x01]) * len(points)  # every point on the curve, coordinates as 16-bit deltas
    for axis in (0, 1):
        previous = 0
        for point in points:
            data += struct.pack(">h", point[axis] - previous)
            previous = point[axis]
    return data + bytes(-len(data) % 4)


def name_table(names):
    records, strings = b"", b""
    for name_id, text in sorted(names.items()):
        encoded = text.encode("utf-16-be")
        records += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(encoded), len(strings))
        strings += encoded
    return struct.pack(">HHH", 0, len(names), 6 + 12 * len(names)) + records + strings


def cmap_table(mapping):
    """Format 4, one segment per character, mapping it by its delta."""
    codes = sorted(mapping) + [0xFFFF]
    deltas = [(mapping[c] - c) & 0xFFFF for c in codes[:-1]] + [1]
    count = len(codes)
    search = 2 ** (count.bit_length() - 1)
    subtable = struct.pack(">HHHHHHH", 4, 16 + 8 * count, 0, 2 * count, 2 * search, search.bit_length() - 1,
                           2 * count - 2 * search)
    subtable += struct.pack(f">{count}H", *codes) + struct.pack(">H", 0) + struct.pack(f">{count}H", *codes)
    subtable += struct.pack(f">{count}H", *deltas) + struct.pack(f">{count}H", *([0] * count))
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + subtable


def checksum(data):
    data += bytes(-len(data) % 4)
    return sum(struct.unpack(f">{len(data) // 4}I", data)) & 0xFFFFFFFF


def build_font(name, copyright_text, ascent, internal_leading, height, glyphs):
    unit = UNITS_PER_PIXEL
    characters = {}
    for code in sorted(glyphs):
        try:
            characters[ord(bytes([code]).decode("cp1252"))] = code
        except UnicodeDecodeError:
            pass  # a byte that the Windows code page leaves undefined
    order = [None] + [characters[c] for c in sorted(characters)]  # glyph 0 is .notdef, empty
    advances = [glyphs[order[1]][0] * unit] + [glyphs[code][0] * unit for code in order[1:]]
    outlines = [b""] + [glyph_data(pixel_runs(*glyphs[code], ascent)) for code in order[1:]]
    boxes = [box for code in order[1:] for box in pixel_runs(*glyphs[code], ascent)]

    em = (height - internal_leading) * unit  # the character height: what a font's pixel size asks for
    ascender, descender = ascent * unit, (ascent - height) * unit
    x_max = max(advances)
    offsets, glyf = [], b""
    for outline in outlines:
        offsets.append(len(glyf))
        glyf += outline
    offsets.append(len(glyf))
    most_points = max((len(o) and struct.unpack_from(">h", o)[0] * 4) for o in outlines)
    most_contours = max((len(o) and struct.unpack_from(">h", o)[0]) for o in outlines)

    tables = {
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0b1011, em, 0, 0,
                             0, min(b[1] for b in boxes), x_max, max(b[3] for b in boxes), 0, 8, 2, 1, 0),
        b"hhea": struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, ascender, descender, 0, x_max, 0, 0, x_max, 1, 0,
                             0, 0, 0, 0, 0, 0, len(order)),
        b"maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, len(order), most_points, most_contours, 0, 0, 2,
                             0, 0, 0, 0, 0, 0, 0, 0),
        b"OS/2": struct.pack(">HhHHHhhhhhhhhhhh10sIIII4sHHHhhhHHIIhhHHH", 4, sum(advances) // len(advances),
                             400, 5, 0, em // 2, em // 2, 0, 0, em // 2, em // 2, 0, em // 2, unit, em // 2, 0,
                             bytes(10), 1, 0, 0, 0, b"    ", 0x40 | 0x80, min(characters),
                             min(max(characters), 0xFFFF), ascender, descender, 0, ascender, -descender, 1, 0,
                             0, 0, 0, 0x20, 0),
        b"hmtx": b"".join(struct.pack(">Hh", advance, 0) for advance in advances),
        b"cmap": cmap_table({c: 1 + k for k, c in enumerate(sorted(characters))}),
        b"loca": struct.pack(f">{len(offsets)}I", *offsets),
        b"glyf": glyf,
        b"name": name_table({0: copyright_text, 1: name, 2: "Regular", 3: f"{name} {height}px",
                             4: name, 5: "Version 1.0", 6: name.replace(" ", "") + "-Regular"}),
        b"post": struct.pack(">IIhhIIIII", 0x00030000, 0, descender // 2, unit, 0, 0, 0, 0, 0),
    }
    tags = sorted(tables)
    search = 2 ** (len(tags).bit_length() - 1)
    header = struct.pack(">IHHHH", 0x00010000, len(tags), search * 16, search.bit_length() - 1,
                         len(tags) * 16 - search * 16)
    directory, body = b"", b""
    offset = len(header) + 16 * len(tags)
    for tag in tags:
        data = tables[tag]
        directory += struct.pack(">4sIII", tag, checksum(data), offset + len(body), len(data))
        body += data + bytes(-len(data) % 4)
    font = bytearray(header + directory + body)
    head = offset + body.index(tables[b"head"])  # checkSumAdjustment makes the whole file sum to a constant
    struct.pack_into(">I", font, head + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def main():
    source, cell_height, output = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(source, "rb") as file:
        strikes = [read_strike(resource) for resource in font_resources(file.read())]
    chosen = [strike for strike in strikes if strike[4] == cell_height]
    if not chosen:
        raise SystemExit(f"{source} has no strike of {cell_height} px (it has {[s[4] for s in strikes]})")
    with open(output, "wb") as file:
        file.write(build_font(*chosen[0]))


if __name__ == "__main__":
    main()
