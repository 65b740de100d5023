#!/usr/bin/env python3
"""Figures of the browser build, measured in headless Chromium:
- the size of every file of the site, raw and gzip-compressed, with the total
  without the faces and the faces together;
- the start: from navigation to the form painted and ready for a click, for
  the game and for bench/web/static.html (the same 31 elements written by hand
  in static HTML, with the same stylesheet and face), loaded alternately with
  the browser's caches and the service worker bypassed; medians and ratio;
- a draw: from a click on "Ziehung" to all fields written, median.

usage: web_figures.py SITE_DIR [STARTS] [DRAWS]   (needs /usr/bin/python3's selenium)"""
import functools
import gzip
import http.server
import os
import shutil
import statistics
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from waiting import PATIENCE, wait_for  # noqa: E402

STATIC_PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "web", "static.html")

# Notes the moment the "Ziehung" button is visible, one frame later: by then the
# frame that shows it has been painted. The same for both pages.
WATCH_READY = """
(() => {
  const look = () => {
    const button = Array.from(document.querySelectorAll('.form button')).find((b) => b.textContent === 'Ziehung');
    if (button && !button.closest('[hidden]') && button.getBoundingClientRect().width > 0)
      requestAnimationFrame(() => { window.readyAt = performance.now(); });
    else
      requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
})();"""

# The draw's own listener sits on the button: a listener on the window that
# captures sees the click before it, one that bubbles sees it after.
WATCH_DRAWS = """
window.draws = [];
addEventListener('click', () => { window.clickedAt = performance.now(); }, true);
addEventListener('click', (event) => {
  if (event.target.closest('button').textContent === 'Ziehung') window.draws.push(performance.now() - window.clickedAt);
});"""


class Handler(http.server.SimpleHTTPRequestHandler):
    # Cross-origin isolation gives the page timers of microseconds instead of a tenth of a millisecond.
    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        super().end_headers()

    def log_message(self, *args):
        pass


def sizes(site):
    rows = []
    for folder, _, files in os.walk(site):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as file:
                data = file.read()
            rows.append((os.path.relpath(path, site), len(data), len(gzip.compress(data, 9, mtime=0))))
    rows.sort()
    print("| file | bytes | gzip -9 |\n|---|---:|---:|")
    for name, raw, packed in rows:
        print(f"| `{name}` | {raw:,} | {packed:,} |")
    faces = [row for row in rows if row[0].startswith("fonts/")]
    rest = [row for row in rows if not row[0].startswith("fonts/")]
    print(f"| all but the faces | {sum(r[1] for r in rest):,} | {sum(r[2] for r in rest):,} |")
    print(f"| the faces (WOFF2, as served) | {sum(r[1] for r in faces):,} | {sum(r[2] for r in faces):,} |")


def main():
    site = sys.argv[1]
    starts = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    draws = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    sizes(site)

    root = tempfile.mkdtemp(prefix="lotto-figures-")
    shutil.copytree(site, root, dirs_exist_ok=True)
    shutil.copy(STATIC_PAGE, os.path.join(root, "static.html"))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=root))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}/"

    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1000,760", "--force-device-scale-factor=1"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                              options=options)
    driver.set_page_load_timeout(PATIENCE)
    try:
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH_READY})

        def start(page):
            """The moment the form was ready, in the page's own clock: asking for it costs the figure nothing."""
            driver.get(base + page)
            ready = wait_for(lambda: driver.execute_script("return window.readyAt"), poll=0.01)
            if not ready:
                sys.exit(f"{page}: the form did not show within {PATIENCE} s")
            return ready

        pages = {"index.html": [], "static.html": []}
        for page in pages:  # a first load of each warms the server and the disk
            start(page)
        for _ in range(starts):
            for page, times in pages.items():
                times.append(start(page))
        game, static = (statistics.median(pages[page]) for page in pages)
        print(f"\nstart to the form painted, median of {starts} each: game {game:.1f} ms, "
              f"static page {static:.1f} ms, ratio {game / static:.2f}")

        start("index.html")
        driver.execute_script(WATCH_DRAWS)
        buttons = {b.text: b for b in driver.find_elements(By.CSS_SELECTOR, ".form button")}
        buttons['"Zufallszahlen"'].click()
        for _ in range(draws):
            buttons["Ziehung"].click()
        times = driver.execute_script("return window.draws")
        written = driver.execute_script("return document.getElementById('Zahl7').value")
        if len(times) != draws or not written:
            sys.exit("the draws did not all run")
        print(f"a draw, click to all fields written, median of {draws}: {statistics.median(times) * 1000:.0f} µs "
              f"(fastest {min(times) * 1000:.0f} µs, slowest {max(times) * 1000:.0f} µs)")
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
