#!/usr/bin/env python3
"""Plays the real lotto executable as a person would: on a fresh X server,
with mouse clicks at the designed places, typing, reading fields back
through the clipboard and the marks of the hits off the screen; checks the
trace on standard output and the exit code.
Also starts it where no usable display is (each must end with exit code 1 and
one German line), with a standard output nobody reads, and checks that the
random ticket and the draw share the one generator."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (DESKTOP_ID, EDITS_IN_TAB_ORDER, FIRST_DRAW, FIRST_TRACE, TICKET, Player,  # noqa: E402
                     answer_message_box, check, close, play_first_draw, summary, window_geometry, windows_named,
                     xdotool)
from waiting import PATIENCE, wait_for  # noqa: E402
from xserver import CuttingProxy, XServer  # noqa: E402

LOTTO = sys.argv[1]
WINDOW_LEFT, WINDOW_TOP = 241, 107
MAP_WINDOW = 8  # the X11 request that shows a window
# Direction marks, isolates and other invisible characters have no place on a terminal.
INVISIBLE = re.compile("[\u061c\u200b-\u200f\u202a-\u202e\u2066-\u2069\ufeff]")


def program_without_platforms(folder):
    """A copy of the program whose Qt finds no platform plugins, as where a
    platform's package is not installed; gives its path."""
    plugins = os.path.join(folder, "plugins")
    os.makedirs(os.path.join(plugins, "platforms"))
    with open(os.path.join(folder, "qt.conf"), "w") as settings:
        settings.write(f"[Paths]\nPlugins={plugins}\n")
    return shutil.copy(LOTTO, folder)


def failed_starts(environment):
    """Every start that cannot show the window ends with exit code 1 and one
    German line that names the true cause."""
    refusing = XServer(authorization=True)
    full = XServer(max_clients=64)
    full.fill()
    server = XServer()
    cutting = CuttingProxy(server, MAP_WINDOW)
    scratch = tempfile.TemporaryDirectory(prefix="lotto-e2e-starts-")
    bare = program_without_platforms(scratch.name)
    try:
        cases = [  # what is set, and the words that name the cause
            ("nothing set", {"DISPLAY": None, "WAYLAND_DISPLAY": None}, "Weder DISPLAY noch WAYLAND_DISPLAY"),
            ("no server on the display", {"DISPLAY": ":4711"}, "„:4711“ ist nicht erreichbar"),
            ("a display number of 300 digits", {"DISPLAY": ":" + "9" * 300}, "nicht erreichbar"),
            ("a server that refuses the client", {"DISPLAY": refusing.display, "XAUTHORITY": "/nonexistent"},
             "verweigert den Zugriff"),
            ("a server that is full", {"DISPLAY": full.display}, "nimmt keine weiteren Programme an"),
            ("a screen the server lacks", {"DISPLAY": server.display + ".5"}, "hat keinen solchen Bildschirm"),
            ("the connection cut while the window is shown", {"DISPLAY": cutting.display}, "ist abgebrochen"),
            ("QT_QPA_PLATFORM set and empty", {"DISPLAY": ":4711", "QT_QPA_PLATFORM": ""},
             "„:4711“ ist nicht erreichbar"),
            ("Qt's X11 platform missing", {"DISPLAY": server.display, "LOTTO": bare}, "libqt6gui6"),
            ("no Wayland compositor", {"DISPLAY": None, "WAYLAND_DISPLAY": "lotto-nowhere"}, "nicht erreichbar"),
            ("a Wayland name of 300 characters", {"DISPLAY": None, "WAYLAND_DISPLAY": "w" * 300},
             "nicht erreichbar"),
            ("no runtime folder for Wayland", {"DISPLAY": None, "WAYLAND_DISPLAY": "wayland-0",
                                               "XDG_RUNTIME_DIR": None}, "XDG_RUNTIME_DIR ist nicht gesetzt"),
            ("a relative runtime folder", {"DISPLAY": None, "WAYLAND_DISPLAY": "wayland-0",
                                           "XDG_RUNTIME_DIR": "run/user"}, "„run/user“ ist kein absoluter Pfad"),
            ("Qt's Wayland platform missing", {"DISPLAY": None, "WAYLAND_DISPLAY": "wayland-0", "LOTTO": bare},
             "qt6-wayland"),
            ("a framebuffer without its device", {"DISPLAY": None, "QT_QPA_PLATFORM": "linuxfb:fb=/nonexistent"},
             "„linuxfb“ hat keinen Bildschirm"),
        ]
        for name, settings, cause in cases:
            started = dict(environment)
            program = settings.get("LOTTO", LOTTO)
            for key, value in settings.items():
                if key != "LOTTO":
                    started.pop(key, None) if value is None else started.__setitem__(key, value)
            result = subprocess.run([program], env=started, capture_output=True, text=True, timeout=PATIENCE)
            check(result.returncode == 1, f"{name}: exit code 1 (got {result.returncode})")
            line = result.stderr
            check(line.count("\n") == 1 and line.endswith("\n") and "Keine grafische Anzeige verfügbar" in line
                  and cause in line and not INVISIBLE.search(line),
                  f"{name}: one German line naming the cause ({line.strip()!r})")
    finally:
        for each in (cutting, refusing, full, server):
            each.stop()
        scratch.cleanup()


