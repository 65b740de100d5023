#!/usr/bin/env python3
"""Figures of the browser build, measured in headless Chromium:
- the size of every file of the site, raw and gzip-compressed, with the total
  without the faces and the JavaScript fallback, and each of those apart;
- the start on a slow phone as Lighthouse's mobile run models it (390x844 at
  3 device pixels, touch, 400 ms round trip, 50,000 bytes/s each way, the CPU
  slowed four times, the site served gzip-compressed) and at full speed on the
  desktop: first paint, the form painted, and a press on "Ziehung" (made as
  soon as the form is painted, after six numbers typed) drawn, for the game
  and for a static copy of its page (its rendered markup without the
  scripts and any preload of the program that they add, so that it fetches
  nothing of the program), loaded alternately in one run with the browser's caches and the
  service worker bypassed; medians, the ratios to the static copy's form
  painted, the largest layout shift of any load, and how many faces the
  game's loads fetched (none on the phone, whose touch layout draws in the
  system's face);
- a draw: from a click on "Ziehung" to all fields written, median;
- the ticket played on ("Wie lange bis …?"): "bis 6 Richtige" for 3 7 9 15
  25 44, from the click that starts it to its summary, on the slow phone and
  on the desktop, medians, with the draws a second that the page plays; and
  where the native benchmark program is given, its draws a second measured
  in the same sitting, and the page's share of them.

usage: web_figures.py SITE_DIR [STARTS] [DRAWS] [PHONE_STARTS] [ENGINE_BENCH]
       (needs /usr/bin/python3's selenium; ENGINE_BENCH: build/bench/engine_bench)"""
import json
import functools
import gzip
import http.server
import io
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from waiting import PATIENCE, wait_for  # noqa: E402

STATIC_PAGE = "static.html"
FALLBACK = "lotto-nowasm."  # the start of its name; fetched only where WebAssembly is missing or refused

# In every page from its first byte: first paint, the moment the form's named
# controls all have a box (taken one frame later, when that frame has been
# painted), the layout shifts, and in the game a press on "Ziehung" as soon as
# the form is painted, after six numbers typed, and the moment the draw is in
# its fields.
WATCH = """
(() => {
  const seen = window.lottoFigures = {shift: 0};
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) if (!entry.hadRecentInput) seen.shift += entry.value;
  }).observe({type: 'layout-shift', buffered: true});
  const fields = () => document.querySelectorAll('.form input');
  const draw = () => Array.from(document.querySelectorAll('.form button')).find((b) => b.textContent === 'Ziehung');
  const boxed = (element) => !element.closest('[hidden]') && element.getBoundingClientRect().width > 0;
  const drawn = () => {
    const bonus = document.getElementById('Zahl7');
    if (bonus && bonus.value) requestAnimationFrame(() => { seen.drawnAt = performance.now(); });
    else requestAnimationFrame(drawn);
  };
  const look = () => {
    const button = draw(), inputs = fields();
    if (button && inputs.length === 17 && boxed(button) && Array.from(inputs).every(boxed)) {
      requestAnimationFrame(() => {
        seen.formAt = performance.now();
        if (!document.querySelector('script')) return;  // the static copy
        ['Tipp1', 'Tipp2', 'Tipp3', 'Tipp4', 'Tipp5', 'Tipp6'].forEach((id, k) => {
          document.getElementById(id).value = String(k + 1);
        });
        button.click();
        drawn();
      });
    } else {
      requestAnimationFrame(look);
    }
  };
  requestAnimationFrame(look);
})();"""

DONE = """
const seen = window.lottoFigures;
const paint = performance.getEntriesByName('first-paint')[0] || performance.getEntriesByName('first-contentful-paint')[0];
const done = arguments[0] ? seen.drawnAt : seen.formAt;
const faces = performance.getEntriesByType('resource').filter((e) => e.name.includes('/fonts/')).length;
// The paint's entry comes once the frame is on the screen, which can be after the form's moment.
return done && paint ? {paint: paint.startTime, form: seen.formAt, drawn: seen.drawnAt || null, shift: seen.shift,
                        faces: faces} : null;"""

# The draw's own listener sits on the button: a listener on the window that
# captures sees the click before it, one that bubbles sees it after.
WATCH_DRAWS = """
window.draws = [];
addEventListener('click', () => { window.clickedAt = performance.now(); }, true);
addEventListener('click', (event) => {
  if (event.target.closest('button').textContent === 'Ziehung') window.draws.push(performance.now() - window.clickedAt);
});"""

