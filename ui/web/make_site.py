#!/usr/bin/env python3
"""Assembles the site: copies each file to its place under the site folder and
writes the service worker, which lists every file for the offline copy and is
named after their contents, so that a changed site replaces the copy.
A file given as named:PLACE=SOURCE is placed under a name that carries its
content's hash (lotto.js as lotto.0123456789ab.js), and every page,
stylesheet and text of the site that names it names it so: a page then runs
only with the files of its own build, whatever a cache still holds. A text
that names such a file (the stylesheet its faces) takes its own hash after
that. A file given as later:PLACE=SOURCE is kept in the copy only once a page
has asked for it, which most never do.
Nothing of the build machine enters: no path, no time stamp.
Usage: make_site.py SITE_DIR SW_TEMPLATE [later:][named:]PLACE=SOURCE..."""
import hashlib
import json
import os
import re
import sys

# The texts in which the names of named files are written anew.
TEXTS = (".html", ".css", ".txt")
HASH_DIGITS = 12


def hashed(place, content):
    stem, dot, extension = place.rpartition(".")
    return f"{stem}.{hashlib.sha256(content).hexdigest()[:HASH_DIGITS]}{dot}{extension}"


def renamed(text, names):
    """The text with each name of NAMES (plain -> hashed) written as hashed,
    wherever it stands as a whole name, not as a part of a longer one."""
    for plain, new in names.items():
        text = re.sub(r"(?<![\w./-])" + re.escape(plain) + r"(?![\w-])", new, text)
    return text


def inline_scripts(page):
    return re.findall(r"<script\b[^>]*>(.*?)</script>", page, flags=re.S)


def main(site, template, pairs):
    files = {}  # place: (content, later, named)
    for pair in pairs:
        place, source = pair.split("=", 1)
        later = named = False
        while place.startswith(("later:", "named:")):
            prefix, place = place.split(":", 1)
            later, named = later or prefix == "later", named or prefix == "named"
        with open(source, "rb") as file:
            files[place] = (file.read(), later, named)

    # The named files that name no other first, then the named texts, which
    # name them; the other texts last.
    names = {}
    order = sorted(files, key=lambda place: (not files[place][2], place.endswith(TEXTS), place))
    placed = {}
    for place in order:
        content, later, named = files[place]
        if place.endswith(TEXTS):
            text = content.decode("utf-8")
            new = renamed(text, names)
            if place.endswith(".html") and inline_scripts(new) != inline_scripts(text):
                sys.exit(f"{place}: its inline script names a file, which would change the script's hash")
            content = new.encode("utf-8")
        if named:
            names[place] = hashed(place, content)
        placed[names.get(place, place)] = (content, later)

    digest = hashlib.sha256()
    for place in sorted(placed):
        content, _ = placed[place]
        target = os.path.join(site, place)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as file:
            file.write(content)
        digest.update(place.encode() + b"\0" + content)
    # The page itself is asked for as the folder.
    listed = ["./" if place == "index.html" else place for place in sorted(placed) if not placed[place][1]]
    later = [place for place in sorted(placed) if placed[place][1]]
    with open(template, encoding="utf-8") as file:
        worker = file.read()
    for key, value in (("@LOTTO_SITE_VERSION@", digest.hexdigest()[:16]),
                       ("@LOTTO_SITE_FILES@", ", ".join(json.dumps(place) for place in listed)),
                       ("@LOTTO_SITE_LATER@", ", ".join(json.dumps(place) for place in later)),
                       ("@LOTTO_SITE_NAMED@", ", ".join(json.dumps(place) for place in sorted(names.values())))):
        if key not in worker:
            sys.exit(f"{template} has no {key}")
        worker = worker.replace(key, value)
    with open(os.path.join(site, "sw.js"), "w", encoding="utf-8", newline="\n") as file:
        file.write(worker)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
