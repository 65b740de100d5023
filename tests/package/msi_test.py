#!/usr/bin/env python3
"""Takes the Windows installer the way a user gets it.

As a file, on the build machine: the program it carries is the one built, for
its architecture, with the read-me and the licences; it installs for the
current user alone; its language is German; its version is the project's.

With --wine, under Wine with the 64-bit msiexec: installs an older build of it
(made here from its own files, with a lower version), then it, silently;
checks the files, the Start-menu shortcut and the one entry in the installed
programs; refuses the older build afterwards; plays the installed program with
the Wine smoke test; uninstalls it by the entry's own command; and finds
nothing of it left in the prefix.

Usage: msi_test.py MSI EXE VERSION
       msi_test.py --wine WINE WINE64 MSI   (WINEPREFIX from the environment)"""
import os
import re
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from desktop import check, summary  # noqa: E402
from waiting import PATIENCE  # noqa: E402
import wineprefix  # noqa: E402

MAKE_MSI = os.path.join(HERE, "..", "..", "packaging", "windows", "make_msi.py")
SMOKE_TEST = os.path.join(HERE, "..", "e2e", "lotto_wine_smoke.py")
NAME = "Lotto 6 aus 49"
PUBLISHER = "the Lotto 6 aus 49 authors"
FILES = {"lotto.exe", "LIESMICH.txt", "LICENSE.txt", "MinGW-w64-Lizenzen.txt"}
OLDER_VERSION = "0.0.1"
MACHINES = {0x14C: "Intel", 0x8664: "x64"}  # the PE header's machine: the installer's platform


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def msi_table(msi, table):
    """The rows of one table as lists of fields (after the three header lines)."""
    lines = run("msiinfo", "export", msi, table).stdout.splitlines()
    return [line.split("\t") for line in lines[3:] if line.strip()]


def extract(msi, folder):
    """The installer's files, unpacked into FOLDER: {name: path}."""
    subprocess.run(["msiextract", "-C", folder, msi], check=True, capture_output=True)
    return {name: os.path.join(root, name) for root, _, names in os.walk(folder) for name in names}


def contents(path):
    """The bytes of a file, or None where there is none."""
    try:
        with open(path, "rb") as file:
            return file.read()
    except OSError:
        return None


def same_bytes(first, second):
    return contents(first) is not None and contents(first) == contents(second)


def check_package(msi, exe, version):
    with open(exe, "rb") as file:
        header = file.read(4096)
    machine = struct.unpack_from("<H", header, struct.unpack_from("<I", header, 0x3C)[0] + 4)[0]
    platform = MACHINES[machine]
    info = dict(line.split(": ", 1) for line in run("msiinfo", "suminfo", msi).stdout.splitlines() if ": " in line)
    check(info.get("Template") == f"{platform};1031",
          f"the package is for {platform}, in German ({info.get('Template')})")
    word_count = int(info.get("Source", "0").split()[0])
    check(word_count & 8 and word_count & 2,
          f"it needs no administrator rights, its files are compressed ({word_count})")

    properties = dict(row[:2] for row in msi_table(msi, "Property"))
    expected = {"ProductName": NAME, "Manufacturer": PUBLISHER, "ProductVersion": version, "ProductLanguage": "1031"}
    check(all(properties.get(key) == value for key, value in expected.items()),
          f"name, publisher, version and language ({ {key: properties.get(key) for key in expected} })")
    check("ALLUSERS" not in properties, f"it installs for the current user (ALLUSERS={properties.get('ALLUSERS')})")
    bits = {row[0]: int(row[3]) & 256 != 0 for row in msi_table(msi, "Component")}
    check(all(bit == (platform == "x64") for bit in bits.values()), f"components match the platform ({bits})")

    with tempfile.TemporaryDirectory() as folder:
        files = extract(msi, folder)
        check(set(files) == FILES, f"it carries the program, the read-me and the licences ({sorted(files)})")
        check("lotto.exe" in files and same_bytes(files["lotto.exe"], exe), f"its lotto.exe is {exe}")


# ---- Under Wine ----------------------------------------------------------

def unescape(text):
    """A string of Wine's registry files as it is: \\xHHHH is one character, \\ escapes any other."""
    def one(match):
        escaped = match.group(1)
        return chr(int(escaped[1:], 16)) if escaped.startswith("x") and len(escaped) > 1 else escaped
    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", one, text)


def read_registry(prefix):
    """Every key of the prefix's registry files with its values: {(hive, key): {name: text}}."""
    keys = {}
    for hive in ("user", "system"):
        with open(os.path.join(prefix, f"{hive}.reg"), encoding="utf-8", errors="replace") as file:
            values = None
            for line in file:
                if line.startswith("["):
                    values = keys.setdefault((hive, unescape(line[1:line.rindex("]")])), {})
                elif values is not None and (match := re.match(r'(@|"((?:[^"\\]|\\.)*)")=(.*)', line)):
                    data = re.match(r'(?:str\(\d\):)?"((?:[^"\\]|\\.)*)"', match.group(3))
                    values[unescape(match.group(2) or "@")] = unescape(data.group(1)) if data else match.group(3)
    return keys