# "bis 6 Richtige" for 3 7 9 15 25 44, played on from a click on its start
# button: the time to its summary, the draws it says it took, and the frames
# the page had meanwhile, with the longest time between two.
SIX_RIGHT_TICKET = [3, 7, 9, 15, 25, 44]
SIX_RIGHT_DRAWS = 6_787_823
PLAY_ON = """
const done = arguments[arguments.length - 1];
const part = document.querySelector('.task'), note = part.querySelector('[role=status]');
arguments[0].forEach((number, k) => { document.getElementById('Tipp' + (k + 1)).value = String(number); });
part.querySelector('select').selectedIndex = 0;
const start = performance.now();
let frames = 0, last = start, longest = 0, running = true;
const frame = (now) => {
  frames += 1;
  longest = Math.max(longest, now - last);
  last = now;
  if (running) requestAnimationFrame(frame);
};
requestAnimationFrame(frame);
new MutationObserver((changes, observer) => {
  if (!note.textContent) return;
  observer.disconnect();
  running = false;
  done([performance.now() - start, part.querySelector('.tally').textContent, frames, longest]);
}).observe(note, {childList: true, characterData: true, subtree: true});
part.querySelector('.start').click();"""

PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True}
SLOW_4G = {"offline": False, "latency": 400, "downloadThroughput": 50_000, "uploadThroughput": 50_000}
SLOW_CPU = 4


class Handler(http.server.SimpleHTTPRequestHandler):
    """Gzip where the browser asks for it, as real hosts serve; cross-origin
    isolation gives the page timers of microseconds instead of a tenth of a
    millisecond."""

    def send_head(self):
        path = self.translate_path(self.path.split("?")[0])
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if "gzip" not in self.headers.get("Accept-Encoding", "") or not os.path.isfile(path):
            return super().send_head()
        with open(path, "rb") as file:
            body = gzip.compress(file.read(), 6, mtime=0)
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

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
    fallback = [row for row in rows if row[0].startswith(FALLBACK)]
    rest = [row for row in rows if row not in faces and row not in fallback]
    print(f"| all but the faces and the fallback | {sum(r[1] for r in rest):,} | {sum(r[2] for r in rest):,} |")
    print(f"| the faces (WOFF2, as served) | {sum(r[1] for r in faces):,} | {sum(r[2] for r in faces):,} |")
    if fallback:
        print(f"| the fallback without WebAssembly | {fallback[0][1]:,} | {fallback[0][2]:,} |")


def static_copy(driver, base, root):
    """The game's page as drawn once the form has shown, without its scripts
    and without any preload of the program that they add: nothing of it."""
    driver.get(base + "index.html")
    if not wait_for(lambda: driver.execute_script(DONE, True), poll=0.01):
        sys.exit(f"index.html: the first draw did not come within {PATIENCE} s")
    markup = driver.execute_script(
        "const page = document.documentElement.cloneNode(true);"
        "page.querySelectorAll('script, link[rel=preload]:not([as=font]), noscript, dialog, .ruler')"
        ".forEach((e) => e.remove());"
        "return '<!DOCTYPE html>\\n' + page.outerHTML;")
    with open(os.path.join(root, STATIC_PAGE), "w", encoding="utf-8") as file:
        file.write(markup)


def loads(driver, base, starts, where):
    """Loads the game and its static copy alternately; prints the medians."""
    def load(page, drawn):
        driver.get(base + page)
        seen = wait_for(lambda: driver.execute_script(DONE, drawn), poll=0.02)
        if not seen:
            sys.exit(f"{page}: the form did not show within {PATIENCE} s")
        return seen

    pages = {"index.html": [], STATIC_PAGE: []}
    for page in pages:  # a first load of each warms the server and the disk
        load(page, page == "index.html")
    for _ in range(starts):
        for page, seen in pages.items():
            seen.append(load(page, page == "index.html"))
    def middle(seen, key):
        known = [s[key] for s in seen if s[key] is not None]
        if known and len(known) < len(seen):
            print(f"({len(seen) - len(known)} of {len(seen)} loads without {key})")
        return statistics.median(known) if known else None
    median = {page: {key: middle(seen, key) for key in ("paint", "form", "drawn")} for page, seen in pages.items()}
    game, static = median["index.html"], median[STATIC_PAGE]
    shift = max(s["shift"] for seen in pages.values() for s in seen)
    anchor = static["form"]
    print(f"\n{where}, medians of {starts} loads each, in ms (ratio to the static copy's form painted):")
    print("| | first paint | the form painted | a press on \"Ziehung\" drawn |\n|---|---:|---:|---:|")
    for name, row in (("the game", game), ("its static copy", static)):
        cells = [f"{row[key]:,.0f} ({row[key] / anchor:.2f})" if row[key] is not None else "—"
                 for key in ("paint", "form", "drawn")]
        print(f"| {name} | " + " | ".join(cells) + " |")
    print(f"largest cumulative layout shift of a load: {shift:.4f}; faces fetched by the game's loads: "
          f"{sum(s['faces'] for s in pages['index.html'])}")


