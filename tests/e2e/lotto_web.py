#!/usr/bin/env python3
"""Plays the browser build as a person would, in one browser engine: the site
served on a free port and worked through tests/support/browser.py with real
clicks, taps and typing on the controls, found by their role and accessible
name. Checks one fetch of the program, the designed layout's geometry and face
at zoom 1 and at two device pixels to the CSS pixel (the scalable face, every
label drawn whole), first focus and tab order, the names, a whole game with the
desktop's draws and the trace in the console, the modal message, a switch of
layout with the message open, the touch layout on phones played by taps (the
ticket's grid, Enter through the ticket, "Ziehung" in reach, the result in
view), the outside auditor (axe-core) in light, dark and forced colours, the
offline copy (other pages of the folder left to the server, reloads in quick
succession, the game offline after one visit, a new version of the site
replacing the copy), the marks of the numbers that hit, and Schließen. What
the engine cannot check is left out, and said; a host where the engine cannot
start reports the test as skipped.

usage: lotto_web.py chromium|firefox|webkit SITE_DIR AXE_JS
       (LOTTO_WEB_SCREENSHOTS=DIR keeps screenshots)"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import browser as engines  # noqa: E402
from browser import (ACCESSIBILITY_TREE, CONSOLE, DARK, FORCED_COLORS, HOLD, NO_SCRIPTS, NO_WASM, PIXEL_RATIO,  # noqa: E402
                     TOUCH)
from desktop import FIRST_DRAW, FIRST_TICKET, FIRST_TRACE, check, summary  # noqa: E402
from site_server import SiteServer  # noqa: E402
from waiting import wait_for  # noqa: E402

SKIP = 77
ENGINE = sys.argv[1] if len(sys.argv) > 1 else "chromium"
SITE = sys.argv[2] if len(sys.argv) > 2 else "build-web/site"
AXE = sys.argv[3] if len(sys.argv) > 3 else "build-web/web-test-tools/node_modules/axe-core/axe.min.js"
SHOTS = os.environ.get("LOTTO_WEB_SCREENSHOTS")
# What assembles the site, for a new version of it.
WEB_SOURCES = os.path.join(HERE, "..", "..", "ui", "web")
MAKE_SITE = os.path.join(WEB_SOURCES, "make_site.py")
WORKER_TEMPLATE = os.path.join(WEB_SOURCES, "sw.js.in")

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
CONTROLS = [("button", name) for name in BUTTONS] + [("textbox", name) for name in EDITS]
TAB_ORDER = ["Ziehung", "Gewinn: Anzahl Treffer", "Zusatzzahl getroffen", "Fehler: Bereich",
             "Fehler: doppelte Zahl", "Schließen", "Doppelte Zahlen", "Zahl nicht im Tippscheinbereich",
             '"Beides"', '"Zufallszahlen"', "Tippschein löschen!", *(f"Tipp {k + 1}" for k in range(6)),
             *(f"Ziehung {k + 1}" for k in range(6)), "Zusatzzahl"]
# The one label that is its field's own name, and the headings that describe
# the first control of their column or group without replacing its name.
LABEL_FOR = {"Zusatzzahl": "Zusatzzahl"}
HEADING_OF = {"Gewinn: Anzahl Treffer": "Gewinn", "Fehler: Bereich": "Fehler", "Tipp 1": "Tippeingabe",
              "Ziehung 1": "Ziehung", '"Zufallszahlen"': "Zahleneingabe für Faule"}
FIRST_DRAW_SAID = "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 2 Treffer: 3, 44."
# The fields that show the first draw's hits, 3 and 44 on both sides: their
# names, which stay, and what is said after them, the hit before a heading.
FIRST_DRAW_MARKED = [["Tipp 1", "Treffer Tippeingabe"], ["Tipp 6", "Treffer"], ["Ziehung 1", "Treffer Ziehung"],
                     ["Ziehung 6", "Treffer"]]
SORTED_TICKET = ["3", "7", "9", "15", "25", "44"]
NO_SCRIPT_NOTICE = "Das Spiel braucht JavaScript."
FALLBACK = "lotto-nowasm.js"  # the program built as JavaScript
# The program's files as the page has fetched them so far.
FETCHED = "return performance.getEntriesByType('resource').map((e) => e.name.split('/').pop()).filter((n) => /^lotto.*[.](js|wasm)$/.test(n))"
PROGRAMMER_NAMES = re.compile(r"\b(Button\d|BitBtn\d|Label\d|Edit(Gewinn|Zusatz|Bereich|Doppelt)|Tipp\d|Zahl\d)\b")
TICKET = [f"Tipp {k + 1}" for k in range(6)]
GRID = range(1, 50)  # the ticket's grid, in the touch layout
FIRST_DRAW_CHOSEN = [3, 7, 9, 15, 25, 44]
FIRST_DRAW_GRID_MARKED = [["3", "Treffer"], ["44", "Treffer"]]
FULL_TICKET_SAID = "Schon 6 Zahlen gewählt: erst eine abwählen, dann 12 wählen."
DRAW = [f"Ziehung {k + 1}" for k in range(6)] + ["Zusatzzahl"]
DESKTOP = (1000, 760)
DESIGNED_WIDTH = 696  # narrower pages show the touch layout
DESIGNED_FACE = "MS Sans Serif"  # where one CSS pixel is one device pixel
SCALABLE_FACE = "Tahoma"  # elsewhere
RATIO = 2  # device pixels to the CSS pixel of most phones, every Mac and many laptops
FIT_TOLERANCE = 2  # px a label may miss its designed size in a fitted face
MISSING_PAGE = "nichtda.html"  # a page of the folder that the server does not have
RELOADS = 30
NEW_VERSION = '<meta name="lotto-test-version" content="2">'  # what a new version's page carries
NEW_PAGE = "return !!document.querySelector('meta[name=\"lotto-test-version\"]')"
# Phones as the touch layout meets them: upright (the smallest, the narrowest
# where the grid's numbers are a thumb wide, and a common one) and held
# sideways, where the grid stands beside the rest. A whole game by the grid on
# the last two.
PHONES = [(320, 568, "phone-320"), (360, 780, "phone-360"), (390, 844, "phone-portrait"),
          (844, 390, "phone-landscape")]
GRID_GAMES = ("phone-portrait", "phone-landscape")
SMALLEST_TARGET = 44  # CSS px a finger needs
SMALLEST_GRID_TARGET = 40  # on a phone narrower than 360 px, where seven numbers share a row
SMALLEST_EDIT_TEXT = 16  # below it a phone zooms into the field
SMALLEST_TEXT = 14
AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa", "best-practice"]

# Where each element of the form sits in the form's client area, as drawn.
GEOMETRY = """
const form = document.querySelector('.form');
const box = form.getBoundingClientRect();
const place = (rect) => [rect.left - box.left - form.clientLeft, rect.top - box.top - form.clientTop,
                         rect.width, rect.height];