def read_shortcut(path):
    """The target, working folder and icon file of a shell link (.lnk)."""
    with open(path, "rb") as file:
        data = file.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    position, target, strings = 0x4C, None, {}
    if flags & 0x1:  # a list of item ids
        position += 2 + struct.unpack_from("<H", data, position)[0]
    if flags & 0x2:  # where the target is
        size, _, info_flags, _, base = struct.unpack_from("<5I", data, position)
        if info_flags & 0x1:
            start = position + base
            target = data[start:data.index(b"\0", start)].decode("cp1252")
        position += size
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "working"), (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, position)[0]
            width = 2 if flags & 0x80 else 1
            raw = data[position + 2:position + 2 + count * width]
            # Wine counts the terminating zero in, which the format leaves out.
            strings[name] = raw.decode("utf-16-le" if width == 2 else "cp1252").rstrip("\0")
            position += 2 + count * width
    return target, strings.get("working"), strings.get("icon")


class Prefix:
    """The Wine prefix, seen through the 64-bit loader."""

    def __init__(self, wine64, environment):
        self.wine64 = wine64
        self.environment = environment
        self.path = environment["WINEPREFIX"]

    def wine(self, *command):
        return run(self.wine64, *command, env=self.environment, timeout=PATIENCE)

    def settle(self):
        """Waits until every Wine process has ended and the registry is on disk."""
        subprocess.run([os.path.join(os.path.dirname(self.wine64), "wineserver"), "-w"], env=self.environment,
                       timeout=PATIENCE)

    def unix(self, windows_path):
        return os.path.realpath(self.wine("winepath", "-u", windows_path).stdout.strip())

    def windows(self, unix_path):
        return self.wine("winepath", "-w", unix_path).stdout.strip()

    def folder(self, variable):
        return self.wine("cmd", "/c", f"echo %{variable}%").stdout.strip()

    def msiexec(self, *arguments):
        result = self.wine("msiexec", *arguments, "/qn")
        self.settle()
        return result.returncode

    def snapshot(self):
        """Every file and folder of drive C: (a folder with whether it is empty),
        and every registry key with the names of its values."""
        self.settle()
        drive = os.path.join(self.path, "drive_c")
        files = {}
        for root, folders, names in os.walk(drive):
            files[os.path.relpath(root, drive)] = not (folders or names)
            files.update((os.path.relpath(os.path.join(root, name), drive), None) for name in names)
        return files, {key: set(values) for key, values in read_registry(self.path).items()}

    def entries(self):
        """The installed programs' entries named NAME: {(hive, key): values}."""
        return {key: values for key, values in read_registry(self.path).items()
                if re.search(r"\\Uninstall\\[^\\]+$", key[1]) and values.get("DisplayName") == NAME}

    def product_icons(self):
        """The icon files that the installer published for the installed apps' list."""
        return [values.get("ProductIcon") for key, values in read_registry(self.path).items()
                if re.search(r"\\Installer\\Products\\[0-9A-F]{32}$", key[1]) and values.get("ProductName") == NAME]


def older_build(msi, folder):
    """The same installer with a lower version and a read-me of its own."""
    files = extract(msi, os.path.join(folder, "files"))
    with open(files["LIESMICH.txt"], "ab") as readme:
        readme.write(b"\r\n(an older build)\r\n")
    icon = os.path.join(folder, "lotto.ico")
    with open(icon, "wb") as file:
        subprocess.run(["msiinfo", "extract", msi, "Icon.lotto.ico"], stdout=file, check=True)
    arch = "x64" if "x64;" in run("msiinfo", "suminfo", msi).stdout else "x86"
    older = os.path.join(folder, f"lotto-{OLDER_VERSION}.msi")
    subprocess.run([sys.executable, MAKE_MSI, "--version", OLDER_VERSION, "--arch", arch, "--icon", icon,
                    "--output", older, *files.values()], check=True)
    return older


def installed_as(prefix, msi, version, install_folder, icon):
    """Checks the one entry and the files after an install of MSI; gives the entry's values."""
    entries = prefix.entries()
    versions = sorted(values.get("DisplayVersion") for values in entries.values())
    check(versions == [version], f"one installed-programs entry, version {version} ({versions})")
    if len(entries) != 1:
        return None
    values = next(iter(entries.values()))
    check(values.get("Publisher") == PUBLISHER, f"the entry names the publisher ({values.get('Publisher')})")
    icons = prefix.product_icons()
    check(len(icons) == 1 and icons[0] and contents(prefix.unix(icons[0])) == icon,
          f"the entry shows the program's icon ({icons})")
    with tempfile.TemporaryDirectory() as folder:
        expected = extract(msi, folder)
        present = set(os.listdir(install_folder)) if os.path.isdir(install_folder) else set()
        same = all(same_bytes(expected[name], os.path.join(install_folder, name)) for name in FILES)
        check(present == FILES and same,
              f"{install_folder} holds the installer's files and no others ({sorted(present)})")
    return values


