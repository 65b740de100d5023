#!/usr/bin/env python3
"""Assembles the site: copies each file to its place under the site folder and
writes the service worker, which lists every file for the offline copy and is
named after their contents, so that a changed site replaces the copy.
Nothing of the build machine enters: no path, no time stamp.
Usage: make_site.py SITE_DIR SW_TEMPLATE PLACE=SOURCE..."""
import hashlib
import json
import os
import shutil
import sys


def main(site, template, pairs):
    files = []
    digest = hashlib.sha256()
    for pair in sorted(pairs):
        place, source = pair.split("=", 1)
        target = os.path.join(site, place)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
        files.append(place)
        with open(target, "rb") as file:
            digest.update(place.encode() + b"\0" + file.read())
    # The page itself is asked for as the folder.
    listed = ["./" if place == "index.html" else place for place in files]
    with open(template, encoding="utf-8") as file:
        worker = file.read()
    worker = worker.replace("@LOTTO_SITE_VERSION@", digest.hexdigest()[:16])
    worker = worker.replace("@LOTTO_SITE_FILES@", ", ".join(json.dumps(place) for place in listed))
    with open(os.path.join(site, "sw.js"), "w", encoding="utf-8", newline="\n") as file:
        file.write(worker)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
