#!/usr/bin/env python3
"""Writes the site's page and stylesheet around the form's part, which the
build's page_markup tool wrote from the form's table into PARTS_DIR (markup,
places, mark-styles, touch-query, designed-face-query, caption):
- index.html from its template, with the form's markup, the caption as its
  title, boot.js (without its comments) as its one inline script and that script's hash in the
  Content-Security-Policy, which allows no other inline script;
- lotto.css: the page's stylesheet, the designed places, the looks of the
  marks, and the touch layout under the media query that the program watches
  as well, without comments.
Nothing is written twice by hand: what the form is comes from the tool alone.
Usage: make_page.py OUT_DIR PARTS_DIR INDEX_TEMPLATE BOOT_JS LOTTO_CSS TOUCH_CSS"""
import base64
import hashlib
import html
import os
import re
import sys


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def part(parts, name):
    return read(os.path.join(parts, name)).rstrip("\n")


def compact(css):
    """The stylesheet as served: its comments stay in the sources, and so does
    the whitespace that only a reader needs."""
    css = re.sub(r"/\*.*?\*/", "", css, flags=re.S)
    css = re.sub(r"\s+", " ", css)
    return re.sub(r" ?([{};]) ?", r"\1", css).strip() + "\n"


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


def main(out, parts, template, boot, stylesheet, touch):
    # Its comments stay in the source: the page carries the code alone.
    script = "\n".join(line for line in read(boot).splitlines() if not line.lstrip().startswith("//")) + "\n"
    if "</script" in script.lower():
        sys.exit(f"{boot} must not close its own script element")
    digest = base64.b64encode(hashlib.sha256(script.encode("utf-8")).digest()).decode("ascii")
    page = read(template)
    for key, value in (("@LOTTO_BOOT_HASH@", "sha256-" + digest), ("@LOTTO_TITLE@", html.escape(part(parts, "caption"))),
                       ("@LOTTO_DESIGNED_FACE_QUERY@", part(parts, "designed-face-query")),
                       ("@LOTTO_FORM@", part(parts, "markup")), ("@LOTTO_BOOT@", script)):
        if key not in page:
            sys.exit(f"{template} has no {key}")
        page = page.replace(key, value, 1)
    write(os.path.join(out, "index.html"), page)
    write(os.path.join(out, "lotto.css"), compact(read(stylesheet) + part(parts, "places")
                                                  + part(parts, "mark-styles") + "@media "
                                                  + part(parts, "touch-query") + "{" + read(touch) + "}"))


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
