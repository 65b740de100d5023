#!/usr/bin/env python3
"""Plays the browser build as a person would: the site served on a free port,
opened in headless Chromium and worked with real clicks and typing on the
controls, found by their accessible names. Checks the form's geometry and
face at zoom 1, first focus and tab order, the accessibility tree, a whole
game with the desktop's draws and the trace in the console, the modal
message, the game offline after one visit, a phone-sized screen, and
Schließen. A host where Chromium cannot start reports the test as skipped.

usage: lotto_web.py SITE_DIR   (LOTTO_WEB_SCREENSHOTS=DIR keeps screenshots)"""
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import FIRST_DRAW, FIRST_TICKET, FIRST_TRACE, check, summary  # noqa: E402
from waiting import PATIENCE, wait_for  # noqa: E402

SKIP = 77
SITE = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
SHOTS = os.environ.get("LOTTO_WEB_SCREENSHOTS")

# Every control by its role and accessible name, with its designed client bounds.
LABELS = {
    "Gewinn": (88, 312, 36, 13), "Fehler": (88, 376, 29, 13), "Tippeingabe": (88, 32, 62, 13),
    "Ziehung": (232, 32, 39, 13), "Zusatzzahl": (312, 32, 51, 13), "Zahleneingabe für Faule": (472, 16, 115, 13),
}
HEADLINE = ("Die eingegebenen Zahlen müssen im Bereich zwischen 1-49 liegen", (72, 0, 321, 17))
BUTTONS = {
    "Ziehung": (416, 248, 249, 49), "Tippschein löschen!": (416, 312, 249, 33), "Schließen": (416, 408, 249, 25),
    '"Zufallszahlen"': (472, 48, 193, 25), "Doppelte Zahlen": (472, 80, 193, 25),
    "Zahl nicht im Tippscheinbereich": (472, 112, 193, 25), '"Beides"': (472, 144, 193, 25),
}
EDITS = {
    "Gewinn: Anzahl Treffer": (88, 328, 41, 21), "Zusatzzahl getroffen": (136, 328, 145, 21),
    "Fehler: Bereich": (88, 392, 193, 21), "Fehler: doppelte Zahl": (88, 416, 193, 21),
    **{f"Tipp {k + 1}": (96, 56 + 32 * k, 41, 21) for k in range(6)},
    **{f"Ziehung {k + 1}": (232, 56 + 32 * k, 41, 21) for k in range(6)},
    "Zusatzzahl": (320, 56, 41, 21),
}
TAB_ORDER = ["Ziehung", "Gewinn: Anzahl Treffer", "Zusatzzahl getroffen", "Fehler: Bereich",
             "Fehler: doppelte Zahl", "Schließen", "Doppelte Zahlen", "Zahl nicht im Tippscheinbereich",
             '"Beides"', '"Zufallszahlen"', "Tippschein löschen!", *(f"Tipp {k + 1}" for k in range(6)),
             *(f"Ziehung {k + 1}" for k in range(6)), "Zusatzzahl"]
LABEL_FOR = {"Gewinn": "Gewinn: Anzahl Treffer", "Fehler": "Fehler: Bereich", "Tippeingabe": "Tipp 1",
             "Ziehung": "Ziehung 1", "Zusatzzahl": "Zusatzzahl", "Zahleneingabe für Faule": '"Zufallszahlen"'}
PROGRAMMER_NAMES = re.compile(r"\b(Button\d|BitBtn\d|Label\d|Edit(Gewinn|Zusatz|Bereich|Doppelt)|Tipp\d|Zahl\d)\b")
TICKET = [f"Tipp {k + 1}" for k in range(6)]
DRAW = [f"Ziehung {k + 1}" for k in range(6)] + ["Zusatzzahl"]

# Where each element of the form sits in the form's client area, as drawn.
GEOMETRY = """
const form = document.querySelector('.form');
const box = form.getBoundingClientRect();
const scale = box.width / form.offsetWidth;
const place = (rect) => [(rect.left - box.left) / scale - form.clientLeft,
                         (rect.top - box.top) / scale - form.clientTop, rect.width / scale, rect.height / scale];
return Array.from(form.children).map((element) => {
  const text = document.createRange();
  text.selectNodeContents(element);
  return {tag: element.localName, name: element.getAttribute('aria-label') || element.textContent.trim(),
          box: place(element.getBoundingClientRect()), text: place(text.getBoundingClientRect()),
          face: getComputedStyle(element).fontFamily};
});"""


