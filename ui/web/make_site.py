#!/usr/bin/env python3
"""Assembles the site: copies each file to its place under the site folder and
writes the service worker, which lists every file for the offline copy and is
named after their contents, so that a changed site replaces the copy. A file
given as later:PLACE=SOURCE is kept in the copy only once a page has asked
for it, which most never do.
Nothing of the build machine enters: no path, no time stamp.
Usage: make_site.py SITE_DIR SW_TEMPLATE [later:]PLACE=SOURCE..."""
import hashlib
import json
import os
import shutil
import sys


def main(site, template, pairs):
    files = []
    later = []
    digest = hashlib.sha256()
    for pair in sorted(pairs, key=lambda pair: pair.removeprefix("later:")):
        place, source = pair.split("=", 1)
        if place.startswith("later:"):
            place = place.removeprefix("later:")
            later.append(place)
        target = os.path.join(site, place)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
        files.append(place)
        with open(target, "rb") as file:
            digest.update(place.encode() + b"\0" + file.read())
    # The page itself is asked for as the folder.
    listed = ["./" if place == "index.html" else place for place in files if place not in later]
    with open(template, encoding="utf-8") as file:
        worker = file.read()
    worker = worker.replace("@LOTTO_SITE_VERSION@", digest.hexdigest()[:16])
    worker = worker.replace("@LOTTO_SITE_FILES@", ", ".join(json.dumps(place) for place in listed))
    worker = worker.replace("@LOTTO_SITE_LATER@", ", ".join(json.dumps(place) for place in later))
    with open(os.path.join(site, "sw.js"), "w", encoding="utf-8", newline="\n") as file:
        file.write(worker)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
