"""Firefox behind the browser interface, over WebDriver BiDi, which Firefox
speaks itself: no geckodriver, only a WebSocket (Debian's python3-websocket)
to the browser started headless with a profile of its own. BiDi finds
elements by role and accessible name, taps with touch events and keeps the
console. What it has no command for (a coarse pointer, the system's colours)
comes from Firefox's own preferences, set while it runs in the browser's
privileged scope, which the start allows. A screen of more device pixels to
the CSS pixel comes from them too, so that the whole browser draws at that
ratio as on such a screen; a phone's is BiDi's emulation."""
import base64
import json
import os
import re
import shutil
import subprocess

from browser import (CONSOLE, DARK, FORCED_COLORS, NO_SCRIPTS, NO_WASM, PIXEL_RATIO, TOUCH, Browser, ScriptError,
                     Unavailable, wrapped)
from waiting import PATIENCE, wait_for

FIREFOX = "firefox-esr"
LISTENING = re.compile(r"WebDriver BiDi listening on (ws://\S+)")

# Only what keeps a fresh profile quiet; Firefox sets what automation needs by itself.
PROFILE = """user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("general.smoothScroll", false);
"""
# Firefox's preferences for what the page asks the system: the primary
# pointer's capabilities (1: coarse), scroll bars that take no room (as a
# phone's), the colour scheme (0: dark, 1: light) and the page's colours
# (2: always the system's own), and the screen's device pixels to the CSS
# pixel, as text.
POINTER = "ui.primaryPointerCapabilities"
OVERLAY_SCROLLBARS = "ui.useOverlayScrollbars"
SCHEME = "layout.css.prefers-color-scheme.content-override"
COLOURS = "browser.display.document_color_use"
PIXELS_PER_PX = "layout.css.devPixelsPerPx"
SCRIPTS = "javascript.enabled"
WASM = "javascript.options.wasm"


class Node:
    """An element of the page, as BiDi shares it."""

    def __init__(self, shared_id):
        self.shared_id = shared_id


def argument(value):
    if isinstance(value, Node):
        return {"sharedId": value.shared_id}
    if value is None:
        return {"type": "null"}
    if isinstance(value, bool):
        return {"type": "boolean", "value": value}
    if isinstance(value, (int, float)):
        return {"type": "number", "value": value}
    if isinstance(value, str):
        return {"type": "string", "value": value}
    return {"type": "array", "value": [argument(item) for item in value]}


