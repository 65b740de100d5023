#!/usr/bin/env python3
"""Plays the real lotto executable as a person would: on a fresh X server,
with mouse clicks at the designed places, typing, and reading fields back
through the clipboard; checks the trace on standard output and the exit code."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import CONTROLS, check, summary, wait_for, windows_named, xdotool, Player  # noqa: E402
from xserver import XServer  # noqa: E402

LOTTO = sys.argv[1]
WINDOW_LEFT, WINDOW_TOP = 241, 107


def main():
    runtime_dir = tempfile.mkdtemp(prefix="lotto-e2e-")
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir)
    environment.pop("QT_QPA_PLATFORM", None)

    # Without a display the program says so in one line and fails.
    no_display = subprocess.run([LOTTO], env=dict(environment, DISPLAY=":4711"), capture_output=True,
                                text=True, timeout=20)
    check(no_display.returncode == 1, f"no display: exit code 1 (got {no_display.returncode})")
    check(no_display.stderr.count("\n") == 1 and "grafische Anzeige" in no_display.stderr,
          f"no display: one German line on standard error ({no_display.stderr.strip()!r})")

    server = XServer()
    os.environ["DISPLAY"] = server.display
    environment["DISPLAY"] = server.display
    lotto = subprocess.Popen([LOTTO], env=environment, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    player = Player(WINDOW_LEFT, WINDOW_TOP)
    click, type_into, read = player.click, player.type_into, player.read
    try:
        opened = wait_for(lambda: windows_named("Form1"))
        check(opened, "the window opens")
        if not opened:
            lotto.kill()
            print("lotto's standard error:", lotto.communicate()[1].decode(errors="replace"))
            print(server.diagnosis())
            return 1
        window = windows_named("Form1")[0]
        geometry = xdotool("getwindowgeometry", window)
        check("Position: 241,107" in geometry and "Geometry: 696x480" in geometry,
              "the window sits at 241,107 with 696x480")

        click("Button3")
        click("Button1")
        check(read("EditDoppelt") == "Doppelte Zahl", "the duplicate example is reported")
        check(read("EditBereich") == "", "no range finding for it")

        for k, number in enumerate(["44", "3", "25", "15", "07", "9"]):
            type_into(f"Tipp{k + 1}", number)
        click("Button1")
        ticket = [read(f"Tipp{k + 1}") for k in range(6)]
        check(ticket == ["3", "7", "9", "15", "25", "44"], f"the typed ticket comes back sorted ({ticket})")
        draw = [read(f"Zahl{k + 1}") for k in range(7)]
        # The first draw of the never-seeded generator, main numbers sorted.
        check(draw == ["3", "16", "21", "36", "37", "44", "10"], f"the first draw ({draw})")
        check(read("EditGewinn") == "2", "two matches: 3 and 44")
        check(read("EditZusatz") == "", "no bonus hit")
        check(read("EditDoppelt") == "", "the earlier finding is gone")

        type_into("Tipp3", "x")
        click("Button1")
        check(wait_for(lambda: windows_named("lotto")), "a letter in Tipp3 shows a message box")
        xdotool("key", "Return")
        check(wait_for(lambda: not windows_named("lotto")), "Return dismisses it")
        check(read("EditGewinn") == "", "the result is cleared after the error")
        check(read("Zahl1") == "3", "the earlier draw stays")

        click("Button7")
        check(all(read(name) == "" for name in CONTROLS if name.startswith(("Tipp", "Zahl", "Edit"))),
              "Tippschein löschen! empties every field")

        click("BitBtn1")
        code = lotto.wait(timeout=10)
        check(code == 0, f"Schließen ends the program with exit code 0 (got {code})")
        trace = lotto.stdout.read().decode()
        check(trace == "4436163732110", f"the trace is the draw in the order drawn ({trace!r})")
        errors = lotto.stderr.read().decode()
        check(errors == "", f"nothing on standard error ({errors!r})")
    finally:
        if lotto.poll() is None:
            lotto.kill()
        server.stop()

    return summary()


if __name__ == "__main__":
    sys.exit(main())
