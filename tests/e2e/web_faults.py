"""The browser test's topic "faults": what goes wrong and how the page
answers: a text that is no number (the modal message), a page whose form
differs from the program's description (refused plainly), and reloads in
quick succession while the program is on its way (nothing given up fails)."""
import tempfile

from browser import CONSOLE
from desktop import check
from site_server import SiteServer
from web_game import Hand, site_copy

RELOADS = 30


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
    check(len(game.errors) == before, f"{RELOADS} reloads in quick succession leave no error in the console "
          f"({game.errors[before:]})")