def skip(reason):
    print("SKIPPED: " + " ".join(str(reason).split())[:300], flush=True)
    sys.exit(SKIP)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Server:
    """The site on a static web server of this machine's own Python."""

    def __init__(self, port):
        self.process = subprocess.Popen([sys.executable, "-m", "http.server", "-b", "127.0.0.1", "-d", SITE, str(port)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def answers():
            socket.create_connection(("127.0.0.1", port), timeout=PATIENCE).close()
            return True
        if not wait_for(answers, tolerate=OSError):  # refused until the server listens
            raise RuntimeError("the web server does not answer")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def start_browser(profile):
    try:
        from selenium import webdriver
        from selenium.common.exceptions import WebDriverException
        from selenium.webdriver.chrome.service import Service
    except ImportError as error:
        skip(f"Selenium is not installed for {sys.executable} ({error})")
    driver_path = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    if not os.path.exists(driver_path):
        skip("chromedriver is not installed (Debian's chromium-driver)")
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1000,760", "--force-device-scale-factor=1", f"--user-data-dir={profile}"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    try:
        driver = webdriver.Chrome(service=Service(driver_path), options=options)
    except WebDriverException as error:
        skip(f"Chromium cannot start: {error.msg or error}")
    # A page load and a script that waits (for the service worker) get the one patience too.
    driver.set_page_load_timeout(PATIENCE)
    driver.set_script_timeout(PATIENCE)
    return driver


class Page:
    """The game's page in the browser, worked by accessible names."""

    def __init__(self, driver, url):
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        self.driver, self.url, self.By, self.Keys, self.ActionChains = driver, url, By, Keys, ActionChains
        self.trace = []
        self.errors = []
        self.found = None

    @staticmethod
    def wait(predicate):
        # A question may fail while the page is still changing under it: that answer is a no.
        return wait_for(predicate, tolerate=Exception)

    def load(self):
        self.found = None
        self.driver.get(self.url)
        return self.wait(lambda: self.driver.execute_script(
            "const f = document.querySelector('.form'); return !!f && !f.hidden"))

    def controls(self):
        """The form's buttons and edits by role and accessible name (a button and an edit share "Ziehung")."""
        if self.found is None:
            self.found = {(element.aria_role, element.accessible_name): element
                          for element in self.driver.find_elements(self.By.CSS_SELECTOR, ".form button, .form input")}
        return self.found

    def button(self, name):
        return self.controls()[("button", name)]

    def edit(self, name):
        return self.controls()[("textbox", name)]

    def click(self, name):
        self.button(name).click()

    def type_into(self, name, text):
        field = self.edit(name)
        field.click()
        field.send_keys(self.Keys.CONTROL, "a")
        field.send_keys(self.Keys.BACKSPACE, text)

    def read(self, *names):
        values = [self.edit(name).get_property("value") for name in names]
        return values[0] if len(names) == 1 else values

    def focused(self):
        return self.driver.switch_to.active_element.accessible_name

    def press(self, *keys):
        self.ActionChains(self.driver).send_keys(*keys).perform()

    def dialog(self):
        """The open message as assistive technology sees it, or None."""
        shown = self.driver.find_elements(self.By.CSS_SELECTOR, "dialog[open]")
        if not shown:
            return None
        return {"role": shown[0].aria_role, "title": shown[0].accessible_name,
                "text": shown[0].find_element(self.By.TAG_NAME, "p").text,
                "buttons": [button.accessible_name for button in shown[0].find_elements(self.By.TAG_NAME, "button")]}

    def collect_console(self):
        for entry in self.driver.get_log("browser"):
            message = entry["message"]
            said = re.search(r'"(\d+)"$', message)
            if entry["level"] == "INFO" and said and "lotto.js" in message:
                self.trace.append(said.group(1))
            elif entry["level"] == "SEVERE":
                self.errors.append(message)

    def screenshot(self, name):
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            self.driver.save_screenshot(os.path.join(SHOTS, name))


def form_at_zoom_one(page):
    check(page.driver.title == "Form1", f"the document's title is the caption ({page.driver.title!r})")
    placed = page.driver.execute_script(GEOMETRY)
    expected = [("label", name, bounds) for name, bounds in LABELS.items()] + \
               [("button", name, bounds) for name, bounds in BUTTONS.items()] + \
               [("input", name, bounds) for name, bounds in EDITS.items()]
    for tag, name, (left, top, width, height) in expected:
        matches = [p for p in placed if p["tag"] == tag and p["name"] == name]
        if not matches:
            check(False, f"a {tag} named {name!r} is on the form")
            continue
        x, y, w, h = matches[0]["box"]
        sizes_itself = tag == "label"
        check(abs(x - left) < 0.5 and abs(y - top) < 0.5
              and (abs(w - width) <= 2 and abs(h - height) <= 2 if sizes_itself
                   else abs(w - width) < 0.5 and abs(h - height) < 0.5),
              f"{tag} {name!r} at {left},{top} {width}x{height} (is {x:g},{y:g} {w:g}x{h:g})")
    headline = [p for p in placed if p["name"] == HEADLINE[0]]
    check(len(headline) == 1 and [round(v) for v in headline[0]["box"]] == list(HEADLINE[1])
          and headline[0]["text"][2] <= HEADLINE[1][2],
          f"the headline's text stays whole in its 321 px box ({headline and headline[0]['text']})")
    check(len(placed) == 31 and all(p["face"] == '"MS Sans Serif"' for p in placed),
          "31 controls in the designed pixel face")
    check(not page.driver.find_elements(page.By.TAG_NAME, "canvas"), "no canvas")


def focus_and_tab_order(page):
    check(page.wait(lambda: page.focused() == "Ziehung"), f"Ziehung has the first focus ({page.focused()!r})")
    visited = []
    for _ in TAB_ORDER:
        page.press(page.Keys.TAB)
        visited.append(page.focused())
    check(visited == TAB_ORDER[1:] + TAB_ORDER[:1], f"Tab goes round the form in the designed order ({visited})")
    page.ActionChains(page.driver).key_down(page.Keys.SHIFT).send_keys(page.Keys.TAB).key_up(page.Keys.SHIFT).perform()
    check(page.focused() == "Zusatzzahl", "Shift+Tab from Ziehung goes back round to Zusatzzahl")


def accessibility_tree(page):
    nodes = page.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    value = lambda node, key: node.get(key, {}).get("value")  # noqa: E731
    by_id = {node["nodeId"]: node for node in nodes}
    named = {(value(node, "role"), value(node, "name")) for node in nodes}
    # A label is read as the text inside it.
    named |= {(value(node, "role"), "".join(value(by_id[child], "name") or "" for child in node.get("childIds", [])
                                             if child in by_id).strip())
              for node in nodes if value(node, "role") == "LabelText"}
    wanted = [("button", name) for name in BUTTONS] + [("textbox", name) for name in EDITS] + \
             [("LabelText", name) for name in LABELS] + [("LabelText", HEADLINE[0])]
    missing = [item for item in wanted if item not in named]
    check(not missing, f"the accessibility tree names every control ({missing or len(wanted)})")
    said = json.dumps([[value(node, key) for key in ("name", "description", "value")] for node in nodes],
                      ensure_ascii=False)
    leaked = sorted(set(match.group(0) for match in PROGRAMMER_NAMES.finditer(said)))
    check(not leaked, f"no programmer name reaches the accessibility tree ({leaked})")
    related = page.driver.execute_script(
        "return Object.fromEntries(Array.from(document.querySelectorAll('.form label'), l => "
        "[l.textContent.trim(), l.control && l.control.getAttribute('aria-label')]))")
    check(all(related.get(label) == target for label, target in LABEL_FOR.items()),
          f"each label names the control of its column or row ({related})")


def whole_game(page):
    page.collect_console()
    page.click("Doppelte Zahlen")
    page.click("Ziehung")
    check(page.read("Fehler: doppelte Zahl") == "Doppelte Zahl", "the duplicate example is reported")
    for name, number in zip(TICKET, FIRST_TICKET):
        page.type_into(name, number)
    page.click("Ziehung")
    check(page.read(*TICKET) == ["3", "7", "9", "15", "25", "44"], "the typed ticket comes back sorted")
    check(page.read(*DRAW) == FIRST_DRAW, f"the first draw is the desktop's ({page.read(*DRAW)})")
    check(page.read("Gewinn: Anzahl Treffer") == "2" and page.read("Zusatzzahl getroffen") == "",
          "two matches, no bonus hit")
    page.collect_console()
    check(page.trace == [FIRST_TRACE], f"one console line for the draw, as drawn ({page.trace})")
    page.click('"Zufallszahlen"')
    page.collect_console()
    check(len(page.trace) == 2 and len(page.trace[1]) >= 7, f"the random ticket traces its own line ({page.trace})")


def modal_message(page):
    page.type_into("Tipp 3", "<b>7</b>")
    clear = page.button("Tippschein löschen!")
    for close_key in (page.Keys.ENTER, page.Keys.ESCAPE):
        page.click("Ziehung")
        check(page.wait(page.dialog), "a letter in a ticket field shows a message")
        shown = page.dialog()
        check(shown and shown["role"] == "alertdialog" and shown["title"] == "lotto" and shown["buttons"] == ["OK"]
              and "<b>7</b>" in shown["text"], f"an alert dialog 'lotto' with the text as typed and OK ({shown})")
        page.ActionChains(page.driver).move_to_element(clear).click().perform()
        check(page.read("Tipp 3") == "<b>7</b>", "the form takes no click while the message is open")
        page.press(close_key)
        check(page.wait(lambda: not page.dialog()), f"{close_key.encode('unicode_escape')} closes the message")
        check(page.focused() == "Ziehung", f"the focus goes back to Ziehung ({page.focused()!r})")
    check(page.read("Gewinn: Anzahl Treffer") == "", "the result is cleared after the error")
    page.screenshot("desktop.png")


def offline(page, server):
    ready = page.driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "navigator.serviceWorker.ready.then(() => done(true), () => done(false));")
    check(ready, "the service worker is ready after one visit")
    server.stop()
    check(page.load(), "with the server gone, a reload still shows the form")
    page.click('"Zufallszahlen"')
    page.click("Ziehung")
    check(all(page.read(*DRAW)) and page.read("Gewinn: Anzahl Treffer") != "", "and the game plays offline")
    stored = page.driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "indexedDB.databases().then((d) =>"
        " done([document.cookie, localStorage.length, sessionStorage.length, d.length]))")
    check(stored == ["", 0, 0, 0], f"nothing stored besides the offline copy ({stored})")
    hosts = page.driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => new URL(e.name).host)"
        ".filter(h => h !== location.host)")
    check(hosts == [], f"the page asks no other host ({hosts})")


