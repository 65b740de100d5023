#!/usr/bin/env python3
"""Storms the real lotto executable with a few thousand random clicks and key
presses (every button but "Schließen", random texts typed into random fields,
message boxes dismissed as they come), then checks that the process is alive,
that its window still answers, and that its resident memory grew by less than
1 MiB from the first hundred actions to the end."""
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xserver import XServer  # noqa: E402

LOTTO = sys.argv[1]
ACTIONS = int(sys.argv[2]) if len(sys.argv) > 2 else 3000
TIME_LIMIT = 110  # seconds
WINDOW_LEFT, WINDOW_TOP = 241, 107
BUTTONS = {"Button1": (416, 248, 249, 49), "Button3": (472, 80, 193, 25), "Button4": (472, 112, 193, 25),
           "Button5": (472, 144, 193, 25), "Button6": (472, 48, 193, 25), "Button7": (416, 312, 249, 33)}
EDITS = {**{f"Tipp{k + 1}": (96, 56 + 32 * k, 41, 21) for k in range(6)},
         **{f"Zahl{k + 1}": (232, 56 + 32 * k, 41, 21) for k in range(6)},
         "Zahl7": (320, 56, 41, 21), "EditGewinn": (88, 328, 41, 21), "EditZusatz": (136, 328, 145, 21),
         "EditBereich": (88, 392, 193, 21), "EditDoppelt": (88, 416, 193, 21)}
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


def message_boxes():
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^lotto$"], capture_output=True, text=True)
    return result.stdout.split()


def dismiss_message_boxes():
    for _ in range(20):
        boxes = message_boxes()
        if not boxes:
            return
        subprocess.run(["xdotool", "windowactivate", "--sync", boxes[0], "key", "Escape"], capture_output=True)
        time.sleep(0.05)
    raise RuntimeError("a message box does not go away")


def one_command_line(rng):
    """One xdotool command line: a few random button clicks, each Ziehung click
    followed by Escape (which dismisses a message box and does nothing else),
    then a random text typed into a random field. xdotool's type takes the rest
    of the line as its text, so it comes last. Returns the words and the number
    of clicks and key presses in them."""
    words = []
    actions = 0
    for _ in range(rng.randint(3, 12)):
        name = rng.choice(list(BUTTONS))
        words += ["mousemove", *centre(BUTTONS[name]), "mousedown", "1", "mouseup", "1"]
        actions += 1
        if name == "Button1":
            words += ["sleep", "0.03", "key", "Escape"]
            actions += 1
    text = rng.choice(TEXT_PIECES)
    words += ["mousemove", *centre(EDITS[rng.choice(list(EDITS))]), "mousedown", "1", "mouseup", "1", "key", "ctrl+a",
              "type", "--delay", "1", "--", text]
    actions += 2 + len(text)
    return words, actions


def read_field(bounds):
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input="", text=True, check=True,
                   stderr=subprocess.DEVNULL)
    subprocess.run(["xdotool", "mousemove", *centre(bounds), "mousedown", "1", "mouseup", "1", "key", "ctrl+a", "ctrl+c"], check=True)
    time.sleep(0.05)
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True,
                          timeout=5).stdout


def main():
    rng = random.Random(4711)
    server = XServer()
    os.environ["DISPLAY"] = server.display
    environment = dict(os.environ, XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="lotto-storm-"))
    environment.pop("QT_QPA_PLATFORM", None)
    lotto = subprocess.Popen([LOTTO], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    started = time.monotonic()
    try:
        deadline = time.monotonic() + 10
        while not subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Form1$"],
                                 capture_output=True).stdout and time.monotonic() < deadline:
            time.sleep(0.05)

        done = 0
        rss_after_first_hundred = None
        while done < ACTIONS and time.monotonic() - started < TIME_LIMIT:
            words, actions = one_command_line(rng)
            subprocess.run(["xdotool", *words], check=True, capture_output=True)
            dismiss_message_boxes()
            done += actions
            if lotto.poll() is not None:
                break
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

        subprocess.run(["xdotool", "mousemove", *centre(BUTTONS["Button3"]), "mousedown", "1", "mouseup", "1"], check=True)
        answers = read_field(EDITS["Tipp1"]) == "15"
        print(f"the window still answers: {answers}")

        failures = []
        if done < 2000:
            failures.append(f"only {done} actions within the time limit")
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
