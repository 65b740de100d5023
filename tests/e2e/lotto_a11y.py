#!/usr/bin/env python3
"""Plays a whole game through the accessibility bus alone, as a screen reader
user's tools do: no mouse, no keyboard. Finds every control by what a screen
reader says, sets the ticket through the editable-text interface, presses
buttons through their actions, reads results through the text interface and
hears them change through text-changed events, hears which fields hit after
their unchanged names and the result in words after the match count's, and
answers the error alert.
Runs in a Wayland session (a headless compositor) with an X server beside
it, where the program must choose X, or with "wayland" in one without X.
Usage: dbus-run-session -- python3 lotto_a11y.py LOTTO x11|wayland"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (DESKTOP_ID, FIRST_DRAW, FIRST_DRAW_HITS, FIRST_RESULT, FIRST_TICKET, FIRST_TRACE, FORM,  # noqa: E402
                     OUTCOME, check, summary, window_geometry, windows_named)
from waiting import PATIENCE, wait_for  # noqa: E402
from xserver import XServer  # noqa: E402

LOTTO, PLATFORM = sys.argv[1], sys.argv[2]
# Every button and field by what a screen reader says, as the form's table describes it.
TICKET = FORM.spoken(*FORM.ticket["fields"])
DRAW = FORM.spoken(*FORM.ticket["draw"])
BUTTONS = [control["spoken"] for control in FORM.of_kind("button", "closeButton")]
FIELDS = [control["spoken"] for control in FORM.of_kind("edit")]
# What a programmer calls the controls; a screen reader must never say it.
PROGRAMMERS_WORDS = re.compile(r"Edit|Button|BitBtn|Label|^(Tipp|Zahl)\d$")


class Compositor:
    """A headless Wayland compositor on a socket of its own."""

    def __init__(self, runtime_dir):
        self.socket = "lotto-a11y"
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.socket}", "--idle-time=0"],
            env=dict(os.environ, XDG_RUNTIME_DIR=runtime_dir), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(os.path.join(runtime_dir, self.socket))):
            self.stop()
            raise RuntimeError("weston did not start")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait()


def settled(predicate):
    """Waits for the program to get there: actions are answered before they are
    carried out, and states reach the bus as events, which are taken in first."""
    def pumped():
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        return predicate()
    return wait_for(pumped)


def children(node):
    return [child for child in node if child is not None]


def windows_in_role(application, role):
    """The application's windows in that role. A window may go away while it
    is being asked; it is then gone, not an error."""
    found = []
    try:
        for window in children(application):
            if window.getRoleName() == role:
                found.append(window)
    except GLib.GError:
        pass
    return found


def find(window, role, name):
    matches = [c for c in children(window) if c.getRoleName() == role and c.name == name]
    return matches[0] if len(matches) == 1 else None


def text_of(window, name):
    return find(window, "text", name).queryText().getText(0, -1)


def press(window, name):
    button = find(window, "push button", name)
    action = button.queryAction()
    action.doAction([action.getName(k) for k in range(action.nActions)].index("Press"))


def play(lotto):
    desktop = pyatspi.Registry.getDesktop(0)
    application = []
    check(wait_for(lambda: application.extend(a for a in children(desktop) if a.get_process_id() == lotto.pid)
                   or application), "the program appears on the accessibility bus")
    if not application:
        return
    windows = [w for w in children(application[0]) if w.name == "Form1"]
    check(len(windows) == 1 and windows[0].getRoleName() == "frame", "its window is a frame named Form1")
    if not windows:
        return
    window = windows[0]

    # The window's notification says nothing until a command has been done.
    names = [c.name for c in children(window) if c.getRoleName() != "notification"]
    spoken_wrongly = [n for n in names if not n.strip() or PROGRAMMERS_WORDS.search(n)]
    check(not spoken_wrongly, f"every control has a name a player understands ({spoken_wrongly})")
    missing = [n for n in BUTTONS if not find(window, "push button", n)] + \
              [n for n in FIELDS if not find(window, "text", n)]
    check(not missing, f"every button and field is found by its spoken name ({missing})")
    if missing:
        return

    changed = {}
    pyatspi.Registry.registerEventListener(
        lambda event: changed.setdefault(event.source.name, []).append(event.any_data),
        "object:text-changed:insert")
    for name, number in zip(TICKET, FIRST_TICKET):
        find(window, "text", name).queryEditableText().setTextContents(number)
    press(window, "Ziehung")
    check(settled(lambda: text_of(window, "Gewinn: Anzahl Treffer")), "Ziehung draws")
    ticket = [text_of(window, name) for name in TICKET]
    check(ticket == ["3", "7", "9", "15", "25", "44"], f"the ticket reads back sorted ({ticket})")
    draw = [text_of(window, name) for name in DRAW]
    check(draw == FIRST_DRAW, f"the draw reads back ({draw})")
    check(text_of(window, "Gewinn: Anzahl Treffer") == "2", "and the match count: 2")

    def heard():
        return [changed.get(name, [None])[-1] for name in DRAW + ["Gewinn: Anzahl Treffer"]]
    check(settled(lambda: heard() == draw + ["2"]), f"a screen reader hears each result field change ({heard()})")
    voice = [c for c in children(window) if c.getRoleName() == "notification"]
    def described():
        return {c.name: c.description for c in children(window) if c.getRoleName() == "text" and c.description}
    # After a field's name: "Treffer" where it shows a hit, the result in
    # words after the match count's, then its heading.
    hits = {}
    for field in FORM.of_kind("edit"):
        heading = FORM.described(field, "heading")
        said = (["Treffer"] if field["name"] in FIRST_DRAW_HITS else []) + \
            ([FIRST_RESULT] if field["name"] == OUTCOME else []) + ([heading["caption"]] if heading else [])
        if said:
            hits[field["spoken"]] = ", ".join(said)
    check(settled(lambda: described() == hits),
          f"the fields of 3 and 44 keep their names and say that they hit after them, the match count says "
          f"{FIRST_RESULT!r} ({described()})")
    said = f"Ziehung: {', '.join(draw[:6])}, Zusatzzahl {draw[6]}. 2 Treffer: 3, 44. Kein Gewinn."
    check(len(voice) == 1 and settled(lambda: voice[0].name == said),
          f"and the window's one notification says the result ({[v.name for v in voice]})")

    find(window, "text", "Tipp 3").queryEditableText().insertText(0, "x", 1)
    press(window, "Ziehung")
    alerts = []
    check(wait_for(lambda: alerts.extend(windows_in_role(application[0], "alert")) or alerts),
          "a letter on the ticket raises an alert")
    if not alerts:
        return
    alert = alerts[0]
    texts = [c.name for c in children(alert) if c.getRoleName() == "label"]
    check(any("x9" in t and "keine gültige ganze Zahl" in t for t in texts), f"the alert reads the error ({texts})")
    buttons = [c for c in pyatspi.findAllDescendants(alert, lambda n: n.getRoleName() == "push button")]
    check(len(buttons) == 1, f"the alert has one button ({[b.name for b in buttons]})")
    buttons[0].queryAction().doAction(0)
    check(wait_for(lambda: not windows_in_role(application[0], "alert")),
          "its button closes the alert")
    if PLATFORM == "x11":  # the headless compositor has no keyboard, so no window ever has the focus there
        focused = settled(lambda: find(window, "push button", "Ziehung").getState().contains(pyatspi.STATE_FOCUSED))
        check(focused, "the focus is back on Ziehung")

    press(window, "Tippschein löschen!")
    check(settled(lambda: not any(text_of(window, name) for name in TICKET + DRAW)),
          "Tippschein löschen! empties the ticket and the draw")
    press(window, "Schließen")


def wayland_app_id(environment):
    """The app id the window gives the compositor, as the program's own
    protocol log shows it; task bars match it to the desktop entry."""
    with tempfile.TemporaryFile() as log:
        lotto = subprocess.Popen([LOTTO], env=dict(environment, WAYLAND_DEBUG="client"), stdout=subprocess.DEVNULL,
                                 stderr=log)
        said = re.compile(rb'set_app_id\("([^"]*)"\)')

        def found():
            log.seek(0)
            return said.findall(log.read())
        try:
            wait_for(lambda: found() or lotto.poll() is not None)
            check(found() == [DESKTOP_ID.encode()], f"on Wayland the window's app id is {DESKTOP_ID} ({found()})")
        finally:
            lotto.kill()
            lotto.wait()


def main():
    runtime_dir = tempfile.mkdtemp(prefix="lotto-a11y-")
    os.chmod(runtime_dir, 0o700)
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    for name in ("QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"):
        environment.pop(name, None)
    # On X the session is a Wayland desktop's with XWayland beside it: the
    # program must stay on X, where its window can take its designed place.
    compositor = Compositor(runtime_dir)
    environment.update(WAYLAND_DISPLAY=compositor.socket, XDG_SESSION_TYPE="wayland")
    server = None
    if PLATFORM == "x11":
        server = XServer()
        environment["DISPLAY"] = os.environ["DISPLAY"] = server.display
    lotto = subprocess.Popen([LOTTO], env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        if server:
            shown = wait_for(lambda: windows_named("Form1"))
            check(shown and window_geometry(windows_named("Form1")[0]) == (241, 107, 696, 480),
                  "in a Wayland session with X beside it the window is on X, at 241,107 with 696x480")
        play(lotto)
        code = lotto.wait(timeout=PATIENCE)
        if not server:
            wayland_app_id(environment)
        check(code == 0, f"Schließen ends the program with exit code 0 (got {code})")
        trace = lotto.stdout.read().decode()
        check(trace == FIRST_TRACE, f"the trace is the one draw ({trace!r})")
        errors = lotto.stderr.read().decode()
        check(errors == "", f"nothing on standard error ({errors!r})")
    finally:
        if lotto.poll() is None:
            lotto.kill()
            print("lotto's standard error:", lotto.communicate()[1].decode(errors="replace"))
        if server:
            server.stop()
        compositor.stop()
        shutil.rmtree(runtime_dir, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
