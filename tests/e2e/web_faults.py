"""The browser test's topic "faults": what goes wrong and how the page
answers: a text that is no number (the modal message), a page whose form
differs from the program's description (refused plainly), reloads in
quick succession while the program is on its way (nothing given up fails),
a program that cannot be fetched (said, and loaded again on request, the
ticket kept), and a page whose script the policy refuses (said)."""
import re
import tempfile
import time

from browser import CONSOLE, TOUCH
from desktop import FIRST_TICKET, check
from site_server import SiteServer
from web_game import DESKTOP, SITE, TICKET, Hand, drew_first, site_copy, site_names

RELOADS = 30

UNLOADED_SAID = "Das Spiel konnte nicht geladen werden."

# What the alert of a program that could not be fetched says, and its button.
UNLOADED = ("const n = document.querySelector('#unloaded[role=alert]'); "
            "return n ? [n.querySelector('p') && n.querySelector('p').textContent, "
            "n.querySelector('button') && n.querySelector('button').textContent] : null")

UNSTARTED_WITHIN = 10  # seconds

# The notice of a page whose script never ran, as it shows.
UNSTARTED = ("const n = document.querySelector('.unstarted[role=alert]'); "
             "return n && getComputedStyle(n).visibility === 'visible' && n.getClientRects().length ? n.innerText : ''")


def modal_message(game):
    hand = Hand(game, touch=False)
    hand.fill("Tipp 3", "<b>7</b>")
    for close_key in ("Enter", "Escape"):
        hand.button("Ziehung")
        check(game.wait(game.dialog), "a letter in a ticket field shows a message")
        shown = game.dialog()
        check(shown and shown["named"] and shown["buttons"] == ["OK"] and shown["ok"] is not None
              and "<b>7</b>" in shown["text"], f"an alert dialog 'lotto' with the text as typed and OK ({shown})")
        game.browser.click(game.control("button", "Tippschein löschen!"))
        check(game.read("Tipp 3") == "<b>7</b>", "the form takes no click while the message is open")
        game.browser.press(close_key)
        check(game.wait(lambda: not game.dialog()), f"{close_key} closes the message")
        check(game.focused() == "Ziehung", f"the focus goes back to Ziehung ({game.focused()!r})")
    check(game.read("Gewinn: Anzahl Treffer") == "", "the result is cleared after the error")
    game.screenshot("desktop")


def refused_page(game):
    """A page whose form differs from the program's description is refused plainly."""
    browser = game.browser
    with tempfile.TemporaryDirectory(prefix="lotto-web-site-") as folder:
        server = SiteServer(site_copy(folder, lambda page: page.replace('id="Tipp3"', 'id="Tipp8"', 1)))
        try:
            browser.open(server.url)
            check(game.wait(game.dialog) and "Tipp3" in game.dialog()["text"],
                  f"a page whose field Tipp3 is missing says so ({game.dialog()})")
            check(game.run("return document.getElementById('notice').innerText").startswith(
                  "Das Spiel konnte nicht gestartet werden"), "and does not start the game")
        finally:
            server.stop()
        game.collect_console()
        game.errors = [error for error in game.errors if "does not match the program" not in error]


def reload_burst(game):
    """Reloads in quick succession, each as soon as the last load has fired,
    while the program may still be on its way and compiling: nothing given up
    on the way may fail, in the page or in the worker."""
    if CONSOLE not in game.browser.can:
        game.leave_out(f"{RELOADS} reloads in quick succession",
                       "the driver reads no console: a hook set after the load misses what a reload cuts off")
        return
    game.collect_console()
    before = len(game.errors)
    for _ in range(RELOADS):
        game.browser.open(game.url)
    check(game.wait(game.shown) and game.run("return !!navigator.serviceWorker.controller"),
          f"after {RELOADS} reloads in quick succession, each answered by the worker, the form shows")
    game.collect_console()
    # Firefox reports each request that the worker answered from its copy
    # but whose page had gone by then as the worker's error.
    given_up = "A ServiceWorker intercepted the request and encountered an unexpected error"
    game.errors[before:] = [error for error in game.errors[before:] if given_up not in error]
    check(len(game.errors) == before, f"{RELOADS} reloads in quick succession leave no error in the console "
          f"({game.errors[before:]})")


