"""Plays a window of the program as a person would: mouse clicks at the designed
places of its controls, typing, and reading fields back through the clipboard;
shared by the end-to-end tests of every build."""
import subprocess
import time

# Designed client positions (left, top, width, height) of the controls used by the tests.
CONTROLS = {
    "Button1": (416, 248, 249, 49), "Button3": (472, 80, 193, 25), "Button6": (472, 48, 193, 25),
    "Button7": (416, 312, 249, 33), "BitBtn1": (416, 408, 249, 25),
    "EditGewinn": (88, 328, 41, 21), "EditZusatz": (136, 328, 145, 21),
    "EditBereich": (88, 392, 193, 21), "EditDoppelt": (88, 416, 193, 21),
    **{f"Tipp{k + 1}": (96, 56 + 32 * k, 41, 21) for k in range(6)},
    **{f"Zahl{k + 1}": (232, 56 + 32 * k, 41, 21) for k in range(6)},
    "Zahl7": (320, 56, 41, 21),
}
# The seventeen edits in the designed tab order.
EDITS_IN_TAB_ORDER = ["EditGewinn", "EditZusatz", "EditBereich", "EditDoppelt",
                      *(f"Tipp{k + 1}" for k in range(6)), *(f"Zahl{k + 1}" for k in range(7))]

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


def window_geometry(window):
    """Position and size of an X window as (left, top, width, height)."""
    values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", window).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def wait_for(predicate, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    return False


class Player:
    """Works the window whose client area starts at (client_left, client_top) on the screen."""

    def __init__(self, client_left, client_top, settle=0.05):
        self.client_left = client_left
        self.client_top = client_top
        self.settle = settle

    def click(self, name):
        left, top, width, height = CONTROLS[name]
        xdotool("mousemove", str(self.client_left + left + width // 2),
                str(self.client_top + top + height // 2), "click", "1")
        time.sleep(self.settle)

    def type_into(self, name, text):
        self.click(name)
        xdotool("key", "ctrl+a", "BackSpace")
        xdotool("type", "--delay", "5", text)

    def read(self, name):
        # An empty field copies nothing, so the clipboard is emptied first.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input="", text=True, check=True,
                       stderr=subprocess.DEVNULL)
        self.click(name)
        xdotool("key", "ctrl+a", "ctrl+c")
        time.sleep(self.settle)
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True,
                                timeout=5)
        return result.stdout


# The first draw of a fresh start for a typed ticket: the generator is never seeded.
FIRST_TICKET = ["44", "3", "25", "15", "07", "9"]
FIRST_DRAW = ["3", "16", "21", "36", "37", "44", "10"]
FIRST_TRACE = "4436163732110"


def play_first_draw(player):
    """Types FIRST_TICKET, presses "Ziehung" and gives the seven drawn numbers as shown."""
    for k, number in enumerate(FIRST_TICKET):
        player.type_into(f"Tipp{k + 1}", number)
    player.click("Button1")
    return [player.read(f"Zahl{k + 1}") for k in range(7)]