def start(environment, **streams):
    lotto = subprocess.Popen([LOTTO], env=environment, stderr=subprocess.PIPE, **streams)
    if not wait_for(lambda: windows_named("Form1")):
        lotto.kill()
        check(False, "the window opens")
        print("lotto's standard error:", lotto.communicate()[1].decode(errors="replace"))
        return None
    return lotto


def play(environment, player):
    """The whole game; gives the trace of its two draws."""
    click, type_into, read = player.click, player.type_into, player.read
    lotto = start(environment, stdout=subprocess.PIPE)
    if not lotto:
        return None
    try:
        window = windows_named("Form1")[0]
        geometry = xdotool("getwindowgeometry", window)
        check("Position: 241,107" in geometry and "Geometry: 696x480" in geometry,
              "the window sits at 241,107 with 696x480")
        # Desktops match a window to its menu entry by the class of its WM_CLASS.
        check(window in windows_of_class(DESKTOP_ID) and window in windows_of_class("lotto", "--classname"),
              f"the window's X class is the desktop entry's name {DESKTOP_ID}, its instance lotto")

        click("Button3")
        click("Button1")
        check(read("EditDoppelt") == "Doppelte Zahl", "the duplicate example is reported")
        check(read("EditBereich") == "", "no range finding for it")

        draw = play_first_draw(player, check_marks=True)
        ticket = [read(name) for name in TICKET]
        check(ticket == ["3", "7", "9", "15", "25", "44"], f"the typed ticket comes back sorted ({ticket})")
        # The first draw of the never-seeded generator, main numbers sorted.
        check(draw == FIRST_DRAW, f"the first draw ({draw})")
        check(read("EditGewinn") == "2", "two matches: 3 and 44")
        check(read("EditZusatz") == "", "no bonus hit")
        check(read("EditDoppelt") == "", "the earlier finding is gone")

        click("Button1")
        second_draw = read("Zahl1")
        type_into("Tipp3", "x")
        click("Button1")
        check(wait_for(lambda: windows_named("lotto")), "a letter in Tipp3 shows a message box")
        check(answer_message_box("Return"), "Return dismisses it")
        check(read("EditGewinn") == "", "the result is cleared after the error")
        check(read("Zahl1") == second_draw, "the earlier draw stays")

        click("Button7")
        check(all(read(name) == "" for name in EDITS_IN_TAB_ORDER), "Tippschein löschen! empties every field")

        close(lotto, player, "the game")
        trace = lotto.stdout.read().decode()
        check(trace.startswith(FIRST_TRACE), f"the trace is the first draw in the order drawn ({trace!r})")
        errors = lotto.stderr.read().decode()
        check(errors == "", f"nothing on standard error ({errors!r})")
        return trace
    finally:
        if lotto.poll() is None:
            lotto.kill()


