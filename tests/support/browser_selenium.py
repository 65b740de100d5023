"""Chromium and WebKit behind the browser interface, through their WebDriver
servers (Debian's chromedriver; WebKitWebDriver with MiniBrowser) and the
machine's Selenium. Chromium's DevTools protocol adds what WebDriver lacks:
touch, the colours, the accessibility tree. WebKit has none of that here: it
runs on a virtual X server of its own, takes dark colours and a scale of more
than one device pixel to the CSS pixel (GDK_SCALE) only when started so, and
reads the console through a hook in the page."""
import base64
import json
import os
import shutil

from browser import (ACCESSIBILITY_TREE, CONSOLE, DARK, FORCED_COLORS, HOLD, NO_SCRIPTS, NO_WASM, PIXEL_RATIO,
                     STOP_WORKERS, TOUCH, Browser, ScriptError, Unavailable, wrapped)
from waiting import PATIENCE

try:
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
except ImportError as error:  # the interface stays importable; start() says what is missing
    webdriver = None
    IMPORT_ERROR = error

ASYNC = ("const done = arguments[arguments.length - 1];"
         "(%s).apply(null, Array.prototype.slice.call(arguments, 0, -1))"
         ".then(done, (e) => done({error: String(e && e.stack || e)}));")

# The roles that the tests look for, and the elements that may carry them.
NAMED = "button, input, dialog"
# A guess at each such element's name, in one script: which ones to ask the
# engine about first.
NAME_GUESSES = ("return Array.from(arguments, (e) => e.getAttribute('aria-label') || "
                "(e.labels && e.labels.length ? e.labels[0].textContent : e.textContent).trim())")


def need_selenium():
    if webdriver is None:
        raise Unavailable(f"Selenium is not installed for this Python ({IMPORT_ERROR})")


class SeleniumBrowser(Browser):
    driver = None

    def _started(self, driver):
        self.driver = driver
        driver.set_script_timeout(PATIENCE)
        driver.set_page_load_timeout(PATIENCE)

    def open(self, url):
        self.driver.get(url)

    def run(self, body, *args):
        result = self.driver.execute_async_script(ASYNC % wrapped(body), *args)
        if isinstance(result, dict):
            raise ScriptError(result.get("error"))
        return json.loads(result)

    def find(self, wanted):
        """One sweep over the page's named elements, asking the engine for each
        one's role and name: first those whose name seems to be wanted, which
        spares a page of many controls most of the questions."""
        found = {}
        missing = set(wanted)
        elements = self.driver.find_elements("css selector", NAMED)
        names = {name for _, name in wanted}
        guesses = self.run(NAME_GUESSES, *elements) if elements else []
        elements = [element for _, element in sorted(zip((guess not in names for guess in guesses), elements),
                                                     key=lambda pair: pair[0])]
        for element in elements:
            if not missing:
                break
            try:
                key = (element.aria_role, element.accessible_name)
            except WebDriverException:  # WebKit names no element that is not rendered
                continue
            if key in missing:
                found[key] = element
                missing.discard(key)
        return [found.get(key) for key in wanted]

    def click(self, element):
        # At the place on the screen, as a person clicks: WebKit's driver
        # refuses an element that a modal message covers.
        x, y = self.centre(element)
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(x), int(y)).click()
        actions.perform()

    def press_strokes(self, strokes):
        chain = ActionChains(self.driver)
        for kind, code in strokes:
            (chain.key_down if kind == "down" else chain.key_up)(code)
        chain.perform()

    def screenshot(self, path):
        with open(path, "wb") as file:
            file.write(base64.b64decode(self.driver.get_screenshot_as_base64()))

    def text(self):
        return self.driver.find_element("tag name", "body").text

    def quit(self):
        if self.driver:
            try:
                self.driver.quit()
            except Exception:  # the browser has already gone
                pass
            self.driver = None


class Chromium(SeleniumBrowser):
    engine = "chromium"
    can = frozenset({TOUCH, DARK, FORCED_COLORS, CONSOLE, ACCESSIBILITY_TREE, PIXEL_RATIO, NO_SCRIPTS, NO_WASM, HOLD,
                     STOP_WORKERS})
    without_wasm = None  # the script that takes WebAssembly away from each new page

    def __init__(self, profile):
        need_selenium()
        from selenium.webdriver.chrome.service import Service
        driver_path = shutil.which("chromedriver") or "/usr/bin/chromedriver"
        if not os.path.exists(driver_path):
            raise Unavailable("chromedriver is not installed (Debian's chromium-driver)")
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=1000,760", "--force-device-scale-factor=1", f"--user-data-dir={profile}"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        try:
            self._started(webdriver.Chrome(service=Service(driver_path), options=options))
        except WebDriverException as error:
            raise Unavailable(f"Chromium cannot start: {error.msg or error}")

    def cdp(self, command, parameters=None):
        return self.driver.execute_cdp_cmd(command, parameters or {})

    def tap(self, element):
        x, y = self.centre(element)
        self.cdp("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
        self.cdp("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def insert_text(self, text):
        self.cdp("Input.insertText", {"text": text})

    def console(self):
        # A line comes as "URL LINE:COLUMN TEXT", a string quoted as JSON.
        lines = []
        for entry in self.driver.get_log("browser"):
            said = entry["message"].split(" ", 2)[-1]
            if said.startswith('"') and said.endswith('"'):
                said = said[1:-1]
            lines.append({"level": {"SEVERE": "error", "WARNING": "warn"}.get(entry["level"], "log"), "text": said})
        return lines

    def set_viewport(self, width, height, touch=False, ratio=1):
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": 3 if touch else ratio, "mobile": touch})
        self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5 if touch else 1})

    def emulate(self, scheme="light", forced=False):
        self.cdp("Emulation.setEmulatedMedia", {"features": [
            {"name": "prefers-color-scheme", "value": scheme},
            {"name": "forced-colors", "value": "active" if forced else "none"}]})

    def allow(self, scripts=True, wasm=True):
        self.cdp("Emulation.setScriptExecutionDisabled", {"value": not scripts})
        if self.without_wasm and wasm:
            self.cdp("Page.removeScriptToEvaluateOnNewDocument", {"identifier": self.without_wasm})
            self.without_wasm = None
        elif not wasm and not self.without_wasm:
            # Chromium's flag --noexpose_wasm no longer takes it away.
            self.without_wasm = self.cdp("Page.addScriptToEvaluateOnNewDocument",
                                         {"source": "delete globalThis.WebAssembly;"})["identifier"]

    def hold(self, pattern):
        self.cdp("Fetch.enable", {"patterns": [{"urlPattern": pattern, "requestStage": "Request"}]})

    def release(self):
        self.cdp("Fetch.disable")  # lets what it held go on

    def stop_workers(self):
        self.cdp("ServiceWorker.enable")
        self.cdp("ServiceWorker.stopAllWorkers")

    def accessibility_tree(self):
        value = lambda node, key: node.get(key, {}).get("value")  # noqa: E731
        return [{"id": node["nodeId"], "role": value(node, "role"), "name": value(node, "name"),
                 "description": value(node, "description"), "value": value(node, "value"),
                 "childIds": node.get("childIds", [])}
                for node in self.cdp("Accessibility.getFullAXTree")["nodes"]]


MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
WEBKIT_DRIVER = "/usr/bin/WebKitWebDriver"

# The console's lines, kept by the page itself from the moment the hook is set.
CONSOLE_HOOK = """
if (!window.lottoTestConsole) {
  const kept = window.lottoTestConsole = [];
  for (const level of ['log', 'info', 'warn', 'error']) {
    const original = console[level];
    console[level] = function (...parts) {
      kept.push({level: level === 'info' ? 'log' : level, text: parts.map(String).join(' ')});
      return original.apply(this, parts);
    };
  }
  addEventListener('error', (event) => kept.push({level: 'error', text: String(event.message)}));
  addEventListener('unhandledrejection', (event) => kept.push({level: 'error', text: String(event.reason)}));
}
return window.lottoTestConsole.splice(0);"""


class WebKit(SeleniumBrowser):
    engine = "webkit"
    can = frozenset({DARK, PIXEL_RATIO})

    def __init__(self, profile):
        need_selenium()
        for path, package in ((WEBKIT_DRIVER, "webkit2gtk-driver"), (MINIBROWSER, "libwebkit2gtk-4.1-0")):
            if not os.path.exists(path):
                raise Unavailable(f"{path} is missing (Debian's {package})")
        if not shutil.which("Xvfb"):
            raise Unavailable("Xvfb is missing (Debian's xvfb): WebKit has no headless mode here")
        from xserver import XServer
        try:  # room for the desktop's window at two device pixels to the CSS pixel
            self.xserver = XServer(width=2560, height=2048)
        except RuntimeError as error:
            raise Unavailable(error)
        os.environ["DISPLAY"] = self.xserver.display
        os.environ.pop("WAYLAND_DISPLAY", None)
        self.scheme = "light"
        self.ratio = 1
        self.viewport = None
        self._start()

    def _start(self):
        # GTK's scale is its screen's whole device pixels to the pixel, read when it starts.
        os.environ["GDK_SCALE"] = str(self.ratio)
        from selenium.webdriver.webkitgtk.options import Options
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        if self.scheme == "dark":
            options.add_argument("--dark-mode")
        try:
            self._started(webdriver.WebKitGTK(executable_path=WEBKIT_DRIVER, options=options))
        except WebDriverException as error:
            self.xserver.stop()
            raise Unavailable(f"WebKit cannot start: {error.msg or error}")
        self.driver.set_window_rect(x=0, y=0, width=1000, height=760)
        if self.viewport:
            self._size_window(*self.viewport)

    def _restart(self):
        SeleniumBrowser.quit(self)
        self._start()

    def open(self, url):
        super().open(url)
        self.run(CONSOLE_HOOK)

    def console(self):
        return self.run(CONSOLE_HOOK)

    def tap(self, element):
        raise NotImplementedError("WebKitWebDriver turns touch actions into mouse events")

    def set_viewport(self, width, height, touch=False, ratio=1):
        """MiniBrowser takes its scale from GDK_SCALE when it starts: a change starts it again."""
        self.viewport = (width, height)
        if ratio != self.ratio:
            self.ratio = ratio
            self._restart()
        else:
            self._size_window(width, height)

    def _size_window(self, width, height):
        # The window is set so that its page gets the size asked for; GTK keeps
        # it at least as wide as MiniBrowser's tool bar. The page may still
        # report its old size just after a change, so the window is corrected
        # from its own size a few times, never below one pixel.
        self.driver.set_window_size(width, height)
        for _ in range(3):
            inner = self.run("return [innerWidth, innerHeight]")
            if inner == [width, height]:
                break
            outer = self.driver.get_window_size()
            self.driver.set_window_size(max(1, outer["width"] + width - inner[0]),
                                        max(1, outer["height"] + height - inner[1]))

    def emulate(self, scheme="light", forced=False):
        """MiniBrowser takes its colour scheme from GTK when it starts: a change starts it again."""
        if forced:
            raise NotImplementedError("WebKitGTK has no forced colours to emulate")
        if scheme != self.scheme:
            self.scheme = scheme
            self._restart()

    def quit(self):
        SeleniumBrowser.quit(self)
        self.xserver.stop()
