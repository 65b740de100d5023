#!/usr/bin/env python3
"""Builds the Windows installer of one architecture from lotto.wxs with wixl
(Debian's wixl package), then sets what wixl sets wrong or from the clock in
the package's summary information: the language (wixl writes 1033 whatever
the package says), the creation and save times (taken from SOURCE_DATE_EPOCH
where it is set) and the package code (a fresh random one from wixl, here one
derived from the package's contents). With SOURCE_DATE_EPOCH set, equal inputs
give an equal file.

The product code follows the version and the architecture, and each
component's code the architecture alone, all derived from the fixed upgrade
code in lotto.wxs: the same version always gets the same codes.

Usage: make_msi.py [--wixl WIXL] --version VERSION --arch x86|x64 --icon ICON.ico
                   --output OUT.msi FILE..."""
import argparse
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # the build leaves the source tree as it found it
sys.path.insert(0, HERE)
from compound_file import CompoundFile  # noqa: E402

WXS = os.path.join(HERE, "lotto.wxs")
LANGUAGE = "1031"  # German (Germany)
PLATFORMS = {"x86": "Intel", "x64": "x64"}
COMPONENTS = ("Program", "UserPrograms", "Shortcut")

# Property ids of the summary information that this script sets.
PID_TEMPLATE, PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 7, 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
FILETIME_EPOCH = 11644473600  # seconds from 1601-01-01 to 1970-01-01


def next_version(version):
    """The smallest version above VERSION as Windows Installer compares them (major.minor.build)."""
    fields = [int(field) for field in version.split(".")]
    limits = (255, 255, 65535, 65535)
    if not 1 <= len(fields) <= 4 or any(field > limit for field, limit in zip(fields, limits)):
        raise ValueError(f"{version} is no Windows Installer version (255.255.65535 at most)")
    major, minor, build = (fields + [0, 0])[:3]
    if build == limits[2]:
        raise ValueError(f"{version} has no next build number")
    return f"{major}.{minor}.{build + 1}"


def summary_properties(stream):
    """Where each property of the summary information stream sits: {id: (type, offset of its value)}."""
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    properties = {}
    for k in range(count):
        pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * k)
        properties[pid] = (struct.unpack_from("<I", stream, section + offset)[0] & 0xFFFF, section + offset + 4)
    return properties


def set_string(stream, properties, pid, text):
    kind, offset = properties[pid]
    length = struct.unpack_from("<I", stream, offset)[0]
    value = text.encode("ascii") + b"\0"
    if kind != VT_LPSTR or len(value) != length:
        old = bytes(stream[offset + 4:offset + 4 + length])
        raise ValueError(f"summary property {pid}: cannot put {text!r} in place of {old!r}")
    stream[offset + 4:offset + 4 + length] = value


def set_filetime(stream, properties, pid, seconds):
    kind, offset = properties[pid]
    if kind != VT_FILETIME:
        raise ValueError(f"summary property {pid} is no time")
    struct.pack_into("<Q", stream, offset, (seconds + FILETIME_EPOCH) * 10_000_000)


def fix_summary(path, platform, epoch, namespace):
    with open(path, "rb") as file:
        package = CompoundFile(bytearray(file.read()))
    extents = package.extents("\x05SummaryInformation")
    stream = bytearray(package.read(extents))
    properties = summary_properties(stream)
    set_string(stream, properties, PID_TEMPLATE, f"{platform};{LANGUAGE}")
    if epoch is not None:
        set_filetime(stream, properties, PID_CREATE_DTM, epoch)
        set_filetime(stream, properties, PID_LASTSAVE_DTM, epoch)
    # The package code names these exact bytes: a hash of the package with the code left blank.
    set_string(stream, properties, PID_REVNUMBER, "{%s}" % uuid.UUID(int=0))
    package.write(extents, stream)
    digest = hashlib.sha256(package.data).hexdigest()
    code = uuid.uuid5(namespace, "package " + digest)
    set_string(stream, properties, PID_REVNUMBER, "{%s}" % str(code).upper())
    package.write(extents, stream)
    with open(path, "wb") as file:
        file.write(package.data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--wixl", default="wixl")
    parser.add_argument("--version", required=True)
    parser.add_argument("--arch", choices=sorted(PLATFORMS), required=True)
    parser.add_argument("--icon", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("files", nargs="+")
    arguments = parser.parse_args()

    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    epoch = int(epoch) if epoch else None
    with open(WXS, encoding="utf-8") as file:
        namespace = uuid.UUID(re.search(r'UpgradeCode = "([0-9A-Fa-f-]{36})"', file.read()).group(1))

    def code(name):
        return str(uuid.uuid5(namespace, name)).upper()

    defines = {
        "Version": arguments.version,
        "NextVersion": next_version(arguments.version),
        "ProductCode": code(f"product {arguments.version} {arguments.arch}"),
        "Win64": "yes" if arguments.arch == "x64" else "no",
        "Files": "files",
        "Icon": "lotto.ico",
        **{f"{name}Guid": code(f"component {name} {arguments.arch}") for name in COMPONENTS},
    }
    with tempfile.TemporaryDirectory() as scratch:
        # wixl takes sources relative to where it runs, and stores each file's
        # time in the cabinet as local time.
        os.mkdir(os.path.join(scratch, "files"))
        for source in arguments.files:
            shutil.copyfile(source, os.path.join(scratch, "files", os.path.basename(source)))
        shutil.copyfile(arguments.icon, os.path.join(scratch, "lotto.ico"))
        if epoch is not None:
            for root, _, names in os.walk(scratch):
                for name in names:
                    os.utime(os.path.join(root, name), (epoch, epoch))
        # The output is put in place only once it is whole.
        package = os.path.join(scratch, "lotto.msi")
        command = [arguments.wixl, "-a", arguments.arch, "-o", package, WXS]
        command += [word for name, value in defines.items() for word in ("-D", f"{name}={value}")]
        result = subprocess.run(command, cwd=scratch, env=dict(os.environ, TZ="UTC"),
                                capture_output=True, text=True)
        # wixl reports some failures only as GLib criticals, and an attribute it
        # does not know as a warning, with exit code 0 both times.
        if result.returncode != 0 or result.stderr.strip() or not os.path.exists(package):
            sys.stderr.write(result.stderr)
            sys.exit(f"make_msi: wixl failed to build {arguments.output}")
        fix_summary(package, PLATFORMS[arguments.arch], epoch, namespace)
        shutil.move(package, arguments.output)


if __name__ == "__main__":
    main()
