#!/usr/bin/env python3
"""Makes the pictures that the read-me shows, from the real programs, each
after the same first draw: the Linux window (build/ui/lotto on a virtual X
server) and the Windows window (build-win64/ui/lotto.exe under Wine), each
taken once the marks of the hits show and before any field is read (a read
types into the field, which takes its mark away); and the page on a phone,
light and dark (build-web/site in headless Chromium, 390x844 CSS pixels at
three device pixels each), its ticket chosen by six taps on the grid.
Writes docs/images/*.png.

Build the three first (bash scripts/test.sh builds them all). Needs xdotool,
xclip, ImageMagick's import, Wine and /usr/bin/python3's Selenium, which
bash scripts/install-deps.sh --tests --windows --web-tests installs.
Usage: /usr/bin/python3 scripts/screenshots.py [OUTPUT_DIR]"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from desktop import (DRAW, FIRST_DRAW, FIRST_DRAW_HITS, FIRST_TICKET, NUMBER_FIELDS, PLAY, TICKET, Player,  # noqa: E402
                     windows_named)
from site_server import SiteServer  # noqa: E402
from waiting import PATIENCE, wait_for  # noqa: E402
import wineprefix  # noqa: E402
from xserver import XServer  # noqa: E402

DESIGNED = (241, 107)
# Wine draws the frame of a sizeable window itself: 4 pixels, and 19 of caption.
WINE_FRAME, WINE_CAPTION = 4, 19
PHONE = (390, 844)  # CSS pixels, three device pixels each

# Waits until the page's scroll position has held for three frames.
SCROLL_HELD = """
return new Promise((done) => {
  let at = null, still = 0;
  const frame = () => {
    still = scrollY === at ? still + 1 : 0;
    at = scrollY;
    if (still < 3) return requestAnimationFrame(frame);
    done(true);
  };
  requestAnimationFrame(frame);
});"""


def capture(display, window, path):
    subprocess.run(["import", "-display", display, "-window", window, path], check=True)
    print(f"screenshots: {os.path.relpath(path, ROOT)}")


def window_picture(command, environment, client, path):
    """Starts the program, plays the first draw with mouse and keyboard, and
    takes the picture of its window as soon as the hits are marked; then
    makes sure that it was the first draw."""
    program = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not wait_for(lambda: windows_named("Form1")):
            raise RuntimeError(f"{command[-1]} shows no window")
        player = Player(*client)
        for name, number in zip(TICKET, FIRST_TICKET):
            player.type_into(name, number)
        player.click(PLAY)
        if not wait_for(lambda: player.marked(NUMBER_FIELDS) == FIRST_DRAW_HITS):
            raise RuntimeError(f"{command[-1]} marks no hits of the first draw")
        capture(environment["DISPLAY"], windows_named("Form1")[0], path)
        drawn = [player.read(name) for name in DRAW]
        if drawn != FIRST_DRAW:
            raise RuntimeError(f"{command[-1]} drew {drawn}, not the first draw")
    finally:
        program.kill()
        program.wait()


def linux(out):
    with XServer() as server:
        os.environ["DISPLAY"] = server.display
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
        window_picture([os.path.join(ROOT, "build", "ui", "lotto")], environment, DESIGNED,
                       os.path.join(out, "linux.png"))


def windows(out):
    wine = "/usr/lib/wine/wine64"
    with XServer() as server, tempfile.TemporaryDirectory(prefix="lotto-wine-") as prefix:
        os.environ["DISPLAY"] = server.display
        environment = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all")
        subprocess.run([wine, "wineboot", "-i"], env=environment, capture_output=True, timeout=PATIENCE)
        wineprefix.prepare(wine, environment)
        client = (DESIGNED[0] + WINE_FRAME, DESIGNED[1] + WINE_FRAME + WINE_CAPTION)
        try:
            window_picture([wine, os.path.join(ROOT, "build-win64", "ui", "lotto.exe")], environment, client,
                           os.path.join(out, "windows.png"))
        finally:
            subprocess.run([os.path.join(os.path.dirname(wine), "wineserver"), "-k"], env=environment)


def phone(out):
    """Played by taps on the grid through the browser test's own way to work a page."""
    import browser
    numbers = [int(number) for number in FIRST_TICKET]
    wanted = [("button", str(number)) for number in numbers] + [("button", "Ziehung")]
    with SiteServer(os.path.join(ROOT, "build-web", "site")) as site, \
            tempfile.TemporaryDirectory(prefix="lotto-shots-") as profile:
        page = browser.start("chromium", profile)
        try:
            page.set_viewport(*PHONE, touch=True)
            for scheme in ("light", "dark"):
                page.emulate(scheme)
                page.open(site.url)
                # The form is in the page at once; the program marks it once it plays.
                running = "const f = document.querySelector('.form'); return !!f && f.hasAttribute('data-running')"
                if not wait_for(lambda: page.run(running), tolerate=Exception):
                    raise RuntimeError("the page shows no form")
                *grid, draw = page.find(wanted)
                for number in grid:
                    page.tap(number)
                page.tap(draw)
                drawn = "return Array.from(document.querySelectorAll('.form .draw'), (field) => field.value)"
                if not wait_for(lambda: page.run(drawn) == FIRST_DRAW):
                    raise RuntimeError(f"the page drew {page.run(drawn)}, not the first draw")
                # The page's top, where the grid and the draw show together on
                # this phone, once the result has come into view (smoothly).
                page.run(SCROLL_HELD)
                page.run("document.activeElement.blur(); window.scrollTo({top: 0, behavior: 'instant'})")
                page.run("return new Promise((frame) => requestAnimationFrame(() => requestAnimationFrame(frame)))")
                path = os.path.join(out, f"phone-{scheme}.png")
                page.screenshot(path)
                print(f"screenshots: {os.path.relpath(path, ROOT)}")
        finally:
            page.quit()


def main(out):
    os.makedirs(out, exist_ok=True)
    linux(out)
    windows(out)
    phone(out)


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "images"))
