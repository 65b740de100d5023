#!/usr/bin/env python3
"""Packs a folder into a ZIP archive whose bytes depend on the folder's
contents alone: entries in the byte order of their paths, every time stamp
SOURCE_DATE_EPOCH (as UTC, and no earlier than 1980, where the format's dates
begin), folders 0755, files 0755 where their owner may execute them and 0644
otherwise, and no extra fields.
Usage: zip_folder.py FOLDER ARCHIVE.zip [TOP]   (TOP: one folder that holds every entry)"""
import os
import stat
import sys
import time
import zipfile

FIRST_ZIP_TIME = 315532800  # 1980-01-01 00:00:00 UTC


def entries(folder):
    """(path in the archive, path on disk) of every folder and file below FOLDER, sorted."""
    found = []
    for root, folders, names in os.walk(folder):
        for name in folders + names:
            path = os.path.join(root, name)
            if os.path.islink(path):
                raise SystemExit(f"zip_folder: {path} is a symbolic link, which an archive cannot hold portably")
            found.append((os.path.relpath(path, folder).replace(os.sep, "/") + ("/" if name in folders else ""), path))
    return sorted(found, key=lambda entry: entry[0].encode())


def main():
    folder, archive = sys.argv[1:3]
    top = sys.argv[3].strip("/") + "/" if len(sys.argv) > 3 else ""
    moment = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), FIRST_ZIP_TIME))[:6]
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w") as output:
        for name, path in ([(top, folder)] if top else []) + [(top + name, path) for name, path in entries(folder)]:
            info = zipfile.ZipInfo(name, moment)
            info.create_system = 3  # Unix, so that the modes below count
            if name.endswith("/"):
                info.external_attr = (stat.S_IFDIR | 0o755) << 16 | 0x10  # 0x10: the MS-DOS folder flag
                output.writestr(info, b"")
            else:
                executable = os.stat(path).st_mode & stat.S_IXUSR
                info.external_attr = (stat.S_IFREG | (0o755 if executable else 0o644)) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as file:
                    output.writestr(info, file.read(), compresslevel=9)
    os.replace(partial, archive)


if __name__ == "__main__":
    main()
