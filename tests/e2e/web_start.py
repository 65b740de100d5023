"""The browser test's topic "start": how the page comes up and goes: the form
without JavaScript, one fetch of the program, the ticket typed and pressed
while the program is held back, the program built as JavaScript where
WebAssembly is missing or refused, the offline copy (other pages left to
the server, a new version of the site replacing the copy, the game without a
server), and Schließen with a new game after it."""
import os
import re
import subprocess
import sys
import tempfile

from browser import HOLD, NO_SCRIPTS, NO_WASM
from desktop import FIRST_TICKET, check
from site_server import SiteServer
from web_faults import reload_burst
from web_game import (CONTROLS, DESKTOP, DRAW, ENGINE, HEADLINE, HERE, SHOTS, SITE, TICKET, Hand, drew_first,
                      first_draw, site_copy)

# What assembles the site, for a new version of it.
WEB_SOURCES = os.path.join(HERE, "..", "..", "ui", "web")

MAKE_SITE = os.path.join(WEB_SOURCES, "make_site.py")

WORKER_TEMPLATE = os.path.join(WEB_SOURCES, "sw.js.in")

NO_SCRIPT_NOTICE = "Das Spiel braucht JavaScript."

FALLBACK = "lotto-nowasm.js"  # the program built as JavaScript

# The program's files as the page has fetched them so far.
FETCHED = "return performance.getEntriesByType('resource').map((e) => e.name.split('/').pop()).filter((n) => /^lotto.*[.](js|wasm)$/.test(n))"

MISSING_PAGE = "nichtda.html"  # a page of the folder that the server does not have

NEW_VERSION = '<meta name="lotto-test-version" content="2">'  # what a new version's page carries

NEW_PAGE = "return !!document.querySelector('meta[name=\"lotto-test-version\"]')"

# The page shown: its title, whether it is the game's, and its text.
SHOWN_PAGE = """
return [document.title, !!document.querySelector('script[src="lotto.js"]'),
        (document.body || document.documentElement).textContent.replace(/\\s+/g, ' ').trim().slice(0, 160)];"""


def without_scripts(game):
    """JavaScript off: the form is there all the same, every control named, with the notice."""
    browser = game.browser
    if NO_SCRIPTS not in browser.can:
        game.leave_out("the page without JavaScript", "the engine cannot turn it off here")
        return
    browser.set_viewport(*DESKTOP)
    browser.allow(scripts=False)
    try:
        browser.open(game.url)
        missing = [control for control, found in zip(CONTROLS, browser.find(CONTROLS)) if found is None]
        check(not missing, f"without JavaScript, the form shows, every button and field named ({missing})")
        text = browser.text()
        check(NO_SCRIPT_NOTICE in text and HEADLINE[0] in text, f"with the notice {NO_SCRIPT_NOTICE!r} ({text[:120]!r})")
        if SHOTS:  # without a script of the page's own to wait for its frame
            os.makedirs(SHOTS, exist_ok=True)
            browser.screenshot(os.path.join(SHOTS, f"{ENGINE}-no-scripts.png"))
    finally:
        browser.allow()
        browser.open("about:blank")  # a page that runs scripts again

def one_fetch_of_program(game):
    """On the first visit, before any worker answers: a preload that the
    engine does not hand on to the fetch that compiles or runs the program
    costs a second download. The JavaScript fallback is not fetched at all."""
    fetched = game.run(FETCHED)
    check(sorted(fetched) == ["lotto.js", "lotto.wasm"], f"the first visit fetches lotto.js and lotto.wasm once each, "
                                                          f"and not {FALLBACK} ({fetched})")

def program_held(game):
    """The program held back on its way: the form is there, the ticket typed
    into it and a press on Ziehung are kept and carried out once it runs."""
    browser = game.browser
    if HOLD not in browser.can:
        game.leave_out("the form before the program runs", "the driver cannot hold a request back")
        return
    game.collect_console()
    browser.hold("*lotto.wasm")
    try:
        browser.open(game.url)
        game.controls = dict(zip(CONTROLS, browser.find(CONTROLS)))
        hand = Hand(game, touch=False)
        for name, number in zip(TICKET, FIRST_TICKET):
            hand.fill(name, number)
        hand.button("Ziehung")
        check(not game.shown() and game.read(*TICKET) == FIRST_TICKET and not any(game.read(*DRAW)),
              "with the program held back, the ticket is typed and Ziehung pressed, and nothing drawn yet")
        game.screenshot("program-held")
    finally:
        browser.release()
    game.trace.clear()
    drew_first(game, "once the program runs, for the typed ticket")
    check(game.load(), "a new game shows")