return Array.from(form.children).filter((element) => element.getClientRects().length).map((element) => {
  const text = document.createRange();
  text.selectNodeContents(element);
  return {tag: element.localName, name: element.getAttribute('aria-label') || element.textContent.trim(),
          box: place(element.getBoundingClientRect()), text: place(text.getBoundingClientRect()),
          face: getComputedStyle(element).fontFamily.replace(/^"(.*)"$/, '$1')};
});"""

# Each element of the form on screen: its box, the box its content has, its
# text's box, its scroll sizes and its text size as seen.
ON_SCREEN = """
const edges = (r) => [r.left, r.top, r.right, r.bottom];
const form = document.querySelector('.form');
const scale = window.visualViewport ? visualViewport.scale : 1;
return {touch: getComputedStyle(document.querySelector('.form')).display === 'grid', innerWidth, innerHeight,
        scrollWidth: document.documentElement.scrollWidth, form: edges(form.getBoundingClientRect()),
        numbers: Array.from(form.querySelectorAll('.numbers button'), (n) => edges(n.getBoundingClientRect())),
        elements: Array.from(form.children, (element) => {
          const r = element.getBoundingClientRect();
          const text = document.createRange();
          text.selectNodeContents(element);
          const left = r.left + element.clientLeft, top = r.top + element.clientTop;
          return {tag: element.localName, name: element.getAttribute('aria-label') || element.textContent.trim(),
                  box: edges(r), inner: [left, top, left + element.clientWidth, top + element.clientHeight],
                  text: edges(text.getBoundingClientRect()),
                  scroll: [element.scrollWidth, element.scrollHeight, element.clientWidth, element.clientHeight],
                  size: parseFloat(getComputedStyle(element).fontSize) * scale};
        })};"""

# The form and its labels with nothing clipping them (arguments[0] true) or as
# the page draws them (false): only the label numbered arguments[1], or all of
# them for -1. The same page once painted again.
UNCLIPPED = """
const [free, only] = arguments, form = document.querySelector('.form');
const set = (element, property, value) =>
  free ? element.style.setProperty(property, value, 'important') : element.style.removeProperty(property);
set(form, 'overflow', 'visible');
form.querySelectorAll('label').forEach((label, k) => {
  if (only >= 0 && k !== only) return;
  for (const [property, value] of [['overflow', 'visible'], ['width', 'max-content'], ['height', 'auto']])
    set(label, property, value);
});
return new Promise((painted) => requestAnimationFrame(() => requestAnimationFrame(() => painted(true))));"""

# The page shown: its title, whether it is the game's, and its text.
SHOWN_PAGE = """
return [document.title, !!document.querySelector('script[src="lotto.js"]'),
        (document.body || document.documentElement).textContent.replace(/\\s+/g, ' ').trim().slice(0, 160)];"""

# Whether an element shows a mark as seen: bold, in a frame of two pixels at
# least; and what is said after its name: the texts of the elements that describe it.
MARK_SEEN = """
const markSeen = (element) => { const s = getComputedStyle(element);
  return parseInt(s.fontWeight) >= 700 && s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) >= 2; };
const described = (element) => (element.getAttribute('aria-describedby') || '').split(' ').filter(Boolean)
  .map((id) => document.getElementById(id).textContent.trim()).join(' ');"""

# Each number of the grid: its number, whether it is pressed, its name and
# what is said after it, and whether it shows a mark.
GRID_SHOWN = MARK_SEEN + """
return Array.from(document.querySelectorAll('.numbers button'), (button) =>
  [Number(button.textContent), button.getAttribute('aria-pressed') === 'true',
   [button.getAttribute('aria-label') || button.textContent, described(button)], markSeen(button)]);"""

# Where the named elements are in the viewport, and its height.
IN_VIEW = """
return [innerHeight, ...Array.from(arguments, (e) => { const r = e.getBoundingClientRect(); return [r.top, r.bottom]; })];"""

MESSAGE_ON_SCREEN = """
const box = document.querySelector('dialog[open]').getBoundingClientRect();
const ok = document.querySelector('dialog[open] button').getBoundingClientRect();
return {box: [box.left, box.top, box.right, box.bottom], ok: [ok.width, ok.height], innerWidth, innerHeight};"""


def skip(reason):
    print(f"SKIPPED: {ENGINE}: " + " ".join(str(reason).split())[:300], flush=True)
    sys.exit(SKIP)


class Game:
    """The game's page in one engine, worked by role and accessible name."""

    def __init__(self, browser, url):
        self.browser, self.url = browser, url
        self.run = browser.run
        self.controls = {}
        self.grid_numbers = None
        self.trace = []
        self.errors = []
        self.left_out = []

    @staticmethod
    def wait(predicate):
        # A question may fail while the page is still changing under it: that answer is a no.
        return wait_for(predicate, tolerate=Exception)

    def load(self):
        # A face that the page is fetching for a new screen would be cut off
        # by the reload, which some engines report as an error of the page.
        self.run("return new Promise((frame) => requestAnimationFrame(() => setTimeout(frame)))"
                 ".then(() => document.fonts.ready).then(() => true)")
        self.browser.open(self.url)
        if not self.wait(self.shown):
            return False
        self.controls = dict(zip(CONTROLS, self.browser.find(CONTROLS)))
        self.grid_numbers = None
        return True

    def number(self, number):
        """The ticket's grid's button of that number, found by its name."""
        if not self.grid_numbers:
            wanted = [("button", str(n)) for n in GRID]
            self.grid_numbers = dict(zip(GRID, self.browser.find(wanted)))
        found = self.grid_numbers.get(number)
        if found is None:
            raise LookupError(f"no button {number} in the ticket's grid")
        return found

    def grid(self):
        """The grid's chosen numbers, and the names of those that show a mark,
        as seen (bold, in a frame of two pixels at least), with what is said
        after them."""
        shown = self.run(GRID_SHOWN)
        return [n for n, chosen, _, _ in shown if chosen], [name for _, _, name, marked in shown if marked]

    def control(self, role, name):
        found = self.controls.get((role, name))
        if found is None:
            raise LookupError(f"no {role} named {name!r} on the page")
        return found

    def read(self, *names):
        values = self.run("return Array.from(arguments, (field) => field.value)",
                          *(self.control("textbox", name) for name in names))
        return values[0] if len(names) == 1 else values

    def values(self):
        return self.read(*EDITS)

    def marked(self):
        """The fields that show a mark, as seen (bold, in a frame of two pixels
        at least) and as said: their accessible names, with what is said after
        them, in the form's order."""
        return self.run(MARK_SEEN + "return Array.from(arguments).filter(markSeen)"
                        ".map((field) => [field.getAttribute('aria-label'), described(field)])",
                        *(self.control("textbox", name) for name in EDITS))

    def focused(self):
        """The accessible name of the control with the focus (a dialog's button by its text)."""
        names = [name for _, name in self.controls]
        at = self.run("return Array.prototype.indexOf.call(arguments, document.activeElement)", *self.controls.values())
        return names[at] if at >= 0 else self.run("return document.activeElement.textContent.trim()")

    def dialog(self):
        """The open message, or None; its role and title as the engine's accessibility names them."""
        if not self.run("return !!document.querySelector('dialog[open]')"):
            return None
        named, ok = self.browser.find([("alertdialog", "lotto"), ("button", "OK")])
        return {"named": named is not None, "ok": ok, "text": self.run("return document.querySelector('dialog[open] p').textContent"),
                "buttons": self.run("return Array.from(document.querySelectorAll('dialog[open] button'), b => b.textContent)")}

    def collect_console(self):
        for line in self.browser.console():
            if line["level"] == "error":
                self.errors.append(line["text"])
            elif re.fullmatch(r"\d+", line["text"]):
                self.trace.append(line["text"])

    def traced(self, count):
        """Waits for that many lines of the trace."""
        def enough():
            self.collect_console()
            return len(self.trace) >= count
        return self.wait(enough)

    def shown(self):
        """Whether the program has taken over the form, ready to play."""
        return self.run("const f = document.querySelector('.form'); return !!f && f.hasAttribute('data-running')")

    def picture(self):
        """The viewport as the engine draws it, as PNG bytes."""
        with tempfile.TemporaryDirectory(prefix="lotto-web-shot-") as folder:
            path = os.path.join(folder, "shot.png")
            self.browser.screenshot(path)
            with open(path, "rb") as file:
                return file.read()

    def screenshot(self, name):
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            self.run("return new Promise((frame) => requestAnimationFrame(() => requestAnimationFrame(frame)))")
            self.browser.screenshot(os.path.join(SHOTS, f"{ENGINE}-{name}.png"))

    def leave_out(self, what, why):
        self.left_out.append(what)
        print(f"left out in {ENGINE}: {what} ({why})", flush=True)


