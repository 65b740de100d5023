#!/usr/bin/env python3
"""Plays the real lotto executable as a person would: on a fresh X server,
with mouse clicks at the designed places, typing, and reading fields back
through the clipboard; checks the trace on standard output and the exit code.
Also starts it where no usable display is (each must end with exit code 1 and
one German line), with a standard output nobody reads, and checks that the
random ticket and the draw share the one generator."""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (CONTROLS, FIRST_DRAW, FIRST_TRACE, PATIENCE, Player, answer_message_box, check,  # noqa: E402
                     play_first_draw, summary, wait_for, windows_named, xdotool)
from xserver import XServer  # noqa: E402

LOTTO = sys.argv[1]
WINDOW_LEFT, WINDOW_TOP = 241, 107


def starts_without_a_display(environment):
    refusing = XServer(authorization=True)
    try:
        cases = [  # what is set, and the words that name the cause
            ("nothing set", {"DISPLAY": None, "WAYLAND_DISPLAY": None}, "Weder DISPLAY noch WAYLAND_DISPLAY"),
            ("no server on the display", {"DISPLAY": ":4711"}, "nicht erreichbar"),
            ("a display number of 300 digits", {"DISPLAY": ":" + "9" * 300}, "nicht erreichbar"),
            ("a server that refuses the client", {"DISPLAY": refusing.display, "XAUTHORITY": "/nonexistent"},
             "verweigert den Zugriff"),
            ("no Wayland compositor", {"DISPLAY": None, "WAYLAND_DISPLAY": "lotto-nowhere"}, "nicht erreichbar"),
        ]
        for name, settings, cause in cases:
            started = dict(environment)
            for key, value in settings.items():
                started.pop(key, None) if value is None else started.__setitem__(key, value)
            result = subprocess.run([LOTTO], env=started, capture_output=True, text=True, timeout=PATIENCE)
            check(result.returncode == 1, f"{name}: exit code 1 (got {result.returncode})")
            line = result.stderr
            check(line.count("\n") == 1 and line.endswith("\n") and "Keine grafische Anzeige verfügbar" in line
                  and cause in line, f"{name}: one German line naming the cause ({line.strip()!r})")
    finally:
        refusing.stop()


def start(environment, **streams):
    lotto = subprocess.Popen([LOTTO], env=environment, stderr=subprocess.PIPE, **streams)
    if not wait_for(lambda: windows_named("Form1")):
        lotto.kill()
        check(False, "the window opens")
        print("lotto's standard error:", lotto.communicate()[1].decode(errors="replace"))
        return None
    return lotto


def close(lotto, player, what):
    player.click("BitBtn1")
    code = lotto.wait(timeout=PATIENCE)
    check(code == 0, f"{what}: Schließen ends the program with exit code 0 (got {code})")


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

        click("Button3")
        click("Button1")
        check(read("EditDoppelt") == "Doppelte Zahl", "the duplicate example is reported")
        check(read("EditBereich") == "", "no range finding for it")

        draw = play_first_draw(player)
        ticket = [read(f"Tipp{k + 1}") for k in range(6)]
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
        check(all(read(name) == "" for name in CONTROLS if name.startswith(("Tipp", "Zahl", "Edit"))),
              "Tippschein löschen! empties every field")

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
        check(lotto.poll() is None, "with nobody reading the trace the program goes on")
        check(player.read("Zahl1") != "" and player.read("EditGewinn") != "", "and shows the draw")
        close(lotto, player, "nobody reading the trace")
        errors = lotto.stderr.read().decode()
        check(errors == "", f"nothing on standard error ({errors!r})")
    finally:
        if lotto.poll() is None:
            lotto.kill()


def main():
    runtime_dir = tempfile.mkdtemp(prefix="lotto-e2e-")
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir)
    environment.pop("QT_QPA_PLATFORM", None)
    environment.pop("WAYLAND_DISPLAY", None)
    starts_without_a_display(environment)

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
    finally:
        server.stop()
        shutil.rmtree(runtime_dir, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