def random_ticket_and_draw(environment, player, two_draws_trace):
    """The random ticket and the draw take their numbers from one generator."""
    lotto = start(environment, stdout=subprocess.PIPE)
    if not lotto:
        return
    try:
        player.click("Button6")
        player.click("Button1")
        close(lotto, player, "random ticket and draw")
        trace = lotto.stdout.read().decode()
        check(trace == two_draws_trace,
              f"Zufallszahlen then Ziehung trace what two draws trace ({trace!r}, {two_draws_trace!r})")
    finally:
        if lotto.poll() is None:
            lotto.kill()


def nobody_reads_standard_output(environment, player):
    lotto = start(environment, stdout=subprocess.PIPE)
    if not lotto:
        return
    lotto.stdout.close()  # the reader goes, as with `lotto | true`
    try:
        player.click("Button6")
        player.click("Button1")
        shown = player.read("Zahl1") != "" and player.read("EditGewinn") != ""
        check(lotto.poll() is None, "with nobody reading the trace the program goes on")
        check(shown, "and shows the draw")
        close(lotto, player, "nobody reading the trace")
        errors = lotto.stderr.read().decode()
        check(errors == "", f"nothing on standard error ({errors!r})")
    finally:
        if lotto.poll() is None:
            lotto.kill()


def windows_of_class(name, option="--class"):
    result = subprocess.run(["xdotool", "search", option, f"^{re.escape(name)}$"], capture_output=True, text=True)
    return result.stdout.split()


def small_screens(environment):
    """A screen too small for the designed place: the window moves just far
    enough to lie on it, its top-left corner first, and stays usable."""
    for width, height, place in ((800, 600, (104, 107)), (640, 400, (0, 0))):
        with XServer(width, height) as small:
            os.environ["DISPLAY"] = small.display
            lotto = start(dict(environment, DISPLAY=small.display))
            if not lotto:
                continue
            try:
                geometry = window_geometry(windows_named("Form1")[0])
                check(geometry == (*place, 696, 480), f"on a {width}x{height} screen the window sits at {place} "
                                                      f"({geometry})")
                player = Player(*place)
                player.click("Button3")
                check(player.read("Tipp1") == "15", f"on a {width}x{height} screen it plays")
                # "Schließen" may lie off the screen: from Tipp1 back along the tab order to it.
                xdotool("key", *["shift+Tab"] * 6, "space")
                code = lotto.wait(timeout=PATIENCE)
                check(code == 0, f"on a {width}x{height} screen Schließen ends the program (got {code})")
            finally:
                if lotto.poll() is None:
                    lotto.kill()


def a_pipe_for_the_font(environment, player):
    """A named pipe in place of the window's font file must not hold up the start."""
    with tempfile.TemporaryDirectory(prefix="lotto-e2e-font-") as scratch:
        os.makedirs(os.path.join(scratch, "ui"))
        fonts = os.path.join(os.path.dirname(LOTTO), "..", "share", "lotto", "fonts")
        os.makedirs(os.path.join(scratch, "share", "lotto", "fonts"))
        for face in os.listdir(fonts):
            os.mkfifo(os.path.join(scratch, "share", "lotto", "fonts", face))
        program = shutil.copy(LOTTO, os.path.join(scratch, "ui"))
        lotto = subprocess.Popen([program], env=environment, stderr=subprocess.PIPE)
        try:
            check(wait_for(lambda: windows_named("Form1")), "with a pipe in place of its font file the window opens")
            close(lotto, player, "a pipe for the font")
        finally:
            if lotto.poll() is None:
                lotto.kill()


def main():
    runtime_dir = tempfile.mkdtemp(prefix="lotto-e2e-")
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir)
    environment.pop("QT_QPA_PLATFORM", None)
    environment.pop("WAYLAND_DISPLAY", None)
    failed_starts(environment)

    server = XServer()
    os.environ["DISPLAY"] = server.display
    environment["DISPLAY"] = server.display
    player = Player(WINDOW_LEFT, WINDOW_TOP)
    try:
        two_draws_trace = play(environment, player)
        if two_draws_trace is None:
            print(server.diagnosis())
            return 1
        random_ticket_and_draw(environment, player, two_draws_trace)
        nobody_reads_standard_output(environment, player)
        a_pipe_for_the_font(environment, player)
        small_screens(environment)
    finally:
        server.stop()
        shutil.rmtree(runtime_dir, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
