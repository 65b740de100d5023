"""Readies a Wine prefix for the tests of the Windows program: Wine draws the
window frames itself, so that X sees each window's whole outer frame even with
no window manager, and the prefix gets the system fonts that Windows has (MS Sans
Serif, Marlett for the caption glyphs), which Debian's Wine ships but does not
put where a prefix looks for them. Safe to run again on a prefix.
Usage: wineprefix.py WINE_LOADER (WINEPREFIX from the environment)."""
import os
import subprocess
import sys

SHIPPED_FONTS = "/usr/share/wine/fonts"


def prepare(wine, environment):
    subprocess.run([wine, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f"],
                   env=dict(environment, WINEDEBUG="-all"), check=True, capture_output=True, timeout=120)
    fonts = os.path.join(environment["WINEPREFIX"], "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    for name in os.listdir(SHIPPED_FONTS) if os.path.isdir(SHIPPED_FONTS) else []:
        target = os.path.join(fonts, name)
        if not os.path.lexists(target):
            os.symlink(os.path.join(SHIPPED_FONTS, name), target)


if __name__ == "__main__":
    environment = dict(os.environ)
    environment.setdefault("WINEPREFIX", os.path.expanduser("~/.wine"))
    prepare(sys.argv[1], environment)