class Hand:
    """How the player works the form: mouse and keyboard, or finger and a phone's on-screen keyboard."""

    def __init__(self, game, touch):
        self.game, self.touch = game, touch

    def press(self, element):
        (self.game.browser.tap if self.touch else self.game.browser.click)(element)

    def button(self, name):
        self.press(self.game.control("button", name))

    def fill(self, name, text):
        game, browser = self.game, self.game.browser
        field = game.control("textbox", name)
        self.press(field)
        if not game.wait(lambda: game.focused() == name):
            check(False, f"a {'tap' if self.touch else 'click'} on {name} focuses it ({game.focused()!r})")
        if self.touch:
            game.run("arguments[0].select()", field)  # what a long press and "select all" do
            browser.insert_text(text)
        else:
            browser.press("Control+a")
            browser.press("Backspace")
            browser.type_text(text)
        game.wait(lambda: game.read(name) == text)


def form_at_zoom_one(game):
    screen = game.run("return [devicePixelRatio, innerWidth, document.title]")
    check(screen[0] == 1 and screen[1] >= DESIGNED_WIDTH, f"the page is at zoom 1 with room for the form ({screen})")
    check(screen[2] == "Form1", f"the document's title is the caption ({screen[2]!r})")
    check(not game.run("return getComputedStyle(document.querySelector('.form')).display === 'grid'"), "the designed layout shows")
    placed = game.run(GEOMETRY)
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
    check(len(placed) == 31 and all(p["face"] == DESIGNED_FACE for p in placed),
          f"31 controls in the designed pixel face ({len(placed)}, {sorted(set(p['face'] for p in placed))})")
    check(not game.run("return document.querySelectorAll('canvas').length"), "no canvas")


def one_fetch_of_program(game):
    """On the first visit, before any worker answers: a preload that the
    engine does not hand on to the fetch that compiles or runs the program
    costs a second download. The JavaScript fallback is not fetched at all."""
    fetched = game.run(FETCHED)
    check(sorted(fetched) == ["lotto.js", "lotto.wasm"], f"the first visit fetches lotto.js and lotto.wasm once each, "
                                                          f"and not {FALLBACK} ({fetched})")


def site_copy(folder, change):
    """A copy of the site in FOLDER whose page is CHANGE(page)."""
    site = os.path.join(folder, "site")
    shutil.copytree(SITE, site)
    with open(os.path.join(site, "index.html"), encoding="utf-8") as file:
        page = file.read()
    changed = change(page)
    if changed == page:
        raise RuntimeError("the site's page has nothing to change")
    with open(os.path.join(site, "index.html"), "w", encoding="utf-8") as file:
        file.write(changed)
    return site


def drew_first(game, where):
    """The desktop's first draw in its fields, the ticket sorted, and its one trace line."""
    check(game.wait(lambda: game.read(*DRAW) == FIRST_DRAW) and game.read(*TICKET) == SORTED_TICKET,
          f"{where}: the first draw is the desktop's, the ticket sorted ({game.read(*DRAW)}, {game.read(*TICKET)})")
    check(game.traced(1) and game.trace == [FIRST_TRACE], f"{where}: with its trace ({game.trace})")


def first_draw(game, where):
    """The ticket typed, Ziehung pressed: the desktop's first draw, with its trace."""
    hand = Hand(game, touch=False)
    game.collect_console()
    game.trace.clear()
    for name, number in zip(TICKET, FIRST_TICKET):
        hand.fill(name, number)
    hand.button("Ziehung")
    drew_first(game, where)


def without_scripts(game):
    """JavaScript off: the form is there all the same, every control named, with the notice."""
    browser = game.browser
    if NO_SCRIPTS not in browser.can:
        game.leave_out("the page without JavaScript", "the engine cannot turn it off here")
        return
    browser.set_viewport(*DESKTOP)
    browser.allow(scripts=False)
    try:
        browser.open(game.url)
        missing = [control for control, found in zip(CONTROLS, browser.find(CONTROLS)) if found is None]
        check(not missing, f"without JavaScript, the form shows, every button and field named ({missing})")
        text = browser.text()
        check(NO_SCRIPT_NOTICE in text and HEADLINE[0] in text, f"with the notice {NO_SCRIPT_NOTICE!r} ({text[:120]!r})")
        if SHOTS:  # without a script of the page's own to wait for its frame
            os.makedirs(SHOTS, exist_ok=True)
            browser.screenshot(os.path.join(SHOTS, f"{ENGINE}-no-scripts.png"))
    finally:
        browser.allow()
        browser.open("about:blank")  # a page that runs scripts again


