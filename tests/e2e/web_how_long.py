"""The browser test's topic "how long": the part below the form that plays
the ticket on against further draws ("Wie lange bis …?"): "3 Richtige" and
"1 Jahr" run and fill the table, the one by the mouse and the other by the
keyboard; "6 Richtige" for 3 7 9 15 25 44 comes after the draws that the
native test states; a bad ticket is refused with Ziehung's texts in
Ziehung's fields, and a letter with Ziehung's message; "Abbrechen" stops a
long run within 100 ms of the click; none of it touches the game, whose
first draw afterwards is still the desktop's and the only line traced; the
part for a thumb on phones; the auditor over it, filled, in light, dark and
forced colours."""
import time

from desktop import FIRST_TICKET, check
from web_game import DESKTOP, FORM, TICKET, Hand, audits, drew_first

TASK = FORM.task

GOALS = TASK["choices"]

SIX_RIGHT_DRAWS = 6_787_823  # for 3 7 9 15 25 44, as tests/commands/DrawCommandTest.cpp states

# A ticket whose first six right come after 44,678,740 draws: a run long enough to be stopped.
LONG_TICKET = ["38", "39", "40", "41", "42", "43"]

STOP_WITHIN = 100  # ms from the click on "Abbrechen" to the run having stopped

SMALLEST_TARGET = 44  # CSS px a finger needs

SMALLEST_TEXT = 14

# The part as shown: whether it runs (its stop button open), the progress
# (None where it is under way), the text beside it, the table's rows as
# texts, and the note.
SHOWN = """
const part = document.getElementById(arguments[0]), progress = part.querySelector('progress');
return {running: !part.querySelector('.stop').disabled, started: part.querySelector('.start').disabled,
        progress: progress.hasAttribute('value') ? progress.value : null,
        tally: part.querySelector('.tally').textContent,
        rows: Array.from(part.querySelectorAll('tbody tr'), (row) => Array.from(row.cells, (cell) => cell.textContent)),
        note: part.querySelector('[role=status]').textContent};"""

# Watches the note, which a start empties: the next text it gets is the new run's.
WATCH_NOTE = """
const note = document.getElementById(arguments[0]).querySelector('[role=status]');
window.lottoTestNote = '';
new MutationObserver((changes, observer) => {
  if (!note.textContent) return;
  window.lottoTestNote = note.textContent;
  observer.disconnect();
}).observe(note, {childList: true, characterData: true, subtree: true});"""

# Whether the start button hears a click from now on.
CLICKED = """
window.lottoTestClicked = false;
document.getElementById(arguments[0]).querySelector('.start').addEventListener(
  'click', () => { window.lottoTestClicked = true; }, {once: true});"""

# Watches the stop button: when it was clicked (the event's own time, which
# counts the wait for a slice under way), and when the run had stopped.
WATCH_STOP = """
const stop = document.getElementById(arguments[0]).querySelector('.stop');
const seen = window.lottoTestStop = {};
stop.addEventListener('click', (event) => { seen.clicked = event.timeStamp; }, {once: true});
new MutationObserver((changes, observer) => {
  if (!stop.disabled) return;
  seen.stopped = performance.now();
  observer.disconnect();
}).observe(stop, {attributes: true});"""

# The part's choice, buttons, texts and table on the screen: their boxes,
# the text sizes, and whether anything is cut or leaves the screen's width.
PART_ON_SCREEN = """
const part = document.getElementById(arguments[0]), scale = window.visualViewport ? visualViewport.scale : 1;
const box = (element) => { const r = element.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; };
return {innerWidth, part: box(part),
        targets: Array.from(part.querySelectorAll('select, button'), (e) => [e.textContent.slice(0, 20), box(e)]),
        texts: Array.from(part.querySelectorAll('h2, label, select, button, caption, th, td, p'),
                          (e) => [e.localName, parseFloat(getComputedStyle(e).fontSize) * scale]),
        cut: Array.from(part.querySelectorAll('*'), (e) => e).filter((e) =>
          e.scrollWidth > e.clientWidth + 1 && getComputedStyle(e).overflowX !== 'visible').map((e) => e.localName),
        widest: Math.max(...Array.from(part.querySelectorAll('*'), (e) => e.getBoundingClientRect().right))};"""


def count(text):
    """A count as the part shows it, grouped by points."""
    return int(text.replace(".", ""))


