#!/usr/bin/env python3
"""Guards the Windows icon made from MAINICON.xpm: an independent decoder
(ImageMagick's convert, given as the first argument) must see the XPM's very
pixels, transparency included, and the icon's directory must describe what
Windows picks a 32x32, 16-colour image by. Colours or sizes that a 16-colour
32x32 icon cannot hold are refused rather than approximated."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "..", "ui", "resources")
XPM = os.path.join(RESOURCES, "MAINICON.xpm")
CONVERT = "/usr/bin/convert"

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, RESOURCES)
import xpm_to_ico  # noqa: E402


def rgba_pixels(path):
    data = subprocess.run([CONVERT, path, "-alpha", "on", "-depth", "8", "rgba:-"], check=True,
                          capture_output=True).stdout
    pixels = [data[k:k + 4] for k in range(0, len(data), 4)]
    # A fully transparent pixel has no colour worth comparing.
    return [b"\0\0\0\0" if pixel[3] == 0 else pixel for pixel in pixels]


def xpm_text(colours, rows, size=None):
    width, height = size or (len(rows[0]), len(rows))
    lines = [f"{width} {height} {len(colours)} 1", *(f"{key} c {value}" for key, value in colours.items()), *rows]
    return "static const char* const image[] = {\n" + ",\n".join(f'"{line}"' for line in lines) + "\n};\n"


class MainIcon(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        cls.ico = os.path.join(cls.directory.name, "MAINICON.ico")
        xpm_to_ico.main(XPM, cls.ico)
        with open(cls.ico, "rb") as ico:
            cls.data = ico.read()

    @classmethod
    def tearDownClass(cls):
        cls.directory.cleanup()

    def test_decodes_to_the_xpm_pixels(self):
        icon, original = rgba_pixels(self.ico), rgba_pixels(XPM)
        self.assertEqual(len(icon), 32 * 32)
        differing = [k for k in range(len(icon)) if icon[k] != original[k]]
        self.assertEqual(differing, [], "pixels (row-major indexes) that differ")

    def test_directory_describes_one_32x32_image_of_16_colours(self):
        reserved, kind, count = struct.unpack_from("<HHH", self.data, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", self.data, 6)
        self.assertEqual((width, height, colours, planes, bits), (32, 32, 16, 1, 4))
        self.assertEqual(offset + size, len(self.data))
        header_size, bitmap_width, bitmap_height, _, bit_count = struct.unpack_from("<IiiHH", self.data, offset)
        # The bitmap's height counts the colour image and the transparency mask.
        self.assertEqual((header_size, bitmap_width, bitmap_height, bit_count), (40, 32, 64, 4))


class Refusals(unittest.TestCase):
    def convert(self, text):
        width, height, pixels = xpm_to_ico.read_xpm(text)
        return xpm_to_ico.ico_bytes(width, height, pixels)

    def test_a_colour_outside_the_16_is_refused(self):
        with self.assertRaisesRegex(ValueError, "#123456"):
            self.convert(xpm_text({"a": "#123456"}, ["a" * 32] * 32))

    def test_another_size_is_refused(self):
        with self.assertRaisesRegex(ValueError, "16x16"):
            self.convert(xpm_text({"a": "#FF0000"}, ["a" * 16] * 16))

    def test_rows_that_do_not_match_the_size_are_refused(self):
        with self.assertRaisesRegex(ValueError, "declared size"):
            self.convert(xpm_text({"a": "#FF0000"}, ["a" * 32] * 31, size=(32, 32)))


if __name__ == "__main__":
    if len(sys.argv) > 1:
        CONVERT = sys.argv.pop(1)
    unittest.main()
