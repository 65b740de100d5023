"""The game's page in one browser engine, as the browser test works it: the
settings of the run (engine, site, auditor, screenshots), the form as the
player meets it (every control by its role and accessible name, with its
designed bounds, as the picture of the form describes it; the first
ticket's draw), the page worked by role and name
(Game), the hand that works it (Hand: mouse and keyboard, or finger), and the
steps that every topic plays: a whole game, the first draw, and the outside
auditor's verdict. The topics are web_layout.py, web_touch.py, web_faults.py
and web_start.py; lotto_web.py plays them in order."""
import json
import os
import re
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from browser import ACCESSIBILITY_TREE, DARK, FORCED_COLORS  # noqa: E402
from desktop import FIRST_DRAW, FIRST_RESULT, FIRST_TICKET, FIRST_TRACE, check  # noqa: E402
from form_picture import Form  # noqa: E402
from waiting import wait_for  # noqa: E402

SKIP = 77

ENGINE = sys.argv[1] if len(sys.argv) > 1 else "chromium"

SITE = sys.argv[2] if len(sys.argv) > 2 else "build-web/site"

AXE = sys.argv[3] if len(sys.argv) > 3 else "build-web/web-test-tools/node_modules/axe-core/axe.min.js"

# The site's next version: the same but for one caption, so its page and program differ.
SITE_NEXT = sys.argv[4] if len(sys.argv) > 4 else "build-web/site-next"

# The names under which the page asks for its program, its WebAssembly and its fallback.
PROGRAM_NAMES = "const n = document.querySelector('script[data-program]').dataset; return [n.program, n.wasm, n.fallback]"

# The program's files as the page has fetched them so far.
FETCHED = "return performance.getEntriesByType('resource').map((e) => e.name.split('/').pop()).filter((n) => /^lotto.*[.](js|wasm)$/.test(n))"

SHOTS = os.environ.get("LOTTO_WEB_SCREENSHOTS")

# The form as the build describes it from its table, beside the site.
FORM = Form(os.environ.get("LOTTO_FORM") or os.path.join(SITE, "..", "ui", "form-parts", "form.json"))

# Every control by what the page calls it: a label by its text, every other
# control by its role and accessible name; each with its designed client
# bounds and, for a label, whether it sizes itself to its text.
LABELS = {label["spoken"].strip(): label for label in FORM.of_kind("label")}

BUTTONS = {control["spoken"]: tuple(control["bounds"]) for control in FORM.of_kind("button", "closeButton")}

EDITS = {control["spoken"]: tuple(control["bounds"]) for control in FORM.of_kind("edit")}

CONTROLS = [("button", name) for name in BUTTONS] + [("textbox", name) for name in EDITS]

TAB_ORDER = [control["spoken"] for control in FORM.tab_stops()]

# The labels that are a field's own name, and the headings that describe the
# first control of their column or group without replacing its name.
LABEL_FOR = {label["spoken"].strip(): FORM.named(label["labelFor"])["spoken"]
             for label in FORM.of_kind("label") if label.get("labelRole") == "name"}

HEADING_OF = {FORM.named(label["labelFor"])["spoken"]: label["spoken"].strip()
              for label in FORM.of_kind("label") if label.get("labelRole") == "heading"}

FIRST_DRAW_SAID = "Ziehung: 3, 16, 21, 36, 37, 44, Zusatzzahl 10. 2 Treffer: 3, 44. Kein Gewinn."

SORTED_TICKET = ["3", "7", "9", "15", "25", "44"]

TICKET = FORM.spoken(*FORM.ticket["fields"])

GRID = range(FORM.ticket["grid"]["lowest"], FORM.ticket["grid"]["highest"] + 1)  # in the touch layout

FIRST_DRAW_CHOSEN = [3, 7, 9, 15, 25, 44]

FIRST_DRAW_GRID_MARKED = [["3", "Treffer"], ["44", "Treffer"]]

DRAW = FORM.spoken(*FORM.ticket["draw"])

# The field whose description is the result in words, and the element that
# says it, which the touch layout shows as a line of its own.
OUTCOME = FORM.ticket["outcome"]

# What is said after that field's name after the first draw: the result, then its heading.
FIRST_OUTCOME_SAID = " ".join([FIRST_RESULT] + [label["caption"].strip() for label in
                                                 [FORM.described(FORM.named(OUTCOME["field"]), "heading")] if label])


def said_after_hit(field):
    """What is said after the name of a field that shows a hit: the hit, then its heading."""
    heading = FORM.described(field, "heading")
    return " ".join(["Treffer"] + ([heading["caption"].strip()] if heading else []))


# The fields that show the first draw's hits, 3 and 44 on both sides (the
# first and the last of the sorted ticket, the first and the sixth of the
# draw): their names, which stay, and what is said after them.
FIRST_DRAW_MARKED = [[field["spoken"], said_after_hit(field)]
                     for field in (FORM.named(FORM.ticket["fields"][k]) for k in (0, 5))]
FIRST_DRAW_MARKED += [[field["spoken"], said_after_hit(field)]
                      for field in (FORM.named(FORM.ticket["draw"][k]) for k in (0, 5))]

DESKTOP = (1000, 760)

DESIGNED_WIDTH = FORM.bounds[2]  # narrower pages show the touch layout

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
return Array.from(document.querySelectorAll('.number-grid button'), (button) =>
  [Number(button.textContent), button.getAttribute('aria-pressed') === 'true',
   [button.getAttribute('aria-label') || button.textContent, described(button)], markSeen(button)]);"""


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

    def settle(self):
        """Waits for the faces the page is fetching: one that a new page
        cut off would be reported by some engines as an error of the page."""
        self.run("return new Promise((frame) => requestAnimationFrame(() => setTimeout(frame)))"
                 ".then(() => document.fonts.ready).then(() => true)")

    def load(self):
        self.settle()
        self.browser.open(self.url)
        if not self.wait(self.shown):
            return False
        self.controls = dict(zip(CONTROLS, self.browser.find(CONTROLS)))
        self.grid_numbers = None
        return True

    def find_controls(self, wanted=CONTROLS):
        """The controls of a page that has just loaded, once the engine names
        those WANTED (a page whose program does not run may come before its
        accessibility does)."""
        def named():
            found = self.browser.find(wanted)
            return None not in found and found
        self.controls = dict(zip(wanted, self.wait(named) or self.browser.find(wanted)))

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
        """The accessible name of the control with the focus (any other by its label or text)."""
        names = [name for _, name in self.controls]
        at = self.run("return Array.prototype.indexOf.call(arguments, document.activeElement)", *self.controls.values())
        return names[at] if at >= 0 else self.run(
            "const e = document.activeElement; return (e.labels && e.labels.length ? e.labels[0] : e).textContent.trim()")

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


def site_names(site):
    """The program's file, its WebAssembly's and its fallback's, as the site's page names them."""
    with open(os.path.join(site, "index.html"), encoding="utf-8") as file:
        page = file.read()
    return [re.search(f'data-{key}="([^"]+)"', page).group(1) for key in ("program", "wasm", "fallback")]


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
        outcome = [node["description"] for node in nodes if node["name"] == FORM.named(OUTCOME["field"])["spoken"]]
        check(outcome == [FIRST_OUTCOME_SAID], f"{where}: and the result in words after the match count's ({outcome})")
    said = game.run("const s = document.querySelectorAll('.frame > [role=status]'); "
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