def failed_load(game):
    """A program that cannot be fetched (its WebAssembly answering 500, the
    program itself 404, either cut off halfway): the form stays with
    what was typed into it, the page says that the game could not be loaded,
    visibly and to a screen reader, and "Erneut versuchen" loads it without a
    reload, the ticket kept and its press carried out."""
    browser = game.browser
    program, wasm, _ = site_names(SITE)
    home = game.url
    faults = [(wasm, 500, DESKTOP, False), (program, 404, DESKTOP, False), (program, "reset", DESKTOP, False),
              (wasm, "reset", (390, 844), True)]
    for file, fault, size, phone in faults:
        where = f"{file} answering {fault}"
        if phone and TOUCH not in browser.can:
            continue
        server = SiteServer(SITE)  # a host of its own: no worker answers yet
        server.serve(SITE, faults={file: fault})
        game.url = server.url
        try:
            browser.set_viewport(*size, touch=phone)
            browser.open(game.url)
            game.find_controls()
            hand = Hand(game, touch=phone)
            for name, number in zip(TICKET, FIRST_TICKET):
                hand.fill(name, number)
            hand.button("Ziehung")
            check(game.wait(lambda: game.run(UNLOADED) == [UNLOADED_SAID, "Erneut versuchen"]),
                  f"{where}: an alert says that the game could not be loaded ({game.run(UNLOADED)}, "
                  f"{game.run('return location.href')})")
            retry = game.wait(lambda: browser.find([("button", "Erneut versuchen")])[0])
            check(retry and not game.shown() and game.read(*TICKET) == FIRST_TICKET,
                  f"{where}: the form stays with the typed ticket, and a button to try again")
            if not retry:
                continue
            game.screenshot(f"{'phone' if phone else 'desktop'}-failed-load")
            server.serve(SITE)
            game.trace.clear()
            hand.press(retry)
            check(game.wait(game.shown), f"{where}: Erneut versuchen loads the program, without a reload")
            drew_first(game, f"{where}: then the ticket typed and pressed before")
        finally:
            browser.open("about:blank")
            server.stop()
            game.url = home
            browser.set_viewport(*DESKTOP)
        game.collect_console()
        # The engine's reports of the failed fetch, of the worker that could not
        # install and of what the page had not finished loading when it was
        # left are no errors of the game.
        game.errors = [error for error in game.errors
                       if not re.search(f"{re.escape(file)}|ERR_|Failed|fetching the script", error)
                       and server.url not in error]


def refused_script(game):
    """A page whose inline script the policy refuses (a byte of it changed
    on the way) says within a few seconds that the game cannot start."""
    with tempfile.TemporaryDirectory(prefix="lotto-web-site-") as folder:
        server = SiteServer(site_copy(folder, lambda page: page.replace("(function () {", "(function  () {", 1)))
        try:
            game.browser.open(server.url)
            shown = time.monotonic()
            check(game.wait(lambda: game.run(UNSTARTED)) and time.monotonic() - shown < UNSTARTED_WITHIN,
                  f"a page whose script was refused says so within {UNSTARTED_WITHIN} s ({game.run(UNSTARTED)!r})")
            game.screenshot("unstarted")
            game.browser.open("about:blank")
        finally:
            server.stop()
        # The engine's report of the refusal, and of what the refused page had
        # not finished loading when it was left, is no error of the game.
        game.collect_console()
        game.errors = [error for error in game.errors
                       if not re.search("Content.Security.Policy", error) and server.url not in error]