def program_held(game):
    """The program held back on its way: the form is there, the ticket typed
    into it and a press on Ziehung are kept and carried out once it runs."""
    browser = game.browser
    if HOLD not in browser.can:
        game.leave_out("the form before the program runs", "the driver cannot hold a request back")
        return
    game.collect_console()
    browser.hold("*lotto.wasm")
    try:
        browser.open(game.url)
        game.controls = dict(zip(CONTROLS, browser.find(CONTROLS)))
        hand = Hand(game, touch=False)
        for name, number in zip(TICKET, FIRST_TICKET):
            hand.fill(name, number)
        hand.button("Ziehung")
        check(not game.shown() and game.read(*TICKET) == FIRST_TICKET and not any(game.read(*DRAW)),
              "with the program held back, the ticket is typed and Ziehung pressed, and nothing drawn yet")
        game.screenshot("program-held")
    finally:
        browser.release()
    game.trace.clear()
    drew_first(game, "once the program runs, for the typed ticket")
    check(game.load(), "a new game shows")


def other_sites(game):
    """The program built as JavaScript: it plays the same game where there is
    no WebAssembly, and where the page's policy refuses to compile it. A page
    whose form differs from the program's description is refused plainly."""
    browser = game.browser
    strict = ("under a policy without 'wasm-unsafe-eval'", lambda page: page.replace(" 'wasm-unsafe-eval'", "", 1))
    cases = [strict] if NO_WASM not in browser.can else [("without WebAssembly", None), strict]
    if NO_WASM not in browser.can:
        game.leave_out("the page without WebAssembly", "the engine cannot take it away here")
    home = game.url
    for where, change in cases:
        with tempfile.TemporaryDirectory(prefix="lotto-web-site-") as folder:
            server = SiteServer(site_copy(folder, change) if change else SITE)
            game.url = server.url
            browser.allow(wasm=bool(change))
            try:
                check(game.load(), f"{where}: the form shows")
                first_draw(game, where)
                fetched = game.run(FETCHED)
                check(FALLBACK in fetched and "lotto.wasm" not in fetched, f"{where}: played by {FALLBACK} ({fetched})")
            finally:
                browser.allow()
                game.url = home
                server.stop()
        # The engine's report of the refusal is no error of the game.
        game.collect_console()
        game.errors = [error for error in game.errors if not re.search("Content.Security.Policy", error)]

    with tempfile.TemporaryDirectory(prefix="lotto-web-site-") as folder:
        server = SiteServer(site_copy(folder, lambda page: page.replace('id="Tipp3"', 'id="Tipp8"', 1)))
        try:
            browser.open(server.url)
            check(game.wait(game.dialog) and "Tipp3" in game.dialog()["text"],
                  f"a page whose field Tipp3 is missing says so ({game.dialog()})")
            check(game.run("return document.getElementById('notice').innerText").startswith(
                  "Das Spiel konnte nicht gestartet werden"), "and does not start the game")
        finally:
            server.stop()
        game.collect_console()
        game.errors = [error for error in game.errors if "does not match the program" not in error]


def differs_unclipped(game, only):
    """Whether the page changes where nothing clips the labels (all of them,
    or the one numbered ONLY): then a label loses some of its drawing to its
    box or the form's edge. Asked until two pictures of the page as it is
    agree, so that nothing else that moves on the page counts."""
    answer = []

    def compared():
        drawn = game.picture()
        game.run(UNCLIPPED, True, only)
        free = game.picture()
        game.run(UNCLIPPED, False, only)
        if game.picture() != drawn:
            return False
        answer.append(free != drawn)
        return True
    if not game.wait(compared):
        raise RuntimeError("the page never held still for two pictures")
    return answer[0]


def designed_at_ratio_two(game):
    """A screen of two device pixels to the CSS pixel, where the designed face
    would blur: the designed layout in the scalable face, fitted, every label
    drawn whole."""
    browser = game.browser
    where = f"at {RATIO} device pixels to the CSS pixel"
    if PIXEL_RATIO not in browser.can:
        game.leave_out(f"the designed layout {where}", "the engine cannot be set to that ratio here")
        return
    browser.set_viewport(*DESKTOP, ratio=RATIO)
    check(game.load(), f"{where}: the form shows")
    screen = game.run("return [devicePixelRatio, getComputedStyle(document.querySelector('.form')).display === 'grid']")
    check(screen == [RATIO, False], f"{where}: the page sees the ratio and shows the designed layout ({screen})")
    placed = game.run(GEOMETRY)
    faces = sorted(set(p["face"] for p in placed))
    check(faces == [SCALABLE_FACE], f"{where}: the form is drawn in the scalable face ({faces})")
    labels = {p["name"]: p for p in placed if p["tag"] == "label"}
    missed = [(name, [round(v, 1) for v in labels[name]["box"][2:]]) for name, (_, _, width, height) in LABELS.items()
              if name not in labels or abs(labels[name]["box"][2] - width) > FIT_TOLERANCE
              or abs(labels[name]["box"][3] - height) > FIT_TOLERANCE]
    check(not missed, f"{where}: every label within {FIT_TOLERANCE} px of its designed size ({missed})")
    headline = labels.get(HEADLINE[0])
    check(headline and headline["text"][2] <= HEADLINE[1][2],
          f"{where}: the headline's text stays in its {HEADLINE[1][2]} px ({headline and headline['text']})")
    cut = []
    if differs_unclipped(game, -1):
        names = game.run("return Array.from(document.querySelectorAll('.form label'), (l) => l.textContent.trim())")
        cut = [name for k, name in enumerate(names) if differs_unclipped(game, k)] or ["the labels together"]
    check(not cut, f"{where}: every label's text drawn whole, nothing of it lost to its box or the form's edge ({cut})")
    game.screenshot(f"desktop-ratio{RATIO}")


def focus_and_tab_order(game, where, grid=False):
    """With the grid, it is one tab stop after the ticket, and the arrow keys
    move among its numbers; it is entered again at the last one."""
    order = TAB_ORDER
    if grid:
        at = order.index("Tipp 6") + 1
        order = order[:at] + ["1"] + order[at:]
    check(game.wait(lambda: game.focused() == "Ziehung"), f"{where}: Ziehung has the first focus ({game.focused()!r})")
    visited = []
    for _ in order:
        game.browser.press("Tab")
        visited.append(game.focused())
    check(visited == order[1:] + order[:1], f"{where}: Tab goes round the form in the designed order ({visited})")
    game.browser.press("Shift+Tab")
    check(game.focused() == "Zusatzzahl", f"{where}: Shift+Tab from Ziehung goes back round to Zusatzzahl")
    if not grid:
        return
    for _ in range(7):
        game.browser.press("Shift+Tab")
    moved = [game.focused()]
    for key in ("ArrowRight", "ArrowDown", "End", "ArrowLeft", "Home", "ArrowDown", "Tab", "Shift+Tab"):
        game.browser.press(key)
        moved.append(game.focused())
    check(moved == ["1", "2", "9", "49", "48", "1", "8", "Ziehung 1", "8"],
          f"{where}: the arrow keys, Home and End move among the grid's numbers, a row of seven at a time ({moved})")


