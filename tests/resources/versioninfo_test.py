#!/usr/bin/env python3
"""Reads the version resource of a Windows program the way Explorer finds it,
through the PE file's resource directory, and checks what Properties > Details
shows: product name, version (numbers and text) from the build, the original
file name, a German string table that the translation entry points to, and
text that survived the trip through the resource compiler (the © sign).
Usage: versioninfo_test.py PROGRAM.exe VERSION"""
import collections
import os
import struct
import sys
import unittest

RT_VERSION = 16
PROGRAM, VERSION = None, None

Node = collections.namedtuple("Node", "key value children end")


def version_resource(image):
    """The bytes of the first RT_VERSION resource of a PE image (32- or 64-bit)."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resources_rva, _ = struct.unpack_from("<II", image, directories + 2 * 8)
    if resources_rva == 0:
        raise ValueError("no resources at all")
    table = [struct.unpack_from("<8xIIII", image, optional + optional_size + 40 * k) for k in range(sections)]

    def offset(rva):
        for _, address, raw_size, raw_offset in table:
            if address <= rva < address + raw_size:
                return raw_offset + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    root = offset(resources_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<12xHH", image, root + directory)
        for k in range(named + numbered):
            name, target = struct.unpack_from("<II", image, root + directory + 16 + 8 * k)
            yield name, target

    # type -> name -> language -> data entry; the top bit marks a subdirectory.
    level = next((target for name, target in entries(0) if name == RT_VERSION), None)
    if level is None:
        raise ValueError("no version resource")
    for _ in range(2):
        level = next(entries(level & 0x7FFFFFFF))[1]
    data_rva, size = struct.unpack_from("<II", image, root + level)
    start = offset(data_rva)
    return image[start:start + size]


def parse(block, start=0):
    """One node of the VS_VERSIONINFO tree: key, value (text or bytes), children."""
    def aligned(position):
        return (position + 3) & ~3

    length, value_length, is_text = struct.unpack_from("<HHH", block, start)
    key_end = start + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[start + 6:key_end].decode("utf-16-le")
    position = aligned(key_end + 2)
    if is_text:
        value = block[position:position + 2 * value_length].decode("utf-16-le").rstrip("\0")
        position += 2 * value_length
    else:
        value = block[position:position + value_length]
        position += value_length
    children, position = [], aligned(position)
    while position < start + length:
        child = parse(block, position)
        children.append(child)
        position = aligned(child.end)
    return Node(key, value, children, start + length)


class VersionResource(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PROGRAM, "rb") as program:
            cls.root = parse(version_resource(program.read()))
        cls.info = {child.key: child for child in cls.root.children}

    def string_table(self):
        tables = self.info["StringFileInfo"].children
        self.assertEqual(len(tables), 1)
        return tables[0].key, {string.key: string.value for string in tables[0].children}

    def test_fixed_part_holds_the_build_version(self):
        self.assertEqual(self.root.key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", self.root.value)
        self.assertEqual(signature, 0xFEEF04BD)
        numbers = ([int(part) for part in VERSION.split(".")] + [0, 0, 0])[:4]
        expected = (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3])
        self.assertEqual((file_ms, file_ls), expected)
        self.assertEqual((product_ms, product_ls), expected)

    def test_strings_name_the_product_and_this_file(self):
        _, strings = self.string_table()
        self.assertEqual(strings["ProductName"], "Lotto 6 aus 49")
        self.assertEqual(strings["FileVersion"], VERSION)
        self.assertEqual(strings["ProductVersion"], VERSION)
        self.assertEqual(strings["OriginalFilename"], os.path.basename(PROGRAM))
        self.assertTrue(strings["FileDescription"])
        self.assertRegex(strings["LegalCopyright"], r"^© the Lotto 6 aus 49 authors")

    def test_translation_points_to_the_german_table(self):
        key, _ = self.string_table()
        self.assertEqual(key.upper(), "040704B0")
        translations = self.info["VarFileInfo"].children
        self.assertEqual([(t.key, struct.unpack("<HH", t.value)) for t in translations],
                         [("Translation", (0x0407, 1200))])


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    PROGRAM, VERSION = sys.argv.pop(1), sys.argv.pop(1)
    unittest.main()
