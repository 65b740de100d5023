#!/usr/bin/env python3
"""Plays a game by keyboard with Orca, the Linux desktop's screen reader,
listening, and checks what a blind player hears: every field by its own name,
the draw's result without a key pressed, the hits said after the names of
their fields, which stay, a two-digit number whole, the error
message, and where the focus is once the message has closed. Orca's debug log
records every utterance; it speaks through speech-dispatcher's dummy module, so
nothing waits for a sound device. Each key is sent once Orca has said what the
previous one did. A host without Orca, its speech server's dummy module or the
accessibility bus skips the test, with the reason.
Usage: dbus-run-session -- python3 lotto_orca.py LOTTO"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import tty

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (CLOSE, FIRST_DRAW, FIRST_DRAW_HITS, FIRST_TICKET, FORM, TICKET, check, summary,  # noqa: E402
                     windows_named, xdotool)
from waiting import PATIENCE, wait_for  # noqa: E402
from xserver import XServer  # noqa: E402

LOTTO = sys.argv[1]
SKIPPED = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
DUMMY_SPEECH = "/usr/lib/speech-dispatcher-modules/sd_dummy"
SPEECH_SETTINGS = """AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
LanguageDefaultModule "en" "dummy"
LanguageDefaultModule "de" "dummy"
"""
# What Orca says for each tab stop, from "Ziehung" round the form, in the C
# locale: the control's own name and its role.
ROLE = {"edit": "text", "button": "push button", "closeButton": "push button"}
TAB_STOPS = [f"{control['spoken']} {ROLE[control['kind']]}" for control in FORM.tab_stops()]
STOP_NAMES = [control["name"] for control in FORM.tab_stops()]
# Once the first draw is shown, the fields of its hits, 3 and 44, keep their
# names and say so after them, before their column's heading.
HITS_SAID = {f"{field['spoken']} text": ", ".join(["Treffer"] + ([heading["caption"].strip()] if heading else []))
             for field, heading in ((FORM.named(name), FORM.described(FORM.named(name), "heading"))
                                    for name in FIRST_DRAW_HITS)}
# The ticket's first field, which its column's heading describes.
FIRST_FIELD = FORM.named(TICKET[0])
FIRST_FIELD_STOP = TAB_STOPS[STOP_NAMES.index(TICKET[0])]
FOCUS = re.compile(r"^(.*) (text|push button)\.$")
UTTERANCE = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*)' ?\{'established'")
SAID_IN_TIME = 2.0  # seconds from "Ziehung" to the result


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIPPED)


class Orca:
    """Orca with its speech server in a home of their own, and what it has said:
    (seconds of the day, text) for each utterance, in order.

    Orca writes its debug log line by line only to a terminal; to a file it
    writes in blocks, and an utterance would wait there for more to come. So
    the log goes to a pseudo-terminal, which a thread empties as it fills."""

    def __init__(self, environment):
        self.environment = environment
        self.said = []
        self._lines = []
        self._lock = threading.Lock()
        self._log, terminal = os.openpty()
        tty.setraw(terminal)  # the lines as written, no line ends translated
        self._terminal = terminal
        threading.Thread(target=self._listen, daemon=True).start()
        self.process = subprocess.Popen(["orca", "--replace", f"--debug-file={os.ttyname(terminal)}"],
                                        env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _listen(self):
        pending = b""
        while True:
            try:
                gained = os.read(self._log, 65536)
            except OSError:
                return
            if not gained:
                return
            pending += gained
            *lines, pending = pending.split(b"\n")
            with self._lock:
                self._lines.extend(lines)

    def heard(self):
        """Takes in the lines logged since, and gives all that was said."""
        with self._lock:
            lines, self._lines = self._lines, []
        for line in lines:
            if match := UTTERANCE.match(line.decode(errors="replace")):
                hours, minutes, seconds, text = match.groups()
                self.said.append((int(hours) * 3600 + int(minutes) * 60 + float(seconds), text))
        return self.said

    def says(self, since, wanted):
        """Waits for an utterance after index SINCE that WANTED accepts, and gives its index."""
        def found():
            return next((k for k in range(since, len(self.heard())) if wanted(self.said[k][1])), None)
        index = wait_for(lambda: found() is not None) and found()
        return index if index is not False else None

    def stop(self):
        # Orca may need to be told twice; the speech server it started leaves with it.
        for _ in range(2):
            if self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    pass
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        os.close(self._terminal)
        os.close(self._log)
        pid_file = os.path.join(self.environment["XDG_RUNTIME_DIR"], "speech-dispatcher", "pid",
                                "speech-dispatcher.pid")
        if os.path.exists(pid_file):
            try:
                os.kill(int(open(pid_file).read().strip()), signal.SIGTERM)
            except (ValueError, ProcessLookupError):
                pass


class Player:
    """Presses keys in the window with the keyboard, each once Orca has answered the one before."""

    def __init__(self, orca, environment):
        self.orca = orca
        self.environment = environment

    def key(self, name, echo):
        """Presses the key and gives the index of Orca's echo of it, None where it never came."""
        since = len(self.orca.heard())
        subprocess.run(["xdotool", "key", name], env=self.environment, check=True)
        return self.orca.says(since, lambda text: text.strip() == echo)

    def tab(self, key="Tab", echo="tab"):
        """Moves on to the next tab stop (Shift+Tab: the one before) and gives
        what Orca called it, and the index of that."""
        echo = self.key(key, echo)
        index = self.orca.says(echo or 0, lambda text: FOCUS.match(text) is not None) if echo is not None else None
        return (self.orca.said[index][1].removesuffix("."), index) if index is not None else (None, None)

    def type(self, text):
        for letter in text:
            self.key(letter, letter)

    def tab_round(self, stops, hits):
        """Tabs through STOPS as long as Orca names each as wanted; gives the
        names it said, and for each field that hit what it said of the hit."""
        heard = []
        for stop in stops:
            name, index = self.tab()
            heard.append(name)
            if name in HITS_SAID:
                said = self.orca.says(index + 1, lambda text: text.startswith("Treffer"))
                hits[name] = self.orca.said[said][1].strip().removesuffix(".") if said is not None else None
            if name != stop:
                break
        return heard