def shown(game):
    return game.run(SHOWN, TASK["id"])


def press(game, hand, name):
    """One of the part's buttons, by its name."""
    hand.press(game.browser.find([("button", name)])[0])


def choose(game, goal):
    """The goal chosen as the keyboard chooses it: from the first, down."""
    game.run("document.getElementById(arguments[0]).querySelector('select').focus()", TASK["id"])
    game.browser.press("Home")
    for _ in range(GOALS.index(goal)):
        game.browser.press("ArrowDown")


def play(game, hand, goal, by_keyboard=False):
    """GOAL chosen and played until done; what the part shows then."""
    choose(game, goal)
    game.run(WATCH_NOTE, TASK["id"])
    if by_keyboard:
        game.browser.press("Tab")
        check(game.focused() == TASK["start"], f"Tab goes from the choice to {TASK['start']} ({game.focused()!r})")
        game.run(CLICKED, TASK["id"])
        game.browser.press("Enter")
        if not game.run("return window.lottoTestClicked"):
            game.leave_out("a button pressed by Enter", "the driver's keys press no button in this engine")
            press(game, hand, TASK["start"])
    else:
        press(game, hand, TASK["start"])
    game.wait(lambda: game.run("return window.lottoTestNote"))
    return shown(game)


def check_run(game, where, goal, draws, note):
    """A run done: the draws and their years, the progress full, every row
    with a count seen and one expected, the counts seen adding up to the
    draws, and the summary in the part's status element."""
    seen = shown(game)
    check(not seen["running"] and not seen["started"] and seen["progress"] == 1
          and seen["tally"].startswith(f"{draws:,} Ziehung".replace(",", ".")),
          f"{where}: {goal} done after {draws:,} draws, the progress full ({seen['tally']!r}, {seen['progress']})")
    check([row[0] for row in seen["rows"]] == TASK["rows"] and all(len(row) == len(TASK["columns"]) and all(row) for row in seen["rows"])
          and sum(count(row[1]) for row in seen["rows"]) == draws,
          f"{where}: each combination seen beside expected, the seen adding up to the draws ({seen['rows']})")
    check(seen["note"] == note, f"{where}: the summary said politely ({seen['note']!r})")


def refused(game, hand, where):
    """A bad ticket is refused as Ziehung refuses it: the same texts in the
    same fields, the same message for a letter, and nothing played."""
    before = shown(game)
    hand.button('"Beides"')
    press(game, hand, TASK["start"])
    findings = game.read("Fehler: Bereich", "Fehler: doppelte Zahl")
    game.wait(lambda: shown(game)["note"].startswith("Nicht gespielt"))
    after = shown(game)
    hand.button("Ziehung")
    check(findings == ["Zahl nicht im Tippscheinbereich", "Doppelte Zahl"]
          and game.read("Fehler: Bereich", "Fehler: doppelte Zahl") == findings,
          f"{where}: a bad ticket gets Ziehung's findings in Ziehung's fields ({findings})")
    check(after["note"] == "Nicht gespielt: Zahl nicht im Tippscheinbereich. Doppelte Zahl."
          and after["tally"] == before["tally"] and after["rows"] == before["rows"] and not after["running"],
          f"{where}: and nothing is played, which the part says ({after['note']!r})")
    hand.fill(TICKET[2], "x")
    messages = []
    for button in (TASK["start"], "Ziehung"):
        press(game, hand, button)
        game.wait(game.dialog)
        messages.append((game.dialog() or {}).get("text"))
        game.browser.press("Enter")
        game.wait(lambda: not game.dialog())
    check(messages[0] and messages[0] == messages[1] and not shown(game)["running"],
          f"{where}: a letter gets Ziehung's message, and nothing is played ({messages})")