def other_sites(game):
    """The program built as JavaScript: it plays the same game where there is
    no WebAssembly, and where the page's policy refuses to compile it."""
    browser = game.browser
    strict = ("under a policy without 'wasm-unsafe-eval'", lambda page: page.replace(" 'wasm-unsafe-eval'", "", 1))
    cases = [strict] if NO_WASM not in browser.can else [("without WebAssembly", None), strict]
    if NO_WASM not in browser.can:
        game.leave_out("the page without WebAssembly", "the engine cannot take it away here")
    home = game.url
    for where, change in cases:
        with tempfile.TemporaryDirectory(prefix="lotto-web-site-") as folder:
            server = SiteServer(site_copy(folder, change) if change else SITE)
            game.url = server.url
            browser.allow(wasm=bool(change))
            try:
                check(game.load(), f"{where}: the form shows")
                first_draw(game, where)
                fetched = game.run(FETCHED)
                check(FALLBACK in fetched and "lotto.wasm" not in fetched, f"{where}: played by {FALLBACK} ({fetched})")
            finally:
                browser.allow()
                game.url = home
                server.stop()
        # The engine's report of the refusal is no error of the game.
        game.collect_console()
        game.errors = [error for error in game.errors if not re.search("Content.Security.Policy", error)]

def other_page(game, online):
    """A page of the folder that the site does not have: the worker leaves it
    to the server (its 404) and, offline, to the browser's own error."""
    where = "online" if online else "offline"
    game.collect_console()
    try:
        game.browser.open(game.url + MISSING_PAGE)
    except Exception:  # some drivers report the browser's error page as a failed navigation
        if online:
            raise
    title, is_game, text = game.run(SHOWN_PAGE)
    expected = "the server's 404" if online else "the browser's own error"
    check(not is_game and ("404" in text) == online,
          f"{where}, with the worker active, {MISSING_PAGE} is {expected}, not the game ({title!r}: {text[:80]!r})")
    # The engine's report of the missing page (and of its icon) is no error of the game.
    errors = len(game.errors)
    game.collect_console()
    del game.errors[errors:]

def new_version(folder):
    """The site as its next version: the page changed, and the site assembled
    again by make_site.py, which names the worker's cache anew."""
    pairs = []
    for root, _, names in os.walk(SITE):
        for name in names:
            source = os.path.join(root, name)
            place = os.path.relpath(source, SITE).replace(os.sep, "/")
            if place == "sw.js":
                continue
            if place == "index.html":
                with open(source, encoding="utf-8") as file:
                    page = file.read().replace('<meta charset="utf-8">', '<meta charset="utf-8">\n' + NEW_VERSION, 1)
                source = os.path.join(folder, place)
                with open(source, "w", encoding="utf-8") as file:
                    file.write(page)
            pairs.append(f"{place}={source}")
    site = os.path.join(folder, "site")
    subprocess.run([sys.executable, MAKE_SITE, site, WORKER_TEMPLATE, *pairs], check=True)
    return site

def new_version_replaces_copy(game, server):
    """A new version of the site, served in place of the first: the next visit
    shows it, and its worker takes over and replaces the copy. Both servers
    have stopped when it returns."""
    copies = game.run("return caches.keys()")
    with tempfile.TemporaryDirectory(prefix="lotto-web-version-") as folder:
        site = new_version(folder)
        server.stop()
        newer = SiteServer(site, server.port)
        try:
            check(game.load() and game.run(NEW_PAGE), "a new version of the site, served in its place, "
                  "is what the next visit shows")

            def one_new_copy():
                kept = game.run("return caches.keys()")
                return len(kept) == 1 and kept != copies
            check(game.wait(one_new_copy), f"its worker takes over and keeps one copy, a new one ({copies} before)")
        finally:
            newer.stop()

def offline(game, server):
    """The offline copy: what the worker answers, and what not, while the
    server is there; then a new version of the site in its place; then the
    game without a server."""
    game.browser.set_viewport(*DESKTOP)
    check(game.run("return navigator.serviceWorker.ready.then(() => true)"), "the service worker is ready after one visit")
    reload_burst(game)
    other_page(game, online=True)
    new_version_replaces_copy(game, server)
    other_page(game, online=False)
    check(game.load() and game.run(NEW_PAGE), "with the server gone, a reload shows the form, from the new copy")
    hand = Hand(game, touch=False)
    hand.button('"Zufallszahlen"')
    hand.button("Ziehung")
    check(game.wait(lambda: all(game.read(*DRAW)) and game.read("Gewinn: Anzahl Treffer") != ""),
          "and the game plays offline")
    stored = game.run("return indexedDB.databases().then((d) => "
                      "[document.cookie, localStorage.length, sessionStorage.length, d.length])")
    check(stored == ["", 0, 0, 0], f"nothing stored besides the offline copy ({stored})")
    hosts = game.run("return performance.getEntriesByType('resource').map(e => new URL(e.name).host)"
                     ".filter(h => h !== location.host)")
    check(hosts == [], f"the page asks no other host ({hosts})")

def close_game(game):
    Hand(game, touch=False).button("Schließen")
    check(game.wait(lambda: game.run(
        "const n = document.getElementById('notice'); return !n.hidden && !document.querySelector('.form')")),
        "Schließen takes the form away")
    notice = game.run("return document.getElementById('notice').innerText")
    check("Das Spiel ist beendet." in notice, f"the page says that the game has ended ({notice!r})")
    restart = game.browser.find([("button", "Neues Spiel")])[0]
    check(restart is not None and game.run("return document.querySelectorAll('button').length") == 1
          and game.run("return document.activeElement === arguments[0]", restart),
          "with one control for a new game, focused")
    game.browser.click(restart)
    check(game.wait(game.shown), "which starts a new game")