def names(game):
    missing = [item for item, found in game.controls.items() if found is None]
    check(not missing, f"the engine's accessibility names every button and field ({missing or len(CONTROLS)})")
    related = game.run(
        "return Object.fromEntries(Array.from(document.querySelectorAll('.form label'), l => "
        "[l.textContent.trim(), l.control && l.control.getAttribute('aria-label')]).filter(r => r[1]))")
    check(related == LABEL_FOR, f"only a field's own name is its <label> ({related})")
    described = game.run(
        "return Object.fromEntries(Array.from(document.querySelectorAll('.form [aria-describedby]'), c => "
        "[c.getAttribute('aria-label'), document.getElementById(c.getAttribute('aria-describedby')).textContent.trim()]))")
    check(described == HEADING_OF, f"a heading describes the first control under it ({described})")
    if ACCESSIBILITY_TREE not in game.browser.can:
        game.leave_out("the labels' names and programmer names in the whole accessibility tree",
                       "its driver gives no tree; names are checked by finding each control by them")
        return
    nodes = game.browser.accessibility_tree()
    by_id = {node["id"]: node for node in nodes}
    named = {(node["role"], node["name"]) for node in nodes}
    # A label is read as the text inside it.
    named |= {(node["role"], "".join(by_id[child]["name"] or "" for child in node["childIds"] if child in by_id).strip())
              for node in nodes if node["role"] == "LabelText"}
    wanted = [("LabelText", name) for name in LABELS] + [("LabelText", HEADLINE[0])]
    missing = [item for item in wanted if item not in named]
    check(not missing, f"the accessibility tree names every label ({missing or len(wanted)})")
    headings = {node["name"]: (node["description"] or "").strip() for node in nodes
                if node["name"] in HEADING_OF and node["role"] in ("textbox", "button")}
    check(headings == HEADING_OF, f"the engine names those controls by their own names, headings as descriptions "
                                  f"({headings})")
    said = json.dumps([[node[key] for key in ("name", "description", "value")] for node in nodes], ensure_ascii=False)
    leaked = sorted(set(match.group(0) for match in PROGRAMMER_NAMES.finditer(said)))
    check(not leaked, f"no programmer name reaches the accessibility tree ({leaked})")


def whole_game(game, hand, where, grid=False):
    """With the grid, it shows the typed ticket and its marks as well."""
    game.collect_console()
    game.trace.clear()
    hand.button("Doppelte Zahlen")
    hand.button("Ziehung")
    check(game.wait(lambda: game.read("Fehler: doppelte Zahl") == "Doppelte Zahl"),
          f"{where}: the duplicate example is reported")
    for name, number in zip(TICKET, FIRST_TICKET):
        hand.fill(name, number)
    hand.button("Ziehung")
    check(game.wait(lambda: game.read(*TICKET) == SORTED_TICKET),
          f"{where}: the typed ticket comes back sorted ({game.read(*TICKET)})")
    check(game.read(*DRAW) == FIRST_DRAW, f"{where}: the first draw is the desktop's ({game.read(*DRAW)})")
    check(game.read("Gewinn: Anzahl Treffer") == "2" and game.read("Zusatzzahl getroffen") == "",
          f"{where}: two matches, no bonus hit")
    check(game.marked() == FIRST_DRAW_MARKED, f"{where}: exactly 3 and 44 are marked, on both sides ({game.marked()})")
    if grid:
        check(game.grid() == (FIRST_DRAW_CHOSEN, FIRST_DRAW_GRID_MARKED),
              f"{where}: the grid shows the typed ticket chosen, 3 and 44 marked ({game.grid()})")
    if ACCESSIBILITY_TREE in game.browser.can:
        nodes = [node for node in game.browser.accessibility_tree() if node["role"] in ("textbox", "button")]
        fields = sorted(node["name"] for node in nodes if node["role"] == "textbox")
        hits = sorted([node["name"], node["description"]] for node in nodes if "Treffer" in (node["description"] or ""))
        check(fields == sorted(EDITS) and hits == sorted(FIRST_DRAW_MARKED + (FIRST_DRAW_GRID_MARKED if grid else [])),
              f"{where}: the engine names every field as before the draw, a hit said after the name ({hits})")
    said = game.run("const s = document.querySelectorAll('.frame [role=status]'); "
                    "return Array.from(s, e => [e.textContent, e.getBoundingClientRect().width <= 1])")
    check(said == [[FIRST_DRAW_SAID, True]], f"{where}: the form's one unseen status element says the draw ({said})")
    check(game.traced(1) and game.trace == [FIRST_TRACE], f"{where}: one console line for the draw, as drawn ({game.trace})")
    hand.fill("Tipp 6", "45")
    check(game.marked() == FIRST_DRAW_MARKED[:1] + FIRST_DRAW_MARKED[2:],
          f"{where}: a field the player changes loses its mark, the others keep theirs ({game.marked()})")
    if grid:
        check(game.grid() == ([3, 7, 9, 15, 25, 45], FIRST_DRAW_GRID_MARKED[:1]),
              f"{where}: and the grid follows the typing: 45 chosen, 44 neither chosen nor marked ({game.grid()})")
    hand.button('"Zufallszahlen"')
    check(game.traced(2) and len(game.trace) == 2 and len(game.trace[1]) >= 7,
          f"{where}: the random ticket traces its own line ({game.trace})")


def modal_message(game):
    hand = Hand(game, touch=False)
    hand.fill("Tipp 3", "<b>7</b>")
    for close_key in ("Enter", "Escape"):
        hand.button("Ziehung")
        check(game.wait(game.dialog), "a letter in a ticket field shows a message")
        shown = game.dialog()
        check(shown and shown["named"] and shown["buttons"] == ["OK"] and shown["ok"] is not None
              and "<b>7</b>" in shown["text"], f"an alert dialog 'lotto' with the text as typed and OK ({shown})")
        game.browser.click(game.control("button", "Tippschein löschen!"))
        check(game.read("Tipp 3") == "<b>7</b>", "the form takes no click while the message is open")
        game.browser.press(close_key)
        check(game.wait(lambda: not game.dialog()), f"{close_key} closes the message")
        check(game.focused() == "Ziehung", f"the focus goes back to Ziehung ({game.focused()!r})")
    check(game.read("Gewinn: Anzahl Treffer") == "", "the result is cleared after the error")
    game.screenshot("desktop")


def layout_switch(game):
    """From the desktop's width to a phone's and back, with a message open."""
    game.browser.set_viewport(*DESKTOP)
    check(game.load(), "the form shows again at the desktop's width")
    hand = Hand(game, touch=False)
    for name, text in zip(TICKET, ["1", "2", "3", "4", "5", "x5"]):
        hand.fill(name, text)
    hand.button("Ziehung")
    check(game.wait(game.dialog), "a message is open before the switch")
    before = game.values()
    for width, height, touch in ((390, 844, True), (*DESKTOP, False)):
        game.browser.set_viewport(width, height)
        check(game.wait(lambda: game.run("return getComputedStyle(document.querySelector('.form')).display === 'grid'") == touch),
              f"at {game.run('return innerWidth')} px the {'touch' if touch else 'designed'} layout shows")
        check(game.dialog() is not None and game.focused() == "OK",
              f"the message stays open with the focus on its OK ({game.focused()!r})")
        check(game.values() == before, f"every field keeps its text ({game.values()})")
        if touch:
            game.screenshot("switch-narrow")
    placed = {p["name"]: [round(v) for v in p["box"]] for p in game.run(GEOMETRY)}
    check(placed.get("Ziehung") == list(BUTTONS["Ziehung"]), f"back in the designed places ({placed.get('Ziehung')})")
    game.browser.press("Enter")
    check(game.wait(lambda: not game.dialog()) and game.focused() == "Ziehung",
          "the message closes and gives the focus back to Ziehung")