def phone(page):
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    check(page.load(), "the form shows on a phone")
    page.screenshot("phone.png")
    placed = page.driver.execute_script(GEOMETRY)
    sizes = page.driver.execute_script(
        "const b = document.querySelector('.form').getBoundingClientRect();"
        "return [document.documentElement.scrollWidth, innerWidth, b.left, b.width, b.height]")
    scroll_width, width, left, form_width, form_height = sizes
    check(scroll_width <= width and left >= 0 and abs(form_width - width) <= 1
          and abs(form_width / form_height - 696 / 480) < 0.01,
          f"the whole form is scaled down to the width, nothing scrolls sideways ({sizes})")
    headline = [p for p in placed if p["name"] == HEADLINE[0]][0]
    check(placed[0]["face"] != '"MS Sans Serif"' and headline["text"][2] <= HEADLINE[1][2],
          f"the scalable face, with the headline whole ({placed[0]['face']}, {headline['text'][2]:.1f} px)")
    check(page.edit("Tipp 1").get_property("inputMode") == "numeric", "the fields ask for a keyboard with digits")
    page.click('"Zufallszahlen"')
    check(all(page.read(*TICKET)), "a tap fills the ticket")
    page.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def close_game(page):
    check(page.load(), "the form shows again")
    page.click("Schließen")
    check(page.wait(lambda: page.driver.execute_script(
        "const n = document.getElementById('notice'); return !n.hidden && !document.querySelector('.form')")),
        "Schließen takes the form away")
    notice = page.driver.execute_script("return document.getElementById('notice').innerText")
    check("Das Spiel ist beendet." in notice, f"the page says that the game has ended ({notice!r})")
    buttons = page.driver.find_elements(page.By.CSS_SELECTOR, "button")
    check(len(buttons) == 1 and page.focused() == "Neues Spiel", "with one control for a new game, focused")
    buttons[0].click()
    check(page.wait(lambda: page.driver.execute_script(
        "const f = document.querySelector('.form'); return !!f && !f.hidden")), "which starts a new game")