def game(orca, player, lotto):
    start = orca.says(0, lambda text: text == "Ziehung push button.")
    check(start is not None, "Orca says where the focus is when the window opens: Ziehung push button")

    # Round one: every tab stop by its own name, the heading after Tipp 1's
    # name, and the ticket typed in.
    heading = FORM.described(FIRST_FIELD, "heading")["caption"].strip()
    typed = {TAB_STOPS[STOP_NAMES.index(field)]: number for field, number in zip(TICKET, FIRST_TICKET)}
    heard = []
    for stop in TAB_STOPS[1:]:
        name, index = player.tab()
        heard.append(name)
        if name == FIRST_FIELD_STOP:
            check(orca.says(index + 1, lambda text: text.strip() == heading) is not None,
                  f"the column's heading is said after {FIRST_FIELD['spoken']}'s own name")
        if name in typed:
            player.type(typed[name])
        if name != stop:
            break
    check(heard == TAB_STOPS[1:], f"Orca calls every control by its own name, round the form ({heard})")
    name, _ = player.tab()
    check(name == TAB_STOPS[0], f"and comes back to Ziehung ({name})")

    # The draw, said without a key pressed.
    echo = player.key("space", "space")
    result = orca.says(echo or 0, lambda text: text.startswith("notification ")) if echo is not None else None
    wanted = (f"notification Ziehung: {', '.join(FIRST_DRAW[:6])}, Zusatzzahl {FIRST_DRAW[6]}. 2 Treffer: 3, 44. "
              "Kein Gewinn.")
    check(result is not None and orca.said[result][1] == wanted,
          f"after Ziehung Orca says the draw and the match count: {wanted!r}")
    if result is not None and echo is not None:
        delay = orca.said[result][0] - orca.said[echo][0]
        check(0 <= delay <= SAID_IN_TIME, f"within {SAID_IN_TIME} s of the key ({delay:.2f} s)")

    # Round two: a field that hit says so, a letter into Tipp 3, and a two-digit number read whole.
    third = STOP_NAMES.index(TICKET[2])
    hits = {}
    wanted = TAB_STOPS[1:third + 1]
    heard = player.tab_round(wanted, hits)
    check(heard == wanted, f"the second round reaches Tipp 3 by the same names ({heard})")
    if heard != wanted:
        return
    player.type("x")
    name, index = player.tab()
    value = orca.says(index + 1, lambda text: text.endswith("selected.")) if index is not None else None
    check(name == TAB_STOPS[third + 1] and value is not None and orca.said[value][1] == "15 selected.",
          f"a two-digit number is read whole when its field is entered ({orca.said[value][1] if value else None})")
    heard = player.tab_round(TAB_STOPS[third + 2:] + TAB_STOPS[:1], hits)
    check(heard == TAB_STOPS[third + 2:] + TAB_STOPS[:1], f"on to Ziehung by the same names ({heard})")
    check(hits == HITS_SAID, f"each field that hit says so after its name ({hits})")

    message_and_focus_after_it(orca, player, "x")

    # The other way to the message: the ticket cleared, Shift+Tab back to
    # Ziehung, the empty Tipp 1's message; the focus is named after it too.
    clear = STOP_NAMES.index("Button7")
    for stop in TAB_STOPS[1:clear + 1]:
        name, _ = player.tab()
    check(name == TAB_STOPS[clear], f"Tab reaches Tippschein löschen! ({name})")
    echo = player.key("space", "space")
    check(orca.says(echo or 0, lambda text: text == "notification Tippschein ist leer.") is not None,
          "Orca says that the ticket is empty")
    for stop in reversed(TAB_STOPS[:clear]):
        name, _ = player.tab("shift+Tab", "left shift")
    check(name == TAB_STOPS[0], f"Shift+Tab comes back to Ziehung ({name})")
    message_and_focus_after_it(orca, player, "")

    close = STOP_NAMES.index(CLOSE)
    for stop in TAB_STOPS[1:close + 1]:
        name, _ = player.tab()
    check(name == TAB_STOPS[close], f"Tab reaches Schließen ({name})")
    player.key("space", "space")
    check(wait_for(lambda: lotto.poll() is not None) and lotto.returncode == 0, "Schließen ends the game")