def overlapping(elements):
    pairs = []
    for k, a in enumerate(elements):
        for b in elements[k + 1:]:
            if min(a["box"][2], b["box"][2]) - max(a["box"][0], b["box"][0]) > 0.5 and \
                    min(a["box"][3], b["box"][3]) - max(a["box"][1], b["box"][1]) > 0.5:
                pairs.append((a["name"], b["name"]))
    return pairs


def touch_layout(game, where):
    """What a thumb and an eye need of the touch layout at the present size,
    seen at the foot of the page, where "Ziehung" has a place of its own."""
    game.run("scrollTo(0, document.documentElement.scrollHeight)")
    seen = game.run(ON_SCREEN)
    elements = seen["elements"]
    controls = [e for e in elements if e["tag"] in ("input", "button")]
    check(seen["touch"], f"{where}: the touch layout shows")
    small = [(e["name"], round(e["box"][2] - e["box"][0]), round(e["box"][3] - e["box"][1])) for e in controls
             if e["box"][2] - e["box"][0] < SMALLEST_TARGET or e["box"][3] - e["box"][1] < SMALLEST_TARGET]
    check(len(controls) == 24 and not small, f"{where}: every control at least 44x44 ({small})")
    # A thumb's width from 360 px on; the seven of a row still 40 px on the smallest phones.
    smallest = SMALLEST_TARGET if seen["innerWidth"] >= 360 else SMALLEST_GRID_TARGET
    sizes = [min(box[2] - box[0], box[3] - box[1]) for box in seen["numbers"]]
    check(len(sizes) == len(GRID) and min(sizes) >= smallest,
          f"{where}: the grid's {len(sizes)} numbers each at least {smallest}x{smallest} ({min(sizes):.1f})")
    tiny = [(e["name"], e["size"]) for e in elements
            if e["size"] < (SMALLEST_EDIT_TEXT if e["tag"] == "input" else SMALLEST_TEXT)]
    check(not tiny, f"{where}: edit text at least 16 px, all other text at least 14 px ({tiny})")
    check(seen["scrollWidth"] <= seen["innerWidth"],
          f"{where}: nothing scrolls sideways ({seen['scrollWidth']} in {seen['innerWidth']})")
    form = seen["form"]
    outside = [e["name"] for e in elements if e["box"][0] < max(form[0], 0) - 0.5
               or e["box"][2] > min(form[2], seen["innerWidth"]) + 0.5]
    check(not outside, f"{where}: every element lies whole in the form and the screen's width ({outside})")
    check(not overlapping(elements), f"{where}: no two elements overlap ({overlapping(elements)})")
    cut = [e["name"] for e in elements if e["tag"] != "input" and (
        e["scroll"][0] > e["scroll"][2] or e["scroll"][1] > e["scroll"][3]
        or e["text"][0] < e["inner"][0] - 1 or e["text"][1] < e["inner"][1] - 1
        or e["text"][2] > e["inner"][2] + 1 or e["text"][3] > e["inner"][3] + 1)]
    check(not cut, f"{where}: every label's and button's text is whole in its box ({cut})")


def ticket_in_reach(game, hand, where):
    """Ziehung at the foot of the screen while the ticket shows, also once a
    field of it has the focus (on a phone, the keyboard's)."""
    game.run("scrollTo(0, 0)")
    fields = [game.control("textbox", name) for name in TICKET]
    play = game.control("button", "Ziehung")
    check(above_play(game, fields, at_foot=True),
          f"{where}: Ziehung at the foot of the screen, the ticket above it ({game.run(IN_VIEW, play)})")
    hand.press(fields[-1])
    check(game.wait(lambda: above_play(game, fields, at_foot=True)),
          f"{where}: and so with Tipp 6 focused ({game.run(IN_VIEW, fields[-1], play)})")


def above_play(game, elements, at_foot=False):
    """The elements in view above Ziehung, which is on the screen (AT_FOOT: in its lower half)."""
    height, *boxes, (top, bottom) = game.run(IN_VIEW, *elements, game.control("button", "Ziehung"))
    return bottom <= height and (not at_foot or top >= height / 2) and all(0 <= t and b <= top for t, b in boxes)


def enter_through_ticket(game, hand, where):
    """Enter, the key that says "next", goes from field to field and on to
    Ziehung, which it does not press."""
    hints = game.run("return Array.from(arguments, (field) => field.getAttribute('enterkeyhint'))",
                     *(game.control("textbox", name) for name in TICKET))
    check(hints == ["next"] * len(TICKET), f"{where}: each ticket field's key says next ({hints})")
    drawn = game.read(*DRAW)
    game.collect_console()
    traced = len(game.trace)
    hand.fill("Tipp 1", "1")
    visited = []
    for _ in TICKET:
        game.browser.press("Enter")
        visited.append(game.focused())
    game.collect_console()
    check(visited == TICKET[1:] + ["Ziehung"] and game.read(*DRAW) == drawn and len(game.trace) == traced,
          f"{where}: Enter goes through the ticket to Ziehung without drawing ({visited})")


def play_by_grid(game, hand):
    """The first ticket by six taps on the grid, and Ziehung."""
    for number in FIRST_TICKET:
        hand.press(game.number(int(number)))
    hand.button("Ziehung")
    game.wait(lambda: game.read(*DRAW) == FIRST_DRAW)


def grid_game(game, hand, where):
    """A whole game on a fresh start by the grid alone: six taps, a seventh
    that says why it changes nothing, and Ziehung, whose result comes into
    view above it."""
    check(game.load(), f"{where}: a new game shows")
    game.collect_console()
    game.trace.clear()
    for number in FIRST_TICKET:
        hand.press(game.number(int(number)))
    typed = [str(int(number)) for number in FIRST_TICKET]
    check(game.wait(lambda: game.read(*TICKET) == typed), f"{where}: six taps fill the ticket ({game.read(*TICKET)})")
    hand.press(game.number(12))
    said = game.run("return [document.querySelector('.numbers .note').textContent, "
                    "document.querySelector('.frame [role=status]').textContent]")
    check(said == [FULL_TICKET_SAID] * 2 and game.read(*TICKET) == typed,
          f"{where}: a seventh changes nothing, and says why on the screen and to a screen reader ({said})")
    hand.press(game.number(25))
    check(game.wait(lambda: game.read("Tipp 3") == "") and not game.run("return document.querySelector('.numbers .note').textContent"),
          f"{where}: a chosen number's tap empties its field, and the note goes")
    hand.press(game.number(25))
    hand.button("Ziehung")
    drew_first(game, where)
    check(game.marked() == FIRST_DRAW_MARKED and game.grid() == (FIRST_DRAW_CHOSEN, FIRST_DRAW_GRID_MARKED),
          f"{where}: 3 and 44 marked on both sides and in the grid ({game.marked()}, {game.grid()})")
    shown = [game.control("textbox", name) for name in DRAW + ["Gewinn: Anzahl Treffer"]]
    check(game.wait(lambda: above_play(game, shown)),
          f"{where}: the drawn numbers, the bonus number and the match count in view, above Ziehung "
          f"({game.run(IN_VIEW, *shown, game.control('button', 'Ziehung'))})")


