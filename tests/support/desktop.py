"""Plays a window of the program as a person would: mouse clicks at the designed
places of its controls, typing, and reading fields back through the clipboard;
shared by the end-to-end tests of every build.

Nothing here waits for a fixed time. The program handles the X events of one
client in the order they were sent, so an action needs no pause before the
next; what a test wants to see it waits for (waiting.py)."""
import functools
import itertools
import os
import subprocess
import tempfile

from form_picture import Form
from waiting import PATIENCE, wait_for

# The desktop entry's name, which the window carries too (Wayland app id, X class).
DESKTOP_ID = "io.github.lotto_6_aus_49.lotto"


@functools.cache
def form():
    """The form as the build describes it from its table, read when a test
    first asks for one of its controls: a test that only checks (check,
    summary) needs no build."""
    return Form()


def controls():
    """Designed client positions (left, top, width, height) of the named controls but labels."""
    return {control["name"]: tuple(control["bounds"]) for control in form().of_kind("edit", "button", "closeButton")}


def first_draw_hits():
    """The number fields that show the first draw's hits, 3 and 44, on the ticket and in the draw:
    the first and the last of the sorted ticket, the first and the sixth of the draw."""
    return [form().ticket["fields"][k] for k in (0, 5)] + [form().ticket["draw"][k] for k in (0, 5)]


# What the tests take from the form, as this module's constants.
FROM_FORM = {
    "FORM": form,
    "CONTROLS": controls,
    "EDITS_IN_TAB_ORDER": lambda: [control["name"] for control in form().tab_stops() if control["kind"] == "edit"],
    "TICKET": lambda: form().ticket["fields"],  # in the order they are filled
    "DRAW": lambda: form().ticket["draw"],
    "NUMBER_FIELDS": lambda: form().ticket["fields"] + form().ticket["draw"],
    "FIRST_DRAW_HITS": first_draw_hits,
    "PLAY": lambda: form().ticket["play"],  # the button that plays the ticket
    "OUTCOME": lambda: form().ticket["outcome"]["field"],  # the field whose description is the result in words
    "CLOSE": lambda: form().of_kind("closeButton")[0]["name"],
}


def __getattr__(name):
    if name in FROM_FORM:
        return FROM_FORM[name]()
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


# How the desktop draws a field that shows a main number's hit (ui/MarkColours.h):
# its frame over the field's left edge, its ground inside, right of the number.
HIT_FRAME, HIT_GROUND = "8A5A00", "FFE08A"

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def summary():
    """Prints the outcome and gives the exit code."""
    print(f"{len(failures)} failed" if failures else "all checks passed")
    return 1 if failures else 0


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def windows_named(title):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                            capture_output=True, text=True)
    return result.stdout.split()


# X's focus mode in which the keyboard follows the pointer; Wine keeps it so
# without a window manager and hands keys on to its own active window.
POINTER_ROOT = "1"


def keyboard_window():
    """The top-level window that has the keyboard, or POINTER_ROOT."""
    result = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True)
    if result.returncode == 0:
        return result.stdout.strip()
    result = subprocess.run(["xdotool", "getwindowfocus", "-f"], capture_output=True, text=True)
    return result.stdout.strip() or None


def answer_message_box(key="Return", title="lotto"):
    """Presses the key in the message box of that title once the box is shown
    and has the keyboard, and tells whether the box then went away. A key sent
    earlier would reach the window under the box, which takes none."""
    def ready():
        boxes = windows_named(title)
        return boxes and keyboard_window() in (*boxes, POINTER_ROOT)
    if not wait_for(ready):
        return False
    xdotool("key", key)
    return wait_for(lambda: not windows_named(title))


def window_geometry(window):
    """Position and size of an X window as (left, top, width, height)."""
    values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", window).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


# How long one ask for the clipboard may go unanswered before it is asked again.
UNANSWERED_ASK = 10  # seconds