def message_and_focus_after_it(orca, player, text):
    """Space on Ziehung with TEXT in Tipp 1 or Tipp 3: Orca reads the message
    that it is no number and the OK button, and once Return has closed the
    message, says where the focus is."""
    echo = player.key("space", "space")
    message = orca.says(echo or 0, lambda said: "ist keine gültige ganze Zahl" in said) if echo else None
    quoted = f"„\u2068{text}\u2069“"
    check(message is not None and orca.said[message][1].startswith(quoted),
          f"Orca reads the message that {quoted} is no number")
    ok = orca.says(message or 0, lambda said: said == "OK push button.") if message else None
    check(ok is not None, "and its OK button")
    echo = player.key("Return", "return") if ok is not None else None
    back = orca.says(echo, lambda said: said == "Ziehung push button.") if echo is not None else None
    check(back is not None, "once the message has closed Orca says the focus is on Ziehung again")


def main():
    for program, package in (("orca", "orca"), (BUS_LAUNCHER, "at-spi2-core"), (DUMMY_SPEECH, "speech-dispatcher")):
        if not shutil.which(program):
            skip(f"{program} is missing (Debian's {package})")
    folder = tempfile.mkdtemp(prefix="lotto-orca-")
    os.chmod(folder, 0o700)
    home = os.path.join(folder, "home")
    runtime = os.path.join(folder, "runtime")
    os.makedirs(os.path.join(home, ".config", "speech-dispatcher"))
    os.mkdir(runtime, 0o700)
    with open(os.path.join(home, ".config", "speech-dispatcher", "speechd.conf"), "w") as settings:
        settings.write(SPEECH_SETTINGS)
    server = XServer()
    os.environ["DISPLAY"] = server.display  # for xdotool
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM") and not key.startswith("LC_")}
    # Orca's own words in English, whatever the host's language.
    environment.update(DISPLAY=server.display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                       XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
                       XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8", LANGUAGE="")
    bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=environment, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    orca = Orca(environment)
    lotto = None
    try:
        if orca.says(0, lambda text: text == "Screen reader on.") is None:
            skip(f"Orca did not start within {PATIENCE} s (exit code {orca.process.poll()})")
        lotto = subprocess.Popen([LOTTO], env=dict(environment, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        windows = wait_for(lambda: windows_named("Form1"))
        check(bool(windows), "the window opens")
        if windows:
            xdotool("windowfocus", "--sync", windows[0])
            game(orca, Player(orca, environment), lotto)
    finally:
        if lotto and lotto.poll() is None:
            lotto.kill()
            lotto.wait()
        orca.stop()
        bus.terminate()
        bus.wait()
        server.stop()
        print("Orca said:")
        for _, text in orca.heard():
            print(f"  {text}")
        shutil.rmtree(folder, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