def message_on_phone(game, hand, where):
    hand.fill("Tipp 3", "x")
    hand.button("Ziehung")
    check(game.wait(game.dialog), f"{where}: a letter in a ticket field shows the message")
    seen = game.run(MESSAGE_ON_SCREEN)
    box = seen["box"]
    check(box[0] >= 0 and box[1] >= 0 and box[2] <= seen["innerWidth"] and box[3] <= seen["innerHeight"]
          and min(seen["ok"]) >= SMALLEST_TARGET, f"{where}: the message fits the screen, its OK at least 44x44 ({seen})")
    game.screenshot("phone-message")
    audit(game, f"{where} with the message open")
    hand.press(game.dialog()["ok"])
    check(game.wait(lambda: not game.dialog()) and game.focused() == "Ziehung",
          f"{where}: OK closes the message and the focus goes back to Ziehung")


def touch_pass(game):
    browser = game.browser
    touch = TOUCH in browser.can
    hand = Hand(game, touch)
    if not touch:
        game.leave_out("taps, a coarse pointer and phone landscape",
                       "the driver has no touch: the touch layout at a narrow window, worked with the mouse")
    for width, height, name in PHONES if touch else PHONES[:1]:
        browser.set_viewport(width, height, touch)
        first = name == PHONES[0][2]
        if first:
            check(game.load(), f"at {width}x{height}: the form shows")
            game.run("window.lottoTestPointers = new Set();"
                     "addEventListener('pointerdown', (event) => lottoTestPointers.add(event.pointerType), true)")
        else:
            check(game.wait(lambda: game.run("return innerWidth") == width), f"the screen turns to {width}x{height}")
        inner = game.run("return [innerWidth, innerHeight]")
        where = f"touch layout at {inner[0]}x{inner[1]}"
        if inner[0] != width:
            game.leave_out(f"{width} px wide", f"the narrowest window the browser takes is {inner[0]} px")
        touch_layout(game, where)
        if first:
            check(game.run("return document.querySelector('.form input').inputMode") == "numeric",
                  f"{where}: the fields ask for a keyboard with digits")
            overscroll = game.run("return getComputedStyle(document.documentElement).overscrollBehaviorY || null")
            if overscroll is None:
                game.leave_out("the guard against pull-to-refresh", "the engine knows no overscroll-behavior")
            else:
                check(overscroll == "contain", f"{where}: a swipe down at the top does not reload the page "
                      f"(overscroll-behavior-y: {overscroll})")
            focus_and_tab_order(game, where, grid=True)
            whole_game(game, hand, where + (" by taps" if touch else ""), grid=True)
            enter_through_ticket(game, hand, where)
            message_on_phone(game, hand, where)
            if touch:
                pointers = game.run("return Array.from(lottoTestPointers)")
                check(pointers == ["touch"], f"{where}: every press was a finger's ({pointers})")
        ticket_in_reach(game, hand, where)
        if name in GRID_GAMES or not touch:
            grid_game(game, hand, where + (" by taps" if touch else ""))
        game.run("scrollTo(0, 0)")
        game.screenshot(name)
        if name == "phone-portrait" or not touch:
            audits(game, "the touch layout", name, lambda: play_by_grid(game, hand))


def audit(game, where):
    """axe-core's verdict on the page as it is."""
    with open(AXE, encoding="utf-8") as file:
        auditor = file.read()
    violations = game.run(auditor + "\nreturn axe.run(document, {runOnly: {type: 'tag', values: %s}, "
                          "resultTypes: ['violations']}).then((r) => r.violations.map((v) => "
                          "({id: v.id, impact: v.impact, targets: v.nodes.map((n) => n.target.join(' '))})));"
                          % json.dumps(AXE_TAGS))
    for violation in violations:
        print(f"     axe: {violation['id']} ({violation['impact']}): {', '.join(violation['targets'])}")
    check(not violations, f"axe: no violations in {where} ({len(violations)})")


def audits(game, layout, shot, prepare=None):
    """The auditor in the system's light, dark and forced colours; on each
    new load, after PREPARE."""
    browser = game.browser
    for scheme, forced, ability in (("light", False, None), ("dark", False, DARK), ("light", True, FORCED_COLORS)):
        colours = "forced colours" if forced else f"{scheme} colours"
        if ability and ability not in browser.can:
            game.leave_out(f"{layout} in {colours}", "the engine cannot emulate them here")
            continue
        browser.emulate(scheme, forced)
        if ability:
            check(game.load(), f"{layout} in {colours}: the form shows")
            if prepare:
                prepare()
            shown = game.run("return [matchMedia('(prefers-color-scheme: dark)').matches, "
                             "matchMedia('(forced-colors: active)').matches]")
            check(shown == [scheme == "dark", forced], f"{layout} in {colours}: the page sees them ({shown})")
            game.screenshot(f"{shot}-{'forced' if forced else scheme}")
        audit(game, f"{layout} in {colours}")
    browser.emulate("light", False)
    check(game.load(), f"{layout} in light colours again: the form shows")


def reload_burst(game):
    """Reloads in quick succession, each as soon as the last load has fired,
    while the program may still be on its way and compiling: nothing given up
    on the way may fail, in the page or in the worker."""
    if CONSOLE not in game.browser.can:
        game.leave_out(f"{RELOADS} reloads in quick succession",
                       "the driver reads no console: a hook set after the load misses what a reload cuts off")
        return
    game.collect_console()
    before = len(game.errors)
    for _ in range(RELOADS):
        game.browser.open(game.url)
    check(game.wait(game.shown) and game.run("return !!navigator.serviceWorker.controller"),
          f"after {RELOADS} reloads in quick succession, each answered by the worker, the form shows")
    game.collect_console()
    check(len(game.errors) == before, f"{RELOADS} reloads in quick succession leave no error in the console "
          f"({game.errors[before:]})")