def main():
    if not os.path.isfile(os.path.join(SITE, "index.html")):
        print(f"FAIL no site in {SITE}: build it with scripts/web.sh build")
        return 1
    with open(os.path.join(SITE, "manifest.webmanifest"), encoding="utf-8") as file:
        manifest = json.load(file)
    check(manifest["name"] == "Lotto 6 aus 49" and manifest["lang"] == "de"
          and sorted(icon["sizes"] for icon in manifest["icons"]) == ["192x192", "512x512"],
          "the web app manifest names the game in German, with icons of 192 and 512 pixels")
    profile = tempfile.mkdtemp(prefix="lotto-web-")
    port = free_port()
    server = Server(port)
    driver = None
    try:
        driver = start_browser(profile)
        page = Page(driver, f"http://127.0.0.1:{port}/")
        if not page.load():
            page.collect_console()
            check(False, f"the form shows ({page.errors})")
            return summary()
        form_at_zoom_one(page)
        focus_and_tab_order(page)
        accessibility_tree(page)
        whole_game(page)
        modal_message(page)
        offline(page, server)
        phone(page)
        close_game(page)
        page.collect_console()
        check(not page.errors, f"no errors in the console ({page.errors})")
    finally:
        if driver:
            driver.quit()
        server.stop()
        shutil.rmtree(profile, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
