#!/usr/bin/env python3
"""Makes the pictures that the read-me shows, from the real programs, each
after the same first draw: the Linux window (build/ui/lotto on a virtual X
server), the Windows window (build-win64/ui/lotto.exe under Wine) and the page
on a phone, light and dark (build-web/site in headless Chromium, 390x844 CSS
pixels at two device pixels each, played by taps). Writes docs/images/*.png.

Build the three first (bash scripts/test.sh builds them all). Needs xdotool,
xclip, ImageMagick's import, Wine and /usr/bin/python3's Selenium, which
bash scripts/install-deps.sh --tests --windows --web-tests installs.
Usage: python3 scripts/screenshots.py [OUTPUT_DIR]"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from desktop import FIRST_TICKET, Player, play_first_draw, windows_named  # noqa: E402
from waiting import PATIENCE, wait_for  # noqa: E402
import wineprefix  # noqa: E402
from xserver import XServer  # noqa: E402

DESIGNED = (241, 107)
# Wine draws the frame of a sizeable window itself: 4 pixels, and 19 of caption.
WINE_FRAME, WINE_CAPTION = 4, 19
PHONE = {"width": 390, "height": 844, "pixelRatio": 2.0, "touch": True}
PHONE_AGENT = ("Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) "
               "Chrome/156.0 Mobile Safari/537.36")


def capture(display, window, path):
    subprocess.run(["import", "-display", display, "-window", window, path], check=True)
    print(f"screenshots: {os.path.relpath(path, ROOT)}")


def window_picture(command, environment, client, path):
    """Starts the program, plays the first draw with mouse and keyboard, and
    takes the picture of its window."""
    program = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not wait_for(lambda: windows_named("Form1")):
            raise RuntimeError(f"{command[-1]} shows no window")
        play_first_draw(Player(*client))
        capture(environment["DISPLAY"], windows_named("Form1")[0], path)
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
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    server = subprocess.Popen([sys.executable, "-m", "http.server", "-b", "127.0.0.1", "-d",
                               os.path.join(ROOT, "build-web", "site"), str(port)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    profile = tempfile.mkdtemp(prefix="lotto-shots-")
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", f"--user-data-dir={profile}"):
        options.add_argument(argument)
    options.add_experimental_option("mobileEmulation", {"deviceMetrics": PHONE, "userAgent": PHONE_AGENT})
    driver = None
    try:
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        for scheme in ("light", "dark"):
            driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                                   {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
            driver.get(f"http://127.0.0.1:{port}/")
            if not wait_for(lambda: driver.execute_script(
                    "const f = document.querySelector('.form'); return !!f && !f.hidden"), tolerate=Exception):
                raise RuntimeError("the page shows no form")
            for k, number in enumerate(FIRST_TICKET):
                tap(driver, f"#Tipp{k + 1}")
                driver.execute_cdp_cmd("Input.insertText", {"text": number})
            tap(driver, "#Button1")
            wait_for(lambda: driver.execute_script("return document.getElementById('Zahl7').value"))
            driver.execute_script("window.scrollTo(0, 0); document.activeElement.blur()")
            path = os.path.join(out, f"phone-{scheme}.png")
            driver.save_screenshot(path)
            print(f"screenshots: {os.path.relpath(path, ROOT)}")
    finally:
        if driver:
            driver.quit()
        server.kill()
        shutil.rmtree(profile, ignore_errors=True)


def tap(driver, selector):
    """A finger on the middle of the element, brought into view first."""
    box = driver.execute_script(
        "const e = document.querySelector(arguments[0]); e.scrollIntoView({block: 'center'});"
        "const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]", selector)
    point = {"x": box[0], "y": box[1]}
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [point]})
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def main(out):
    os.makedirs(out, exist_ok=True)
    linux(out)
    windows(out)
    phone(out)


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "images"))
