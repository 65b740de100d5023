#!/usr/bin/env python3
"""Cuts a TrueType font down to the characters the game's texts and a typed
number can use, the Windows-1252 repertoire (Latin-1 and the typographic
quotes, dashes and the ellipsis of the messages), and writes it as WOFF2 for
the page. Characters outside the cut fall back to the browser's own fonts.
Hinting is dropped: browsers draw these sizes well without it, and it is most
of a face's weight. The face still leaves room for instructions: FreeType
auto-hints a TrueType face that leaves none, and its auto-hinter widens letters
to the stems it finds ("e" 7 pixels at 11, where the face says 5.8), while its
TrueType hinter keeps each letter's own width, rounded to a whole pixel.
WebKitGTK lays text out with the hinted widths, so only then does a label take
about its designed width there. A face's line height is made the same whichever
of its three sets of vertical metrics an engine reads: Wine's Tahoma asks
engines to prefer its typographic metrics, a line of 1.0 em that WebKit
honours, while Chromium and Firefox read the others, 1.21 em, as the desktop
does. Needs Debian's python3-fonttools and python3-brotli.
Usage: make_webfont.py FONT.ttf OUTPUT.woff2"""
import logging
import sys

sys.dont_write_bytecode = True  # the build leaves the source tree as it found it

from fontTools import subset  # noqa: E402
from fontTools.ttLib import TTFont  # noqa: E402


def repertoire():
    characters = set()
    for byte in range(0x20, 0x100):
        try:
            characters.add(ord(bytes([byte]).decode("cp1252")))
        except UnicodeDecodeError:
            pass  # a byte that the code page leaves undefined
    return sorted(characters)


def same_line_height(font):
    """The typographic ascender, descender and line gap set to the horizontal
    header's, which every engine otherwise falls back on."""
    header, metrics = font["hhea"], font["OS/2"]
    metrics.sTypoAscender, metrics.sTypoDescender, metrics.sTypoLineGap = \
        header.ascent, header.descent, header.lineGap


def hinted_natively(font):
    """Room for glyph instructions, though no glyph has any: FreeType takes a
    face whose room is 0 for one without hinting and auto-hints it."""
    font["maxp"].maxSizeOfInstructions = max(font["maxp"].maxSizeOfInstructions, 1)


def main(source, target):
    logging.getLogger("fontTools").setLevel(logging.ERROR)  # the notes on each table it drops
    options = subset.Options()
    options.flavor = "woff2"
    options.hinting = False
    options.desubroutinize = True
    options.name_IDs = ["*"]          # keeps the copyright and licence notices
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.recalc_timestamp = False  # equal sources give an equal file
    font = TTFont(source, recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=repertoire())
    subsetter.subset(font)
    same_line_height(font)
    hinted_natively(font)
    subset.save_font(font, target, options)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
