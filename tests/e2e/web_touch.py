"""The browser test's topic "touch": the touch layout on phones, upright and
sideways, played by taps: sizes of targets and texts, nothing scrolling
sideways, overlapping or cut off; "Ziehung" in reach; Enter through the
ticket; the ticket's grid, its tab stop and arrow keys, a whole game by its
taps, and the result with its line in words in view; the message on a phone;
the part that plays the ticket on (web_how_long.py); the auditor there."""
from browser import TOUCH
from desktop import FIRST_RESULT, FIRST_TICKET, check
from web_game import (CONTROLS, DRAW, FIRST_DRAW, FIRST_DRAW_CHOSEN, FIRST_DRAW_GRID_MARKED, FIRST_DRAW_MARKED, GRID,
                      OUTCOME, TICKET, Hand, audit, audits, drew_first, whole_game)
from web_how_long import for_a_thumb
from web_layout import focus_and_tab_order

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

FULL_TICKET_SAID = "Schon 6 Zahlen gewählt: erst eine abwählen, dann 12 wählen."

# Each element of the form on screen: its box, the box its content has, its
# text's box, its scroll sizes and its text size as seen.
ON_SCREEN = """
const edges = (r) => [r.left, r.top, r.right, r.bottom];
const form = document.querySelector('.form');
const scale = window.visualViewport ? visualViewport.scale : 1;
return {touch: getComputedStyle(document.querySelector('.form')).display === 'grid', innerWidth, innerHeight,
        scrollWidth: document.documentElement.scrollWidth, form: edges(form.getBoundingClientRect()),
        numbers: Array.from(form.querySelectorAll('.number-grid button'), (n) => edges(n.getBoundingClientRect())),
        elements: Array.from(form.children).filter((element) => element.getClientRects().length).map((element) => {
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

# The longest text the draw writes into each of these fields, and the script
# that says which would not show it whole (the fields' texts kept as they were).
LONGEST_WRITTEN = [["EditZusatz", " + Zusatzzahl"], ["EditBereich", "Zahl nicht im Tippscheinbereich"],
                   ["EditDoppelt", "Doppelte Zahl"]]
TOO_NARROW = """
return arguments[0].filter(([id, text]) => {
  const field = document.getElementById(id), before = field.value;
  field.value = text;
  const narrow = field.scrollWidth > field.clientWidth + 1;
  field.value = before;
  return narrow;
}).map(([id]) => id);"""

# Where the elements (or those of the ids) are in the viewport, and its height.
IN_VIEW = """
return [innerHeight, ...Array.from(arguments, (e) => {
  const r = (typeof e === 'string' ? document.getElementById(e) : e).getBoundingClientRect(); return [r.top, r.bottom]; })];"""

MESSAGE_ON_SCREEN = """
const box = document.querySelector('dialog[open]').getBoundingClientRect();
const ok = document.querySelector('dialog[open] button').getBoundingClientRect();
return {box: [box.left, box.top, box.right, box.bottom], ok: [ok.width, ok.height], innerWidth, innerHeight};"""


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
    check(len(controls) == len(CONTROLS) and not small, f"{where}: every control at least 44x44 ({small})")
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
    narrow = game.run(TOO_NARROW, LONGEST_WRITTEN)
    check(not narrow, f"{where}: each result field shows the longest text a draw writes into it whole ({narrow})")


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
    said = game.run("return [document.querySelector('.number-grid .note').textContent, "
                    "document.querySelector('.frame > [role=status]').textContent]")
    check(said == [FULL_TICKET_SAID] * 2 and game.read(*TICKET) == typed,
          f"{where}: a seventh changes nothing, and says why on the screen and to a screen reader ({said})")
    hand.press(game.number(25))
    check(game.wait(lambda: game.read(TICKET[2]) == "") and not game.run("return document.querySelector('.number-grid .note').textContent"),
          f"{where}: a chosen number's tap empties its field, and the note goes")
    hand.press(game.number(25))
    hand.button("Ziehung")
    drew_first(game, where)
    check(game.marked() == FIRST_DRAW_MARKED and game.grid() == (FIRST_DRAW_CHOSEN, FIRST_DRAW_GRID_MARKED),
          f"{where}: 3 and 44 marked on both sides and in the grid ({game.marked()}, {game.grid()})")
    line = game.run("return document.getElementById(arguments[0]).textContent", OUTCOME["id"])
    check(line == FIRST_RESULT, f"{where}: the line of the result says {FIRST_RESULT!r} ({line!r})")
    shown = [game.control("textbox", name) for name in DRAW + ["Gewinn: Anzahl Treffer"]] + [OUTCOME["id"]]
    check(game.wait(lambda: above_play(game, shown)),
          f"{where}: the drawn numbers, the bonus number, the match count and the line of the result in view, "
          f"above Ziehung ({game.run(IN_VIEW, *shown, game.control('button', 'Ziehung'))})")


def message_on_phone(game, hand, where):
    hand.fill("Tipp 3", "x")
    hand.button("Ziehung")
    check(game.wait(game.dialog), f"{where}: a letter in a ticket field shows the message")
    line = game.run("return document.getElementById(arguments[0]).getClientRects().length", OUTCOME["id"])
    check(line == 0, f"{where}: a draw that ends at an error shows no line of a result")
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
        for_a_thumb(game, hand, where)
        ticket_in_reach(game, hand, where)
        if name in GRID_GAMES or not touch:
            grid_game(game, hand, where + (" by taps" if touch else ""))
        game.run("scrollTo(0, 0)")
        game.screenshot(name)
        if name == "phone-portrait" or not touch:
            audits(game, "the touch layout", name, lambda: play_by_grid(game, hand))