class Firefox(Browser):
    engine = "firefox"

    def __init__(self, profile):
        try:
            import websocket
        except ImportError as error:
            raise Unavailable(f"python3-websocket is not installed for this Python ({error})")
        binary = shutil.which(FIREFOX)
        if not binary:
            raise Unavailable(f"{FIREFOX} is not installed (Debian's firefox-esr)")
        with open(os.path.join(profile, "user.js"), "w") as file:
            file.write(PROFILE)
        self.log = open(os.path.join(profile, "firefox.log"), "w+")
        self.process = subprocess.Popen(
            [binary, "--headless", "--no-remote", "--profile", profile, "--remote-debugging-port", "0",
             "--remote-allow-system-access", "about:blank"],
            stdout=self.log, stderr=self.log, start_new_session=True)
        address = []

        def listening():
            self.log.seek(0)
            address.extend(LISTENING.findall(self.log.read()))
            return address or self.process.poll() is not None
        wait_for(listening)
        if not address:
            self.log.seek(0)
            self.stop_process()
            raise Unavailable(f"Firefox does not start its WebDriver BiDi: {self.log.read()[-300:]}")
        self.socket = websocket.create_connection(address[0] + "/session", timeout=PATIENCE, suppress_origin=True)
        self.sequence = 0
        self.events = []
        self.command("session.new", {"capabilities": {}})
        self.command("session.subscribe", {"events": ["log.entryAdded"]})
        self.context = self.command("browsingContext.getTree", {})["contexts"][0]["context"]
        chrome = self.command("browsingContext.getTree", {"moz:scope": "chrome"})["contexts"]
        self.chrome = chrome[0]["context"] if chrome else None
        self.can = frozenset({CONSOLE} | ({TOUCH, DARK, FORCED_COLORS, PIXEL_RATIO, NO_SCRIPTS, NO_WASM}
                                          if self.chrome else set()))
        self.set_viewport(1000, 760)

    def command(self, method, parameters):
        self.sequence += 1
        self.socket.send(json.dumps({"id": self.sequence, "method": method, "params": parameters}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("type") == "event":
                self.events.append(message)
            elif message.get("id") == self.sequence:
                if message["type"] == "error":
                    raise RuntimeError(f"{method}: {message['error']}: {message['message']}")
                return message["result"]

    def open(self, url):
        self.command("browsingContext.navigate", {"context": self.context, "url": url, "wait": "complete"})

    def run(self, body, *args):
        result = self.command("script.callFunction", {
            "functionDeclaration": wrapped(body), "arguments": [argument(value) for value in args],
            "target": {"context": self.context}, "awaitPromise": True, "resultOwnership": "none"})
        if result["type"] == "exception":
            raise ScriptError(result["exceptionDetails"]["text"])
        return json.loads(result["result"]["value"])

    def find(self, wanted):
        handles = []
        for role, name in wanted:
            nodes = self.command("browsingContext.locateNodes", {
                "context": self.context, "maxNodeCount": 1,
                "locator": {"type": "accessibility", "value": {"role": role, "name": name}}})["nodes"]
            handles.append(Node(nodes[0]["sharedId"]) if nodes else None)
        return handles

    def pointer(self, element, kind):
        self.scroll_into_view(element)
        self.command("input.performActions", {"context": self.context, "actions": [{
            "type": "pointer", "id": kind, "parameters": {"pointerType": kind}, "actions": [
                {"type": "pointerMove", "x": 0, "y": 0, "origin": {"type": "element", "element": argument(element)}},
                {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}]})

    def click(self, element):
        self.pointer(element, "mouse")

    def tap(self, element):
        self.pointer(element, "touch")

    def press_strokes(self, strokes):
        self.command("input.performActions", {"context": self.context, "actions": [{
            "type": "key", "id": "keyboard",
            "actions": [{"type": "keyDown" if kind == "down" else "keyUp", "value": code} for kind, code in strokes]}]})

    def console(self):
        self.command("session.status", {})  # the events sent so far arrive before its answer
        lines = [{"level": event["params"]["level"].replace("info", "log"), "text": event["params"]["text"]}
                 for event in self.events if event["method"] == "log.entryAdded"]
        self.events.clear()
        return lines

    def screenshot(self, path):
        data = self.command("browsingContext.captureScreenshot", {"context": self.context})["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))

    def preference(self, name, value):
        if value is None:
            script = f"Services.prefs.clearUserPref({json.dumps(name)})"
        elif isinstance(value, bool):
            script = f"Services.prefs.setBoolPref({json.dumps(name)}, {json.dumps(value)})"
        elif isinstance(value, str):
            script = f"Services.prefs.setStringPref({json.dumps(name)}, {json.dumps(value)})"
        else:
            script = f"Services.prefs.setIntPref({json.dumps(name)}, {int(value)})"
        self.command("script.evaluate", {"expression": script, "target": {"context": self.chrome},
                                         "awaitPromise": False})

    def set_viewport(self, width, height, touch=False, ratio=1):
        if self.chrome:
            self.preference(PIXELS_PER_PX, None if ratio == 1 else str(float(ratio)))
        self.command("browsingContext.setViewport", {"context": self.context, "viewport": {"width": width, "height": height},
                                                     "devicePixelRatio": 3 if touch else None})
        if self.chrome:
            self.preference(POINTER, 1 if touch else None)
            self.preference(OVERLAY_SCROLLBARS, 1 if touch else None)

    def allow(self, scripts=True, wasm=True):
        self.preference(SCRIPTS, None if scripts else False)
        self.preference(WASM, None if wasm else False)

    def text(self):
        nodes = self.command("browsingContext.locateNodes", {
            "context": self.context, "locator": {"type": "css", "value": "body"}})["nodes"]
        return " ".join(self.command("script.callFunction", {
            "functionDeclaration": "(body) => body.innerText", "arguments": [{"sharedId": nodes[0]["sharedId"]}],
            "target": {"context": self.context, "sandbox": "test"}, "awaitPromise": False})["result"]["value"].split())

    def emulate(self, scheme="light", forced=False):
        self.preference(SCHEME, {"dark": 0, "light": 1}[scheme])
        self.preference(COLOURS, 2 if forced else None)

    def stop_process(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, 9)
            self.process.wait()

    def quit(self):
        try:
            self.command("browser.close", {})
            self.socket.close()
            self.process.wait(timeout=PATIENCE)
        except Exception:  # the browser has already gone, or hangs: it is stopped below
            pass
        self.stop_process()
        self.log.close()