class Player:
    """Works the window whose client area starts at (client_left, client_top) on the screen."""

    _reads = itertools.count()

    def __init__(self, client_left, client_top):
        self.client_left = client_left
        self.client_top = client_top

    def click(self, name):
        left, top, width, height = controls()[name]
        xdotool("mousemove", str(self.client_left + left + width // 2),
                str(self.client_top + top + height // 2), "mousedown", "1", "mouseup", "1")

    def marked(self, names):
        """Those of the named fields that show a main number's hit, as one
        picture of the screen shows them (ImageMagick's import)."""
        points = []
        for name in names:
            left, top, width, height = controls()[name]
            middle = self.client_top + top + height // 2
            points += [(self.client_left + left, middle), (self.client_left + left + width - 4, middle)]
        with tempfile.TemporaryDirectory(prefix="lotto-screen-") as folder:
            picture = os.path.join(folder, "screen.png")
            subprocess.run(["import", "-window", "root", picture], check=True, capture_output=True)
            seen = subprocess.run(["convert", picture, "-format", " ".join(f"%[hex:p{{{x},{y}}}]" for x, y in points),
                                   "info:"], check=True, capture_output=True, text=True).stdout.split()
        return [name for k, name in enumerate(names) if seen[2 * k:2 * k + 2] == [HIT_FRAME, HIT_GROUND]]

    def type_into(self, name, text):
        self.click(name)
        xdotool("key", "ctrl+a", "BackSpace")
        xdotool("type", "--delay", "5", text)

    def read(self, name, message_box_title=None):
        """The field's text, copied to the clipboard as a person would. A mark
        of this read's own is typed behind the text for the copy and taken away
        again, so that an empty field copies something too, and an earlier
        copy never passes for this one. Everything sent before is then handled
        too: the read is also the test's way to wait for the program. Where an
        earlier action may have opened a message box of that title, the box
        takes the keys and the read ends with None once it is seen.

        The test never takes the clipboard itself: a program asked to take it
        from another owner may be turned down by the X server (its request
        carries an older time than the owner's), and would then never copy."""
        mark = f"#{next(self._reads)}"
        self.click(name)
        xdotool("key", "--delay", "1", "End", "numbersign", *mark[1:], "ctrl+a", "ctrl+c", "End",
                *["BackSpace"] * len(mark))
        copied = []

        def answered():
            if message_box_title and windows_named(message_box_title):
                return True
            # A request for the clipboard that reaches its owner just as another
            # client takes it over may never be answered. Such an ask is given
            # up and asked again, within the one patience of the whole read.
            result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True,
                                    timeout=UNANSWERED_ASK)
            if result.returncode != 0 or not result.stdout.endswith(mark):
                return False
            copied.append(result.stdout.removesuffix(mark))
            return True

        if not wait_for(answered, poll=0.01, tolerate=subprocess.TimeoutExpired):
            raise RuntimeError(f"the program did not copy {name} within {PATIENCE} s")
        return copied[0] if copied else None


# The first draw of a fresh start for a typed ticket: the generator is never seeded.
FIRST_TICKET = ["44", "3", "25", "15", "07", "9"]
FIRST_DRAW = ["3", "16", "21", "36", "37", "44", "10"]
FIRST_TRACE = "4436163732110"
FIRST_RESULT = "Kein Gewinn"  # two right, 3 and 44: said after the name of the ticket's outcome field


def play_first_draw(player, check_marks=False):
    """Types FIRST_TICKET, presses "Ziehung" and gives the seven drawn numbers
    as shown. With check_marks, first waits for the marks of exactly the hits
    to be seen: reading a field types into it, which takes its mark away."""
    ticket = form().ticket
    for name, number in zip(ticket["fields"], FIRST_TICKET):
        player.type_into(name, number)
    player.click(ticket["play"])
    if check_marks:
        seen = []

        def hits_shown():
            seen[:] = player.marked(ticket["fields"] + ticket["draw"])
            return seen == first_draw_hits()
        check(wait_for(hits_shown), f"the fields of 3 and 44, on the ticket and in the draw, show that they hit ({seen})")
    return [player.read(name) for name in ticket["draw"]]


def close(lotto, player, what=None):
    """Presses "Schließen": the program must end with exit code 0."""
    player.click(form().of_kind("closeButton")[0]["name"])
    code = lotto.wait(timeout=PATIENCE)
    check(code == 0, f"{what + ': ' if what else ''}Schließen ends the program with exit code 0 (got {code})")


def close_after_first_draw(lotto, player):
    """Closes the program after play_first_draw: it must end with exit code 0,
    having written the draw's trace to its standard output (a pipe)."""
    close(lotto, player)
    trace = lotto.stdout.read().decode()
    check(trace == FIRST_TRACE, f"the draw's trace reaches standard output ({trace!r})")