def played_on(driver, base, runs, where):
    """"bis 6 Richtige" RUNS times, each on a fresh page once its first draw
    (WATCH's) is in; prints the median, and gives the draws a second."""
    seconds, rates, longest = [], [], []
    for _ in range(runs):
        driver.get(base + "index.html")
        if not wait_for(lambda: driver.execute_script(DONE, True), poll=0.02):
            sys.exit(f"{where}: the first draw did not come within {PATIENCE} s")
        took, tally, frames, gap = driver.execute_async_script(PLAY_ON, SIX_RIGHT_TICKET)
        if int(tally.split()[0].replace(".", "")) != SIX_RIGHT_DRAWS:
            sys.exit(f"{where}: bis 6 Richtige took {tally}, not {SIX_RIGHT_DRAWS:,}")
        seconds.append(took / 1000)
        rates.append(frames / seconds[-1])
        longest.append(gap)
    median = statistics.median(seconds)
    rate = SIX_RIGHT_DRAWS / median
    print(f"\n{where}: \"bis 6 Richtige\" for 3 7 9 15 25 44 ({SIX_RIGHT_DRAWS:,} draws), click to summary, median of "
          f"{runs}: {median:.2f} s (fastest {min(seconds):.2f} s), {rate / 1e6:.1f} million draws a second; "
          f"meanwhile {statistics.median(rates):.0f} frames a second, at most {max(longest):.0f} ms between two")
    return rate


def native_rate(program):
    """The native benchmark's draws a second (the median of three)."""
    with tempfile.TemporaryDirectory(prefix="lotto-figures-") as folder:
        out = os.path.join(folder, "bench.json")
        subprocess.run([program, "--benchmark_filter=BM_PlayedDrawsAgainstGenerator", "--benchmark_repetitions=3",
                        f"--benchmark_out={out}", "--benchmark_out_format=json"], check=True, stderr=subprocess.DEVNULL)
        with open(out, encoding="utf-8") as file:
            runs = json.load(file)["benchmarks"]
    return next(run["draws_per_s"] for run in runs if run.get("aggregate_name") == "median")


def main():
    site = sys.argv[1]
    starts = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    draws = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    phone_starts = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    engine_bench = sys.argv[5] if len(sys.argv) > 5 else None
    sizes(site)

    root = tempfile.mkdtemp(prefix="lotto-figures-")
    shutil.copytree(site, root, dirs_exist_ok=True)
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
    driver.set_script_timeout(PATIENCE)
    cdp = driver.execute_cdp_cmd
    try:
        cdp("Network.enable", {})
        cdp("Network.setCacheDisabled", {"cacheDisabled": True})
        cdp("Network.setBypassServiceWorker", {"bypass": True})
        cdp("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})

        # The phone: its static copy is drawn at full speed, then every load is slowed.
        cdp("Emulation.setDeviceMetricsOverride", PHONE)
        cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        static_copy(driver, base, root)
        cdp("Network.emulateNetworkConditions", SLOW_4G)
        cdp("Emulation.setCPUThrottlingRate", {"rate": SLOW_CPU})
        loads(driver, base, phone_starts, "a slow phone (slow 4G, CPU slowed 4x, gzip)")
        played_on(driver, base, 3, "a slow phone")
        cdp("Emulation.setCPUThrottlingRate", {"rate": 1})
        cdp("Network.emulateNetworkConditions", {**SLOW_4G, "latency": 0, "downloadThroughput": -1,
                                                 "uploadThroughput": -1})
        driver.get("about:blank")

        cdp("Emulation.clearDeviceMetricsOverride", {})
        cdp("Emulation.setTouchEmulationEnabled", {"enabled": False})
        static_copy(driver, base, root)
        loads(driver, base, starts, "the desktop at full speed")

        driver.get(base + "index.html")
        wait_for(lambda: driver.execute_script(DONE, True), poll=0.01)
        driver.execute_script(WATCH_DRAWS)
        buttons = {b.text: b for b in driver.find_elements(By.CSS_SELECTOR, ".form button")}
        buttons['"Zufallszahlen"'].click()
        for _ in range(draws):
            buttons["Ziehung"].click()
        times = driver.execute_script("return window.draws")
        written = driver.execute_script("return document.getElementById('Zahl7').value")
        if len(times) != draws or not written:
            sys.exit("the draws did not all run")
        print(f"\na draw, click to all fields written, median of {draws}: {statistics.median(times) * 1000:.0f} µs "
              f"(fastest {min(times) * 1000:.0f} µs, slowest {max(times) * 1000:.0f} µs)")

        page = played_on(driver, base, 5, "the desktop")
        if engine_bench:
            native = native_rate(engine_bench)
            print(f"natively (engine_bench, the same sitting): {native / 1e6:.1f} million draws a second; "
                  f"the page plays {page / native:.2f} of that")
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
