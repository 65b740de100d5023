#!/usr/bin/env python3
"""Takes the Debian package the way a user gets it: checks it with lintian,
desktop-file-validate and appstreamcli, installs it with apt-get, starts the
program from its menu entry's command on a fresh X server and plays one draw,
then purges it and looks for anything it left behind. Installs the checkers it
lacks with scripts/install-deps.sh --package-tests. Installing needs root or
sudo; a host with neither skips the test.
Usage: deb_test.py PACKAGE.deb"""
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from desktop import (FIRST_DRAW, Player, check, close_after_first_draw, play_first_draw, summary,  # noqa: E402
                     windows_named)
from waiting import wait_for  # noqa: E402
from xserver import XServer  # noqa: E402

XPM = os.path.join(HERE, "..", "..", "ui", "resources", "MAINICON.xpm")
INSTALL_DEPS = os.path.join(HERE, "..", "..", "scripts", "install-deps.sh")
APP_ID = "io.github.lotto_6_aus_49.lotto"
DESKTOP_ENTRY = f"/usr/share/applications/{APP_ID}.desktop"
# A Debian user's session finds games through this PATH (/etc/profile); root's has no /usr/games.
SESSION_PATH = "/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games"
CHECKERS = ["lintian", "appstreamcli", "desktop-file-validate", "Xvfb", "xauth", "xdotool", "xclip", "/usr/bin/convert"]
WINDOW_LEFT, WINDOW_TOP = 241, 107


def as_root():
    """The prefix that runs a command as root, or None where nothing can."""
    if os.geteuid() == 0:
        return []
    if shutil.which("sudo") and subprocess.run(["sudo", "-n", "true"], capture_output=True).returncode == 0:
        return ["sudo", "-n"]
    return None


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def apt_get(root, *arguments):
    result = run(*root, "env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "-y", "-q", *arguments)
    if result.returncode != 0:
        print(result.stdout[-2000:], result.stderr[-2000:], sep="\n")
    return result.returncode == 0


def installed(package):
    return "install ok installed" in run("dpkg-query", "-W", "-f=${Status}", package).stdout


def field(deb, name):
    return run("dpkg-deb", "-f", deb, name).stdout.strip()


def validate(deb):
    lint = run("lintian", "--fail-on", "error", deb)
    print("lintian says:", (lint.stdout + lint.stderr).strip() or "nothing")
    check(lint.returncode == 0, "lintian finds no error")
    with tempfile.TemporaryDirectory() as tree:
        subprocess.run(["dpkg-deb", "-x", deb, tree], check=True)
        entry = run("desktop-file-validate", tree + DESKTOP_ENTRY)
        check(entry.returncode == 0, f"desktop-file-validate passes ({entry.stdout.strip()})")
        metainfo = run("appstreamcli", "validate", "--no-net", f"{tree}/usr/share/metainfo/{APP_ID}.metainfo.xml")
        check(metainfo.returncode == 0, f"appstreamcli validate passes ({metainfo.stdout.strip()})")


def icons_match_the_pixel_art():
    """Every icon, shrunk back by its own factor, is the 32x32 pixel art itself."""
    def rgba(*arguments):
        data = subprocess.run(["/usr/bin/convert", *arguments, "-alpha", "on", "-depth", "8", "rgba:-"],
                              capture_output=True, check=True).stdout
        pixels = [data[k:k + 4] for k in range(0, len(data), 4)]
        # A fully transparent pixel has no colour worth comparing.
        return [b"\0\0\0\0" if pixel[3] == 0 else pixel for pixel in pixels]

    original = rgba(XPM)
    for size in (32, 48, 64, 128, 256):
        factor = size // 32
        margin = (size - 32 * factor) // 2
        png = f"/usr/share/icons/hicolor/{size}x{size}/apps/lotto.png"
        shrunk = rgba(png, "-crop", f"{32 * factor}x{32 * factor}+{margin}+{margin}", "+repage",
                      "-sample", "32x32")
        check(shrunk == original, f"the {size}x{size} icon is the pixel art enlarged {factor} times")


def menu_command():
    """The command of the installed desktop entry, as a launcher runs it."""
    with open(DESKTOP_ENTRY, encoding="utf-8") as entry:
        line = next(line for line in entry if line.startswith("Exec="))
    # Field codes (%f, %U, ...) stand for files and URLs; a plain start passes none.
    return [word for word in shlex.split(line[len("Exec="):].strip()) if not word.startswith("%")]


def play_one_draw():
    command = menu_command()
    program = shutil.which(command[0], path=SESSION_PATH)
    check(program == "/usr/games/lotto", f"the menu command {command} starts /usr/games/lotto ({program})")
    if program is None:
        return
    server = XServer()
    runtime_dir = tempfile.TemporaryDirectory(prefix="lotto-deb-")
    environment = dict(os.environ, PATH=SESSION_PATH, DISPLAY=server.display, XDG_RUNTIME_DIR=runtime_dir.name)
    environment.pop("QT_QPA_PLATFORM", None)
    os.environ["DISPLAY"] = server.display  # for the player's xdotool and xclip
    lotto = subprocess.Popen(command, env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    player = Player(WINDOW_LEFT, WINDOW_TOP)
    try:
        if not wait_for(lambda: windows_named("Form1")):
            lotto.kill()
            check(False, f"the window opens (standard error: {lotto.communicate()[1].decode(errors='replace')!r})")
            return
        draw = play_first_draw(player)
        check(draw == FIRST_DRAW, f"the first draw ({draw})")
        close_after_first_draw(lotto, player)
    finally:
        if lotto.poll() is None:
            lotto.kill()
        server.stop()
        runtime_dir.cleanup()


def main():
    started = time.monotonic()
    deb = os.path.abspath(sys.argv[1])
    root = as_root()
    if root is None:
        print("skipped: package test: neither root nor sudo, so the package cannot be installed")
        return 0

    if not all(shutil.which(tool) for tool in CHECKERS) \
            and subprocess.run(["bash", INSTALL_DEPS, "--package-tests"]).returncode != 0:
        check(False, "the checkers install")
        return summary()

    name, version = field(deb, "Package"), field(deb, "Version")
    validate(deb)

    if installed(name):
        print(f"note: {name} was installed before; this test replaces it and then removes it")
    packaged = [line.split(None, 5)[5].lstrip(".").rstrip("/")
                for line in run("dpkg-deb", "-c", deb).stdout.splitlines()]
    existed_before = {path for path in packaged if os.path.lexists(path)}
    ok = apt_get(root, "install", deb) or (apt_get(root, "update") and apt_get(root, "install", deb))
    check(ok and run("dpkg-query", "-W", "-f=${Version}", name).stdout == version,
          f"apt-get installs {name} {version} with its dependencies")
    if not ok:
        return summary()
    owned = [path for path in run("dpkg", "-L", name).stdout.splitlines() if path not in ("", "/.")]
    try:
        icons_match_the_pixel_art()
        play_one_draw()
    finally:
        check(apt_get(root, "purge", name) and not installed(name), f"apt-get purges {name}")
    # A folder may stay where it was there before or where another package owns it too.
    left = [path for path in owned if os.path.lexists(path)
            and not (os.path.isdir(path) and not os.path.islink(path)
                     and (path in existed_before or run("dpkg-query", "-S", path).returncode == 0))]
    check(not left, f"nothing of the package is left ({left})")
    print(f"package test took {time.monotonic() - started:.1f} s")
    return summary()


if __name__ == "__main__":
    sys.exit(main())
