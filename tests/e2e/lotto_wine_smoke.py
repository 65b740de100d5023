#!/usr/bin/env python3
"""Plays the Windows lotto.exe under Wine on a fresh X server: the window's
place and size, the tab order from the first focus on "Ziehung", one message
box for a letter on the ticket, an example ticket and the first draw, and both
ways of closing with exit code 0; then the same draw with standard output on a
pipe whose reader has gone.
Usage: lotto_wine_smoke.py WINE_LOADER LOTTO_EXE (WINEPREFIX from the environment)."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (CLOSE, EDITS_IN_TAB_ORDER, FIRST_DRAW, FORM, TICKET, Player, answer_message_box,  # noqa: E402
                     POINTER_ROOT, check, close_after_first_draw, keyboard_window, play_first_draw, summary,
                     window_geometry, windows_named, xdotool)
from waiting import PATIENCE, wait_for  # noqa: E402
import wineprefix  # noqa: E402
from xserver import XServer  # noqa: E402

WINE, LOTTO = sys.argv[1], sys.argv[2]
WINESERVER = os.path.join(os.path.dirname(WINE), "wineserver")
OUTER = (241, 107, 696, 480)
# Wine's default metrics for a sizeable window: 4 pixels of frame, 19 of caption.
FRAME, CAPTION = 4, 19
CLIENT_LEFT, CLIENT_TOP = OUTER[0] + FRAME, OUTER[1] + FRAME + CAPTION


def start(environment):
    lotto = subprocess.Popen([WINE, LOTTO], env=environment, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if not wait_for(lambda: windows_named("Form1")):
        lotto.kill()
        return lotto, None
    window = windows_named("Form1")[0]
    # Without a window manager Wine lets the keyboard follow the pointer; the
    # program then has every key that arrives over its window, in order.
    left, top, width, height = window_geometry(window)
    xdotool("mousemove", str(left + width // 2), str(top + height // 2))
    check(wait_for(lambda: keyboard_window() in (window, POINTER_ROOT)), "the window has the keyboard")
    return lotto, window


def play(environment, player):
    lotto, window = start(environment)
    check(window is not None, "the window opens")
    if window is None:
        return
    try:
        geometry = window_geometry(window)
        check(geometry == OUTER, f"the outer frame is at 241,107 with 696x480 ({geometry})")

        # From the first focus on "Ziehung", Tab visits every stop in the tab
        # order, and each edit takes a mark of its own.
        for stop in FORM.tab_stops()[1:]:
            xdotool("key", "--delay", "20", "Tab")
            if stop["kind"] == "edit":
                xdotool("type", "--delay", "5", f"m{EDITS_IN_TAB_ORDER.index(stop['name'])}")
        marks = {name: player.read(name) for name in EDITS_IN_TAB_ORDER}
        check(all(marks[name] == f"m{k}" for k, name in enumerate(EDITS_IN_TAB_ORDER)),
              f"Tab reaches the edits in the designed order ({marks})")

        # The Tab after the last stop wraps to "Ziehung"; Space presses it
        # with a mark in Tipp1.
        player.click(FORM.tab_stops()[-1]["name"])
        xdotool("key", "--delay", "20", "Tab", "space")
        check(wait_for(lambda: len(windows_named("lotto")) == 1), "a letter on the ticket shows a message box")
        check(answer_message_box("Return"), "Return dismisses it")
        check(all(player.read(name) == "" for name in FORM.ticket["result"]),
              "the result and error fields are cleared")
        # The reads above were handled after whatever the one key press did.
        check(not windows_named("lotto"), "exactly one message box")

        player.click("Button3")
        player.click("Button1")
        check(player.read("EditDoppelt") == "Doppelte Zahl", "the duplicate example is reported")

        draw = play_first_draw(player, check_marks=True)
        ticket = [player.read(name) for name in TICKET]
        check(ticket == ["3", "7", "9", "15", "25", "44"], f"the ticket comes back sorted ({ticket})")
        check(draw == FIRST_DRAW, f"the first draw, as on Linux ({draw})")
        check(player.read("EditGewinn") == "2", "two matches: 3 and 44")
        close_after_first_draw(lotto, player)
    finally:
        if lotto.poll() is None:
            lotto.kill()


def close_by_title_bar(environment):
    lotto, window = start(environment)
    if window is None:
        check(False, "the window opens a second time")
        return
    # The close control sits in the caption's right end.
    left, top, width, _ = OUTER
    xdotool("mousemove", str(left + width - FRAME - 10), str(top + FRAME + CAPTION // 2), "click", "1")
    try:
        code = lotto.wait(timeout=PATIENCE)
        check(code == 0, f"the title-bar close ends the program with exit code 0 (got {code})")
    except subprocess.TimeoutExpired:
        lotto.kill()
        check(False, "the title-bar close ends the program")


def closed_standard_output(environment, player):
    """The reader of standard output is gone before the first draw: the trace
    cannot be written, and must neither end nor disturb the program."""
    lotto, window = start(environment)
    lotto.stdout.close()
    if window is None:
        check(False, "the window opens with standard output closed")
        return
    try:
        draw = play_first_draw(player)
        check(draw == FIRST_DRAW, f"with standard output closed, the draw still shows ({draw})")
        player.click(CLOSE)
        code = lotto.wait(timeout=PATIENCE)
        check(code == 0, f"with standard output closed, Schließen exits with 0 (got {code})")
    except subprocess.TimeoutExpired:
        check(False, "with standard output closed, Schließen ends the program")
    finally:
        if lotto.poll() is None:
            lotto.kill()


def small_screen(environment):
    """On a screen too narrow for the designed place, the window moves just far
    enough to lie on it, and still plays."""
    with XServer(800, 600) as small:
        environment = dict(environment, DISPLAY=small.display)
        os.environ["DISPLAY"] = small.display
        lotto, window = start(environment)
        check(window is not None, "the window opens on an 800x600 screen")
        if window is None:
            return
        try:
            placed = (800 - OUTER[2], OUTER[1], OUTER[2], OUTER[3])
            geometry = window_geometry(window)
            check(geometry == placed, f"on an 800x600 screen the outer frame is at {placed[:2]} ({geometry})")
            player = Player(placed[0] + FRAME, placed[1] + FRAME + CAPTION)
            player.click("Button3")
            check(player.read("Tipp1") == "15", "and the window plays there")
            player.click(CLOSE)
            check(lotto.wait(timeout=PATIENCE) == 0, "and Schließen ends it with exit code 0")
        finally:
            if lotto.poll() is None:
                lotto.kill()
            subprocess.run([WINESERVER, "-k"], env=environment, capture_output=True)


def main():
    environment = dict(os.environ, WINEDEBUG="-all")
    environment.setdefault("WINEPREFIX", os.path.expanduser("~/.wine"))
    wineprefix.prepare(WINE, environment)
    server = XServer()
    environment["DISPLAY"] = os.environ["DISPLAY"] = server.display
    try:
        play(environment, Player(CLIENT_LEFT, CLIENT_TOP))
        close_by_title_bar(environment)
        closed_standard_output(environment, Player(CLIENT_LEFT, CLIENT_TOP))
        # Wine's desktop process belongs to the X server it started on: the next one needs its own.
        subprocess.run([WINESERVER, "-k"], env=environment, capture_output=True)
        small_screen(environment)
    finally:
        # Wine's desktop process belongs to this X server; the next run starts its own.
        subprocess.run([WINESERVER, "-k"], env=environment, capture_output=True)
        server.stop()
    return summary()


if __name__ == "__main__":
    sys.exit(main())
