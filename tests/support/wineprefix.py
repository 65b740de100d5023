"""Readies a Wine prefix for the tests of the Windows program: Wine draws the
window frames itself, so that X sees each window's whole outer frame even with
no window manager, the screen has the designed 96 dpi, and the prefix gets the
system fonts that Windows has (MS Sans Serif, Marlett for the caption glyphs),
which Debian's Wine ships but does not put where a prefix looks for them. Safe
to run again on a prefix.

With --dpi, runs one command on a screen of that dpi instead, and gives the
prefix its 96 dpi back afterwards; the command finds the dpi in LOTTO_TEST_DPI.
Usage: wineprefix.py WINE_LOADER (WINEPREFIX from the environment)
       wineprefix.py WINE_LOADER --dpi DPI -- COMMAND..."""
import os
import subprocess
import sys
import tempfile

from waiting import PATIENCE

SHIPPED_FONTS = "/usr/share/wine/fonts"
DESIGNED_DPI = 96


def _registry(dpi):
    # Wine reads the dpi from both keys when a process starts.
    return "\r\n".join([
        "Windows Registry Editor Version 5.00", "",
        r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', "",
        r"[HKEY_CURRENT_USER\Control Panel\Desktop]", f'"LogPixels"=dword:{dpi:08x}', "",
        r"[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]",
        f'"LogPixels"=dword:{dpi:08x}', "", ""])


def prepare(wine, environment, dpi=DESIGNED_DPI):
    environment = dict(environment, WINEDEBUG="-all")
    with tempfile.TemporaryDirectory() as scratch:
        settings = os.path.join(scratch, "settings.reg")
        with open(settings, "w", encoding="utf-16") as file:
            file.write(_registry(dpi))
        subprocess.run([wine, "reg", "import", settings], env=environment, check=True, capture_output=True,
                       timeout=PATIENCE)
    # Every Wine process of the prefix has ended once the server has: the next
    # one reads the new settings.
    subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "-w"], env=environment, timeout=PATIENCE)
    fonts = os.path.join(environment["WINEPREFIX"], "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    for name in os.listdir(SHIPPED_FONTS) if os.path.isdir(SHIPPED_FONTS) else []:
        target = os.path.join(fonts, name)
        if not os.path.lexists(target):
            os.symlink(os.path.join(SHIPPED_FONTS, name), target)


def run_at_dpi(wine, environment, dpi, command):
    prepare(wine, environment, dpi)
    try:
        return subprocess.run(command, env=dict(environment, LOTTO_TEST_DPI=str(dpi))).returncode
    finally:
        prepare(wine, environment)


if __name__ == "__main__":
    environment = dict(os.environ)
    environment.setdefault("WINEPREFIX", os.path.expanduser("~/.wine"))
    if len(sys.argv) > 4 and sys.argv[2] == "--dpi" and sys.argv[4] == "--":
        sys.exit(run_at_dpi(sys.argv[1], environment, int(sys.argv[3]), sys.argv[5:]))
    prepare(sys.argv[1], environment)
