#!/usr/bin/env python3
"""Storms the real lotto executable with a few thousand random clicks and key
presses (every button but "Schließen", random texts typed into random fields,
message boxes dismissed as they come), then checks that the process is alive,
that its window still answers, and that its resident memory grew by less than
1 MiB from the first hundred actions to the end. After each "Ziehung" the storm
reads a field back, which waits until the program has handled the click: a
message box it raised is then open, and is dismissed before the storm goes on."""
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import CONTROLS, FORM, PLAY, Player, answer_message_box, windows_named  # noqa: E402
from waiting import PATIENCE, wait_for  # noqa: E402
from xserver import XServer  # noqa: E402

LOTTO = sys.argv[1]
ACTIONS = int(sys.argv[2]) if len(sys.argv) > 2 else 3000
WINDOW_LEFT, WINDOW_TOP = 241, 107
# Every button but the one that closes the window, and every field.
BUTTONS = {control["name"]: CONTROLS[control["name"]] for control in FORM.of_kind("button")}
EDITS = {control["name"]: CONTROLS[control["name"]] for control in FORM.of_kind("edit")}
TEXT_PIECES = ["7", "13", "49", "0", "-3", "140", "x", "ä", "ß", " 5", "1e3", "3.5", "+8", "99999999999"]


def centre(bounds):
    left, top, width, height = bounds
    return str(WINDOW_LEFT + left + width // 2), str(WINDOW_TOP + top + height // 2)


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def one_command_line(rng):
    """One xdotool command line: a few random button clicks. A "Ziehung" ends
    the line, since it may raise a message box that the storm must wait for;
    any other line ends with a random text typed into a random field (xdotool's
    type takes the rest of the line as its text). Returns the words, the number
    of clicks and key presses in them, and whether the line ends in "Ziehung"."""
    words = []
    actions = 0
    for _ in range(rng.randint(3, 12)):
        name = rng.choice(list(BUTTONS))
        words += ["mousemove", *centre(BUTTONS[name]), "mousedown", "1", "mouseup", "1"]
        actions += 1
        if name == PLAY:
            return words, actions, True
    text = rng.choice(TEXT_PIECES)
    words += ["mousemove", *centre(EDITS[rng.choice(list(EDITS))]), "mousedown", "1", "mouseup", "1", "key", "ctrl+a",
              "type", "--delay", "1", "--", text]
    actions += 2 + len(text)
    return words, actions, False


def main():
    rng = random.Random(4711)
    server = XServer()
    os.environ["DISPLAY"] = server.display
    environment = dict(os.environ, XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="lotto-storm-"))
    environment.pop("QT_QPA_PLATFORM", None)
    lotto = subprocess.Popen([LOTTO], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    player = Player(WINDOW_LEFT, WINDOW_TOP)
    started = time.monotonic()
    try:
        if not wait_for(lambda: windows_named("Form1")):
            print(f"FAIL the window did not open within {PATIENCE} s")
            return 1

        done = 0
        rss_after_first_hundred = None
        while done < ACTIONS and lotto.poll() is None:
            words, actions, drew = one_command_line(rng)
            subprocess.run(["xdotool", *words], check=True, capture_output=True)
            if drew:
                if player.read(rng.choice(list(EDITS)), message_box_title="lotto") is None \
                        and not answer_message_box("Escape"):
                    raise RuntimeError("a message box does not go away")
            done += actions
            if rss_after_first_hundred is None and done >= 100:
                rss_after_first_hundred = resident_kib(lotto.pid)

        alive = lotto.poll() is None
        print(f"{done} actions in {time.monotonic() - started:.1f} s; process alive: {alive}")
        if not alive:
            print("lotto ended:", lotto.returncode, lotto.stderr.read().decode(errors="replace")[-2000:])
            return 1
        rss_end = resident_kib(lotto.pid)
        growth = rss_end - rss_after_first_hundred
        print(f"resident memory after 100 actions {rss_after_first_hundred} KiB, at the end {rss_end} KiB, "
              f"growth {growth} KiB")

        player.click("Button3")
        answers = player.read("Tipp1") == "15"
        print(f"the window still answers: {answers}")

        failures = []
        if growth >= 1024:
            failures.append(f"memory grew by {growth} KiB")
        if not answers:
            failures.append("the window does not answer")
        for failure in failures:
            print("FAIL", failure)
        print("1 failed" if failures else "all checks passed")
        return 1 if failures else 0
    finally:
        if lotto.poll() is None:
            lotto.kill()
        server.stop()


if __name__ == "__main__":
    sys.exit(main())
