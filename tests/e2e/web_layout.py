"""The browser test's topic "layout": the designed layout to the pixel at
zoom 1 in the designed face, and at two device pixels to the CSS pixel in the
scalable face with every label drawn whole; the first focus and the tab
order; the accessible names and relations; a switch between the arrangements
with a message open."""
import json
import re

from browser import ACCESSIBILITY_TREE, PIXEL_RATIO
from desktop import check
from web_game import (BUTTONS, CONTROLS, DESIGNED_WIDTH, DESKTOP, EDITS, FORM, GEOMETRY, GRID, HEADING_OF, LABEL_FOR,
                      LABELS, TAB_ORDER, TICKET, Hand)

DESIGNED_FACE = "MS Sans Serif"  # where one CSS pixel is one device pixel

SCALABLE_FACE = "Tahoma"  # elsewhere

RATIO = 2  # device pixels to the CSS pixel of most phones, every Mac and many laptops

FIT_TOLERANCE = 2  # px a label may miss its designed size in a fitted face

PROGRAMMER_NAMES = re.compile(r"\b(Button\d|BitBtn\d|Label\d|Edit(Gewinn|Zusatz|Bereich|Doppelt)|Tipp\d|Zahl\d)\b")

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


def form_at_zoom_one(game):
    screen = game.run("return [devicePixelRatio, innerWidth, document.title]")
    check(screen[0] == 1 and screen[1] >= DESIGNED_WIDTH, f"the page is at zoom 1 with room for the form ({screen})")
    check(screen[2] == "Form1", f"the document's title is the caption ({screen[2]!r})")
    check(not game.run("return getComputedStyle(document.querySelector('.form')).display === 'grid'"), "the designed layout shows")
    placed = game.run(GEOMETRY)
    expected = [("label", name, tuple(label["bounds"]), label["autoSize"]) for name, label in LABELS.items()] + \
               [("button", name, bounds, False) for name, bounds in BUTTONS.items()] + \
               [("input", name, bounds, False) for name, bounds in EDITS.items()]
    for tag, name, (left, top, width, height), sizes_itself in expected:
        matches = [p for p in placed if p["tag"] == tag and p["name"] == name]
        if not matches:
            check(False, f"a {tag} named {name!r} is on the form")
            continue
        x, y, w, h = matches[0]["box"]
        check(abs(x - left) < 0.5 and abs(y - top) < 0.5
              and (abs(w - width) <= 2 and abs(h - height) <= 2 if sizes_itself
                   else abs(w - width) < 0.5 and abs(h - height) < 0.5),
              f"{tag} {name!r} at {left},{top} {width}x{height} (is {x:g},{y:g} {w:g}x{h:g})")
        if tag == "label" and not sizes_itself:
            check(matches[0]["text"][2] <= width,
                  f"the text of {name!r} stays whole in its {width} px box ({matches[0]['text']})")
    count = len(FORM.controls)
    check(len(placed) == count and all(p["face"] == DESIGNED_FACE for p in placed),
          f"{count} controls in the designed pixel face ({len(placed)}, {sorted(set(p['face'] for p in placed))})")
    check(not game.run("return document.querySelectorAll('canvas').length"), "no canvas")


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
    sizing = {name: label["bounds"][2:] for name, label in LABELS.items() if label["autoSize"]}
    fixed = {name: label["bounds"][2] for name, label in LABELS.items() if not label["autoSize"]}
    missed = [(name, [round(v, 1) for v in labels[name]["box"][2:]] if name in labels else None)
              for name, (width, height) in sizing.items()
              if name not in labels or abs(labels[name]["box"][2] - width) > FIT_TOLERANCE
              or abs(labels[name]["box"][3] - height) > FIT_TOLERANCE]
    check(not missed, f"{where}: every label that sizes itself within {FIT_TOLERANCE} px of its designed size "
                      f"({missed})")
    spilled = [(name, labels[name]["text"] if name in labels else None) for name, width in fixed.items()
               if name not in labels or labels[name]["text"][2] > width]
    check(not spilled, f"{where}: the text of every label of a fixed size stays in its box ({spilled})")
    cut = []
    if differs_unclipped(game, -1):
        names = game.run("return Array.from(document.querySelectorAll('.form label'), (l) => l.textContent.trim())")
        cut = [name for k, name in enumerate(names) if differs_unclipped(game, k)] or ["the labels together"]
    check(not cut, f"{where}: every label's text drawn whole, nothing of it lost to its box or the form's edge ({cut})")
    game.screenshot(f"desktop-ratio{RATIO}")


def focus_and_tab_order(game, where, grid=False):
    """With the grid, it is one tab stop after the ticket, and the arrow keys
    move among its numbers; it is entered again at the last one. The part
    below the form follows the form's stops: its choice and, while nothing
    runs, its start button."""
    order = TAB_ORDER
    if grid:
        at = order.index(TICKET[-1]) + 1
        order = order[:at] + [str(GRID[0])] + order[at:]
    if FORM.task:
        order = order + [FORM.task["choice"], FORM.task["start"]]
    check(game.wait(lambda: game.focused() == "Ziehung"), f"{where}: Ziehung has the first focus ({game.focused()!r})")
    visited = []
    for _ in order:
        game.browser.press("Tab")
        visited.append(game.focused())
    check(visited == order[1:] + order[:1], f"{where}: Tab goes round the form in the designed order ({visited})")
    game.browser.press("Shift+Tab")
    check(game.focused() == order[-1], f"{where}: Shift+Tab from Ziehung goes back round to {order[-1]}")
    if not grid:
        return
    for _ in range(len(order) - 1 - at):
        game.browser.press("Shift+Tab")
    moved = [game.focused()]
    for key in ("ArrowRight", "ArrowDown", "End", "ArrowLeft", "Home", "ArrowDown", "Tab", "Shift+Tab"):
        game.browser.press(key)
        moved.append(game.focused())
    check(moved == ["1", "2", "9", "49", "48", "1", "8", order[at + 1], "8"],
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
    wanted = [("LabelText", name) for name in LABELS]
    missing = [item for item in wanted if item not in named]
    check(not missing, f"the accessibility tree names every label ({missing or len(wanted)})")
    headings = {node["name"]: (node["description"] or "").strip() for node in nodes
                if node["name"] in HEADING_OF and node["role"] in ("textbox", "button")}
    check(headings == HEADING_OF, f"the engine names those controls by their own names, headings as descriptions "
                                  f"({headings})")
    said = json.dumps([[node[key] for key in ("name", "description", "value")] for node in nodes], ensure_ascii=False)
    leaked = sorted(set(match.group(0) for match in PROGRAMMER_NAMES.finditer(said)))
    check(not leaked, f"no programmer name reaches the accessibility tree ({leaked})")


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