def start_menu_and_play(prefix, wine, install_folder, icon):
    menu = prefix.unix(prefix.folder("APPDATA") + r"\Microsoft\Windows\Start Menu\Programs")
    link = os.path.join(menu, f"{NAME}.lnk")
    check(os.path.isfile(link), f"the Start menu has the shortcut \"{NAME}\"")
    if os.path.isfile(link):
        target, working, icon_file = read_shortcut(link)
        exe = os.path.join(install_folder, "lotto.exe")
        check(target is not None and prefix.unix(target) == exe,
              f"the shortcut starts the installed program ({target})")
        check(working is not None and prefix.unix(working) == install_folder, f"in its folder ({working})")
        check(icon_file is not None and contents(prefix.unix(icon_file)) == icon,
              f"with the program's icon ({icon_file})")
    # No time limit of its own: each of its waits has the patience, and CTest's limit bounds the whole test.
    smoke = subprocess.run([sys.executable, SMOKE_TEST, wine, os.path.join(install_folder, "lotto.exe")],
                           env=prefix.environment, capture_output=True, text=True)
    print("  " + smoke.stdout.strip().replace("\n", "\n  "))
    check(smoke.returncode == 0, "the installed program passes the Wine smoke test")


def leftovers(before, after):
    """What is there now that was not before. The installer service keeps its
    own containers (its cache folder, its index keys) once they exist; left
    empty, they hold nothing of this program."""
    files, keys = after
    found = [path for path in sorted(set(files) - set(before[0]))
             if not (files[path] and os.path.basename(path) == "Installer")]
    for key in sorted(set(keys) - set(before[1])):
        if keys[key] or "\\Installer\\" not in key[1] + "\\" or re.search(r"[0-9A-Fa-f]{32}|\{", key[1]):
            found.append(f"{key[0]}:{key[1]} {sorted(keys[key])}")
    found += [f"{key[0]}:{key[1]} {sorted(keys[key] - before[1][key])}"
              for key in sorted(set(keys) & set(before[1])) if keys[key] - before[1][key]]
    return found


def wine_test(wine, wine64, msi):
    environment = dict(os.environ, WINEDEBUG="-all")
    environment.setdefault("WINEPREFIX", os.path.expanduser("~/.wine"))
    # Wine would copy the shortcut into the host's desktop menu.
    environment["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
    wineprefix.prepare(wine64, environment)
    prefix = Prefix(wine64, environment)
    install_folder = prefix.unix(prefix.folder("LOCALAPPDATA") + rf"\Programs\{NAME}")
    icon = subprocess.run(["msiinfo", "extract", msi, "Icon.lotto.ico"], capture_output=True, check=True).stdout
    if prefix.entries():
        check(False, f"the prefix {prefix.path} has no {NAME} installed before the test")
        return
    before = prefix.snapshot()
    try:
        install_play_uninstall(prefix, wine, msi, install_folder, icon)
    finally:
        # Where a check stopped it half-way, the prefix still gets rid of it for the next run.
        for key in prefix.entries():
            prefix.msiexec("/x", key[1].rsplit("\\", 1)[1])
    left = leftovers(before, prefix.snapshot())
    check(not left, f"nothing of it is left ({left})")


def install_play_uninstall(prefix, wine, msi, install_folder, icon):
    version = dict(row[:2] for row in msi_table(msi, "Property"))["ProductVersion"]
    with tempfile.TemporaryDirectory() as folder:
        older = older_build(msi, folder)
        check(prefix.msiexec("/i", prefix.windows(older)) == 0, f"msiexec installs version {OLDER_VERSION} silently")
        installed_as(prefix, older, OLDER_VERSION, install_folder, icon)

        check(prefix.msiexec("/i", prefix.windows(msi)) == 0, f"msiexec installs version {version} over it")
        entry = installed_as(prefix, msi, version, install_folder, icon)

        code = prefix.msiexec("/i", prefix.windows(older))
        check(code != 0 and [v.get("DisplayVersion") for v in prefix.entries().values()] == [version],
              f"the older version does not install over the newer (msiexec exit code {code})")

    start_menu_and_play(prefix, wine, install_folder, icon)

    uninstall = (entry or {}).get("UninstallString", "")
    check(re.fullmatch(r"MsiExec\.exe /X\{[0-9A-F-]{36}\}", uninstall, re.I) is not None,
          f"the entry uninstalls through msiexec ({uninstall!r})")
    if uninstall:
        check(prefix.msiexec(*uninstall.split()[1:]) == 0, "the entry's command uninstalls it silently")
    check(not prefix.entries(), "the entry is gone")


def main():
    if sys.argv[1] == "--wine":
        wine_test(*sys.argv[2:5])
    else:
        check_package(*sys.argv[1:4])
    return summary()


if __name__ == "__main__":
    sys.exit(main())