def stopped_in_time(game, hand, where):
    """A long run stopped: within 100 ms of the click, measured in the page,
    and stopped for good, the summary saying so."""
    for name, number in zip(TICKET, LONG_TICKET):
        hand.fill(name, number)
    choose(game, GOALS[0])
    game.run(WATCH_STOP, TASK["id"])
    start, stop = game.browser.find([("button", TASK["start"]), ("button", TASK["stop"])])
    hand.press(start)
    check(game.wait(lambda: shown(game)["running"] and shown(game)["tally"]), f"{where}: a long run runs")
    hand.press(stop)
    game.wait(lambda: game.run("return window.lottoTestStop.stopped"))
    times = game.run("return window.lottoTestStop")
    took = times.get("stopped", 0) - times.get("clicked", 0)
    print(f"     {where}: stopped {took:.1f} ms after the click", flush=True)
    check(times.get("clicked") and 0 <= took < STOP_WITHIN, f"{where}: Abbrechen stops the run within "
                                                            f"{STOP_WITHIN} ms ({times})")
    seen = shown(game)
    game.run("return new Promise((frame) => requestAnimationFrame(() => requestAnimationFrame(frame)))")
    check(shown(game)["tally"] == seen["tally"] and not seen["running"] and seen["note"].startswith("Abgebrochen nach"),
          f"{where}: and stays stopped, said so ({seen['note']!r})")


def how_long(game):
    """The part in the designed layout, by mouse and keyboard."""
    where = "Wie lange bis …?"
    game.browser.set_viewport(*DESKTOP)
    check(game.load(), f"{where}: the form shows")
    hand = Hand(game, touch=False)
    game.collect_console()
    game.trace.clear()
    for name, number in zip(TICKET, FIRST_TICKET):
        hand.fill(name, number)
    play(game, hand, "3 Richtige")
    check_run(game, where, "3 Richtige", 95,
              "3 Richtige nach 95 Ziehungen (47,5 Wochen); im Mittel dauert es 61 Ziehungen.")
    play(game, hand, "1 Jahr", by_keyboard=True)
    check_run(game, where, "1 Jahr", 104, "1 Jahr, 104 Ziehungen: 1 Gewinn (3 Richtige) bei 1,9 erwarteten.")
    check(game.focused() == TASK["start"], f"{where}: the focus back on {TASK['start']} ({game.focused()!r})")
    started = time.monotonic()
    play(game, hand, "6 Richtige")
    print(f"     {where}: 6 Richtige in {time.monotonic() - started:.2f} s", flush=True)
    check_run(game, where, "6 Richtige", SIX_RIGHT_DRAWS, "6 Richtige nach 6.787.823 Ziehungen (65.268 Jahre); "
                                                          "im Mittel dauert es 13.983.816 Ziehungen.")
    game.screenshot("how-long-done")
    refused(game, hand, where)
    stopped_in_time(game, hand, where)
    for name, number in zip(TICKET, FIRST_TICKET):
        hand.fill(name, number)
    hand.button("Ziehung")
    drew_first(game, f"{where}: after the runs")

    def one_year():
        for name, number in zip(TICKET, FIRST_TICKET):
            hand.fill(name, number)
        play(game, hand, "1 Jahr")
    audits(game, "the part Wie lange bis …?", "how-long", one_year)


def for_a_thumb(game, hand, where):
    """The part in the touch layout: a run by taps, every target at least
    44x44, every text at least 14 px, nothing cut or beyond the screen."""
    for name, number in zip(TICKET, FIRST_TICKET):
        hand.fill(name, number)
    seen = play(game, hand, "3 Richtige")
    check(seen["note"].startswith("3 Richtige nach 95 Ziehungen"), f"{where}: 3 Richtige played ({seen['note']!r})")
    on_screen = game.run(PART_ON_SCREEN, TASK["id"])
    small = [(name, round(w), round(h)) for name, (_, _, w, h) in on_screen["targets"]
             if w < SMALLEST_TARGET or h < SMALLEST_TARGET]
    check(len(on_screen["targets"]) == 3 and not small, f"{where}: the part's choice and buttons at least 44x44 "
                                                        f"({small or on_screen['targets']})")
    tiny = [text for text in on_screen["texts"] if text[1] < SMALLEST_TEXT]
    check(not tiny, f"{where}: every text of the part at least 14 px ({tiny})")
    check(not on_screen["cut"] and on_screen["widest"] <= on_screen["innerWidth"],
          f"{where}: nothing of the part cut or beyond the screen ({on_screen['cut']}, {on_screen['widest']})")
    game.run("document.getElementById(arguments[0]).scrollIntoView()", TASK["id"])
    game.screenshot(f"how-long-{on_screen['innerWidth']}")


def in_the_fallback(game, where):
    """The program built as JavaScript plays the ticket on too (the ticket
    that the first draw left)."""
    seen = play(game, Hand(game, touch=False), "3 Richtige")
    check(seen["note"].startswith("3 Richtige nach 95 Ziehungen"), f"{where}: it plays the ticket on ({seen['note']!r})")
