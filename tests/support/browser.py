"""One way to work a page in any of the three browser engines, as a person
would: find a control by its role and accessible name, click or tap it, type,
press keys, read a field, and what a test needs besides (a script in the page,
the console, a screenshot, the screen's size and colours). Each engine's driver
sits behind this interface in a module of its own; what an engine cannot do
it says in `can`, and the test leaves that check out there.

Nothing here judges the page: that is the test's part."""
import importlib

# What an engine may be able to do beyond the common interface.
TOUCH = "touch"                  # a coarse primary pointer and taps with touch events
DARK = "dark"                    # the system's dark colours
FORCED_COLORS = "forced colours"  # the system's forced colours (high contrast)
CONSOLE = "console"              # the console as the engine itself reports it, from the first line of a load
ACCESSIBILITY_TREE = "accessibility tree"  # the whole tree as assistive technology reads it
PIXEL_RATIO = "pixel ratio"      # a screen of more than one device pixel to the CSS pixel, drawn at that ratio
NO_SCRIPTS = "no scripts"        # pages loaded with JavaScript turned off
NO_WASM = "no WebAssembly"       # pages loaded without WebAssembly, as in Lockdown Mode
HOLD = "hold a request"          # the requests for a file held back until released
STOP_WORKERS = "stop workers"    # the service workers stopped, as a browser stops an idle one

ENGINES = {"chromium": "browser_selenium.Chromium", "firefox": "browser_firefox.Firefox",
           "webkit": "browser_selenium.WebKit"}

# The element brought into view once the page's scroll position has held
# for two frames.
SCROLLED_INTO_VIEW = """
const element = arguments[0];
return new Promise((done) => {
  let at = null, still = 0;
  const frame = () => {
    const now = scrollX + ',' + scrollY;
    still = now === at ? still + 1 : 0;
    at = now;
    if (still < 2) return requestAnimationFrame(frame);
    element.scrollIntoView({block: 'nearest', inline: 'nearest', behavior: 'instant'});
    done(true);
  };
  requestAnimationFrame(frame);
});"""

# WebDriver's codes of the keys that the tests press.
KEYS = {"Tab": "\ue004", "Enter": "\ue007", "Escape": "\ue00c", "Backspace": "\ue003",
        "Shift": "\ue008", "Control": "\ue009", "End": "\ue010", "Home": "\ue011",
        "ArrowLeft": "\ue012", "ArrowUp": "\ue013", "ArrowRight": "\ue014", "ArrowDown": "\ue015"}


class Unavailable(Exception):
    """This host cannot start the engine; the message says why, in one line."""


class ScriptError(Exception):
    """A script run in the page threw."""


def key_strokes(combination):
    """("down" | "up", code) for a combination such as "Shift+Tab" or "Control+a"."""
    codes = [KEYS.get(key, key) for key in combination.split("+")]
    return [("down", code) for code in codes] + [("up", code) for code in reversed(codes)]


def text_strokes(text):
    return [(kind, character) for character in text for kind in ("down", "up")]


# A script body of the test, run as a function of its arguments; what it
# returns (or what its promise gives) comes back through JSON.
def wrapped(body):
    return ("(function () { return Promise.resolve((function () {" + body + "\n}).apply(null, arguments))"
            ".then((value) => JSON.stringify(value === undefined ? null : value)); })")


class Browser:
    """The interface that every engine's adapter gives. Element handles are
    opaque: they come from find() and go back into run(), click() and tap()."""

    engine = ""
    can = frozenset()

    def open(self, url):
        """Navigates and returns once the document has loaded."""
        raise NotImplementedError

    def run(self, body, *args):
        """Runs a function body in the page with `arguments`; gives its JSON result."""
        raise NotImplementedError

    def find(self, wanted):
        """Handles of the elements with these (role, accessible name) pairs, as
        the engine's own accessibility computes them; None for each not found."""
        raise NotImplementedError

    def click(self, element):
        """A mouse click at the element's centre, wherever it is covered or not."""
        raise NotImplementedError

    def tap(self, element):
        """A finger's tap at the element's centre (only where TOUCH is in can)."""
        raise NotImplementedError

    def type_text(self, text):
        """Key strokes for the text, into whatever has the focus."""
        self.press_strokes(text_strokes(text))

    def insert_text(self, text):
        """The text as a phone's on-screen keyboard commits it to the focus."""
        self.type_text(text)

    def press(self, combination):
        self.press_strokes(key_strokes(combination))

    def press_strokes(self, strokes):
        raise NotImplementedError

    def console(self):
        """The console's lines since the last call, as dicts of level ("log",
        "error", ...) and text."""
        raise NotImplementedError

    def screenshot(self, path):
        raise NotImplementedError

    def set_viewport(self, width, height, touch=False, ratio=1):
        """The page's viewport in CSS pixels, on a screen of RATIO device
        pixels to the CSS pixel (other than 1 only where PIXEL_RATIO is in
        can); with touch, a phone's: three device pixels to the CSS pixel, a
        coarse pointer and touch events."""
        raise NotImplementedError

    def emulate(self, scheme="light", forced=False):
        """The system's colours as the page sees them (DARK, FORCED_COLORS in can)."""
        raise NotImplementedError

    def accessibility_tree(self):
        """Every node of the tree as dicts of role, name, description and value,
        with childIds (only where ACCESSIBILITY_TREE is in can)."""
        raise NotImplementedError

    def allow(self, scripts=True, wasm=True):
        """Whether the pages loaded from now on run JavaScript (NO_SCRIPTS in
        can) and have WebAssembly (NO_WASM in can)."""
        if not (scripts and wasm):
            raise NotImplementedError

    def hold(self, pattern):
        """Holds back every request whose address matches the pattern (* for
        any text) until release() (only where HOLD is in can)."""
        raise NotImplementedError

    def release(self):
        raise NotImplementedError

    def stop_workers(self):
        """Stops every service worker, which forgets all it kept in memory
        (only where STOP_WORKERS is in can)."""
        raise NotImplementedError

    def text(self):
        """The page's text as it shows, without running a script in it."""
        raise NotImplementedError

    def quit(self):
        raise NotImplementedError

    # For adapters: brings the element into view before a pointer goes to it,
    # once the page has stopped scrolling on its own (a smooth scroll would
    # move the element from under the pointer).
    def scroll_into_view(self, element):
        self.run(SCROLLED_INTO_VIEW, element)

    def centre(self, element):
        self.scroll_into_view(element)
        return self.run("const r = arguments[0].getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]",
                        element)


def start(engine, profile):
    """The engine's browser, started with its own profile in that folder, or
    Unavailable where the host cannot start it."""
    module, name = ENGINES[engine].split(".")
    return getattr(importlib.import_module(module), name)(profile)