def other_page(game, online):
    """A page of the folder that the site does not have: the worker leaves it
    to the server (its 404) and, offline, to the browser's own error."""
    where = "online" if online else "offline"
    game.collect_console()
    try:
        game.browser.open(game.url + MISSING_PAGE)
    except Exception:  # some drivers report the browser's error page as a failed navigation
        if online:
            raise
    title, is_game, text = game.run(SHOWN_PAGE)
    expected = "the server's 404" if online else "the browser's own error"
    check(not is_game and ("404" in text) == online,
          f"{where}, with the worker active, {MISSING_PAGE} is {expected}, not the game ({title!r}: {text[:80]!r})")
    # The engine's report of the missing page (and of its icon) is no error of the game.
    errors = len(game.errors)
    game.collect_console()
    del game.errors[errors:]


def new_version(folder):
    """The site as its next version: the page changed, and the site assembled
    again by make_site.py, which names the worker's cache anew."""
    pairs = []
    for root, _, names in os.walk(SITE):
        for name in names:
            source = os.path.join(root, name)
            place = os.path.relpath(source, SITE).replace(os.sep, "/")
            if place == "sw.js":
                continue
            if place == "index.html":
                with open(source, encoding="utf-8") as file:
                    page = file.read().replace('<meta charset="utf-8">', '<meta charset="utf-8">\n' + NEW_VERSION, 1)
                source = os.path.join(folder, place)
                with open(source, "w", encoding="utf-8") as file:
                    file.write(page)
            pairs.append(f"{place}={source}")
    site = os.path.join(folder, "site")
    subprocess.run([sys.executable, MAKE_SITE, site, WORKER_TEMPLATE, *pairs], check=True)
    return site


def new_version_replaces_copy(game, server):
    """A new version of the site, served in place of the first: the next visit
    shows it, and its worker takes over and replaces the copy. Both servers
    have stopped when it returns."""
    copies = game.run("return caches.keys()")
    with tempfile.TemporaryDirectory(prefix="lotto-web-version-") as folder:
        site = new_version(folder)
        server.stop()
        newer = SiteServer(site, server.port)
        try:
            check(game.load() and game.run(NEW_PAGE), "a new version of the site, served in its place, "
                  "is what the next visit shows")

            def one_new_copy():
                kept = game.run("return caches.keys()")
                return len(kept) == 1 and kept != copies
            check(game.wait(one_new_copy), f"its worker takes over and keeps one copy, a new one ({copies} before)")
        finally:
            newer.stop()


def offline(game, server):
    """The offline copy: what the worker answers, and what not, while the
    server is there; then a new version of the site in its place; then the
    game without a server."""
    game.browser.set_viewport(*DESKTOP)
    check(game.run("return navigator.serviceWorker.ready.then(() => true)"), "the service worker is ready after one visit")
    reload_burst(game)
    other_page(game, online=True)
    new_version_replaces_copy(game, server)
    other_page(game, online=False)
    check(game.load() and game.run(NEW_PAGE), "with the server gone, a reload shows the form, from the new copy")
    hand = Hand(game, touch=False)
    hand.button('"Zufallszahlen"')
    hand.button("Ziehung")
    check(game.wait(lambda: all(game.read(*DRAW)) and game.read("Gewinn: Anzahl Treffer") != ""),
          "and the game plays offline")
    stored = game.run("return indexedDB.databases().then((d) => "
                      "[document.cookie, localStorage.length, sessionStorage.length, d.length])")
    check(stored == ["", 0, 0, 0], f"nothing stored besides the offline copy ({stored})")
    hosts = game.run("return performance.getEntriesByType('resource').map(e => new URL(e.name).host)"
                     ".filter(h => h !== location.host)")
    check(hosts == [], f"the page asks no other host ({hosts})")


def close_game(game):
    Hand(game, touch=False).button("Schließen")
    check(game.wait(lambda: game.run(
        "const n = document.getElementById('notice'); return !n.hidden && !document.querySelector('.form')")),
        "Schließen takes the form away")
    notice = game.run("return document.getElementById('notice').innerText")
    check("Das Spiel ist beendet." in notice, f"the page says that the game has ended ({notice!r})")
    restart = game.browser.find([("button", "Neues Spiel")])[0]
    check(restart is not None and game.run("return document.querySelectorAll('button').length") == 1
          and game.run("return document.activeElement === arguments[0]", restart),
          "with one control for a new game, focused")
    game.browser.click(restart)
    check(game.wait(game.shown), "which starts a new game")


def play(game, server):
    browser = game.browser
    without_scripts(game)
    browser.set_viewport(*DESKTOP)
    if not game.load():
        game.collect_console()
        check(False, f"the form shows ({game.errors})")
        return
    one_fetch_of_program(game)
    form_at_zoom_one(game)
    focus_and_tab_order(game, "designed layout")
    names(game)
    program_held(game)
    if CONSOLE not in browser.can:
        game.leave_out("console lines before the page has loaded",
                       "the driver reads no console: a hook in the page keeps them from the load on")
    whole_game(game, Hand(game, touch=False), "designed layout")
    modal_message(game)
    audits(game, "the designed layout", "desktop")
    designed_at_ratio_two(game)
    layout_switch(game)
    touch_pass(game)
    other_sites(game)
    offline(game, server)
    close_game(game)
    game.collect_console()
    check(not game.errors, f"no errors in the console ({game.errors})")


def main():
    if ENGINE not in engines.ENGINES:
        print(f"FAIL unknown engine {ENGINE!r}: one of {', '.join(engines.ENGINES)}")
        return 1
    if not os.path.isfile(os.path.join(SITE, "index.html")):
        print(f"FAIL no site in {SITE}: build it with scripts/web.sh build")
        return 1
    if not os.path.isfile(AXE):
        print(f"FAIL no axe-core at {AXE}: the test's npm ci installs it")
        return 1
    with open(os.path.join(SITE, "manifest.webmanifest"), encoding="utf-8") as file:
        manifest = json.load(file)
    check(manifest["name"] == "Lotto 6 aus 49" and manifest["lang"] == "de"
          and sorted(icon["sizes"] for icon in manifest["icons"]) == ["192x192", "512x512"],
          "the web app manifest names the game in German, with icons of 192 and 512 pixels")
    started = time.monotonic()
    profile = tempfile.mkdtemp(prefix=f"lotto-web-{ENGINE}-")
    server = SiteServer(SITE)
    browser = None
    try:
        try:
            browser = engines.start(ENGINE, profile)
        except engines.Unavailable as reason:
            skip(reason)
        game = Game(browser, server.url)
        try:
            play(game, server)
        except Exception as error:  # a control that is not there, a browser that has gone
            check(False, f"the scenario runs to its end ({type(error).__name__}: {error})")
        if game.left_out:
            print(f"{ENGINE} left out: {'; '.join(game.left_out)}")
    finally:
        if browser:
            browser.quit()
        server.stop()
        shutil.rmtree(profile, ignore_errors=True)
    print(f"{ENGINE}: {time.monotonic() - started:.1f} s")
    return summary()


if __name__ == "__main__":
    sys.exit(main())
