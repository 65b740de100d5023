"""The browser test's topic "start": how the page comes up and goes: the form
without JavaScript, one fetch of the program, two tickets typed and pressed
while the program is held back, the program built as JavaScript where
WebAssembly is missing or refused, the offline copy (other pages left to
the server, the game without a server), updates to the site's next version
(a real build whose page and program differ) under each kind of host's
caching, and Schließen with a new game after it."""
import os
import re
import tempfile

from browser import HOLD, NO_SCRIPTS, NO_WASM, STOP_WORKERS
from desktop import FIRST_TICKET, check
from site_server import CACHING, SiteServer
from web_faults import reload_burst
from web_game import (CONTROLS, DESKTOP, DRAW, ENGINE, FETCHED, LABELS, PROGRAM_NAMES, SHOTS, SITE, SITE_NEXT, TICKET,
                      Hand, first_draw, site_copy, site_names)
from web_how_long import in_the_fallback

NO_SCRIPT_NOTICE = "Das Spiel braucht JavaScript."

MISSING_PAGE = "nichtda.html"  # a page of the folder that the server does not have

# A second ticket, typed over the first while the program is held back.
SECOND_TICKET = ["40", "2", "13", "28", "9", "31"]

# The copies the worker keeps, and whether a new one is still on its way in.
COPIES = ("return navigator.serviceWorker.getRegistration().then((r) => caches.keys().then((names) => "
          "[names.filter((n) => n.startsWith('lotto-')).sort(), "
          "!!(r && (r.installing || r.waiting || (r.active && r.active.state !== 'activated')))]))")

# The page shown: its title, whether it is the game's, and its text.
SHOWN_PAGE = """
return [document.title, !!document.querySelector('script[data-program]'),
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
        unseen = [name for name in LABELS if name not in text]
        check(NO_SCRIPT_NOTICE in text and not unseen,
              f"with the notice {NO_SCRIPT_NOTICE!r} and every label's text ({unseen}, {text[:120]!r})")
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
    program, wasm, fallback = game.run(PROGRAM_NAMES)
    fetched = game.run(FETCHED)
    check(sorted(fetched) == sorted([program, wasm]), f"the first visit fetches its program {program} and {wasm} once "
                                                      f"each, and not {fallback} ({fetched})")


def early_presses(game):
    """A ticket, Ziehung, Tippschein löschen!, a second ticket typed over the
    first, Ziehung, and one more number typed."""
    hand = Hand(game, touch=False)
    for ticket in (FIRST_TICKET, SECOND_TICKET):
        for name, number in zip(TICKET, ticket):
            hand.fill(name, number)
        hand.button("Ziehung")
        if ticket == FIRST_TICKET:
            hand.button("Tippschein löschen!")
    hand.fill("Tipp 1", "12")


def program_held(game):
    """The program held back on its way: the form is there, and what the
    player does on it is kept and carried out once it runs, each press on the
    ticket as it stood then: the fields and the draws end as the same presses
    leave them on a running game, what was typed last included."""
    browser = game.browser
    if HOLD not in browser.can:
        game.leave_out("the form before the program runs", "the driver cannot hold a request back")
        return
    game.collect_console()
    home = game.url
    server = SiteServer(SITE)  # a host of its own, whose requests no worker answers yet
    game.url = server.url
    browser.hold("*.wasm")
    try:
        browser.open(game.url)
        game.find_controls()
        early_presses(game)
        typed = game.read(*TICKET)
        check(not game.shown() and typed == ["12", *SECOND_TICKET[1:]] and not any(game.read(*DRAW)),
              f"with the program held back, two tickets are typed and pressed, and nothing drawn yet ({typed})")
        game.screenshot("program-held")
        game.trace.clear()
        browser.release()
        check(game.traced(2) and game.wait(lambda: game.read("Tipp 1") == "12"), "once the program runs, it draws twice")
        held = [game.values(), game.marked(), game.trace[:]]
        check(game.load(), "a new game shows")
        game.collect_console()
        game.trace.clear()
        early_presses(game)
        game.traced(2)
        running = [game.values(), game.marked(), game.trace]
        check(held == running, f"and every field, mark and draw is as on a running game ({held} against {running})")
    finally:
        browser.release()
        server.stop()
        game.url = home
    check(game.load(), "a new game shows")


def other_sites(game):
    """The program built as JavaScript: it plays the same game where there is
    no WebAssembly, and where the page's policy refuses to compile it, and
    plays the ticket on as well."""
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
                in_the_fallback(game, where)
                _, _, fallback = game.run(PROGRAM_NAMES)
                fetched = game.run(FETCHED)
                check(fetched == [fallback], f"{where}: played by {fallback} alone ({fetched})")
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


def plays(game, where, version):
    """A visit: the page of the site's VERSION (1 or 2), played by its own
    program: the first draw, by the files whose names its page gives, and
    neither refused nor ended with an error."""
    game.settle()
    game.browser.open(game.url)
    game.wait(lambda: game.shown() or game.run("return !document.getElementById('notice').hidden"))
    versions = {tuple(site_names(site)): number for number, site in ((1, SITE), (2, SITE_NEXT))}
    page = versions.get(tuple(game.run(PROGRAM_NAMES)))
    notice = game.run("const n = document.getElementById('notice'); return n.hidden ? '' : n.innerText.trim()")
    check(page == version and game.shown(), f"{where}: the page of version {version} plays ({page}; {notice!r})")
    game.find_controls([("button", "Ziehung"), *(("textbox", name) for name in TICKET + DRAW)])
    first_draw(game, where)
    program, wasm, fallback = game.run(PROGRAM_NAMES)
    fetched = set(game.run(FETCHED))
    check(fetched in ({program, wasm}, {fallback}), f"{where}: with the files its page names ({fetched})")


def settled(game):
    """The copies once no new worker is installing."""
    found = []

    def idle():
        copies, installing = game.run(COPIES)
        found[:] = copies
        return not installing
    game.wait(idle)
    return found


def update(game, caching, wasm, broken=False):
    """The first version installed (the worker controls the second visit),
    then the host serves the next: every later visit plays the first draw with
    its own program, online (also once the browser has stopped the worker)
    and offline. Where the next version's worker cannot install (a file of it
    answers 500), the old copy stays whole and serves offline, and nothing of
    the new one is left behind."""
    browser = game.browser
    where = f"update, {caching}, {'with' if wasm else 'without'} WebAssembly{', its install failing' if broken else ''}"
    home = game.url
    server = SiteServer(SITE, caching=caching)
    game.url = server.url
    browser.allow(wasm=wasm)
    try:
        plays(game, f"{where}: first visit", 1)
        check(game.run("return navigator.serviceWorker.ready.then(() => true)"), f"{where}: the worker is ready")
        game.browser.open(game.url)
        check(game.wait(lambda: game.run("return !!navigator.serviceWorker.controller")),
              f"{where}: and answers the second visit")
        first = settled(game)
        server.serve(SITE_NEXT, caching, {"LICENSES.txt": 500} if broken else None)
        plays(game, f"{where}: the next version, online", 2)
        copies = settled(game)
        check((copies == first) if broken else (len(copies) == 1 and copies != first),
              f"{where}: {'the old copy stays, whole and alone' if broken else 'the new copy replaces the old'} "
              f"({first} before, {copies} after)")
        if STOP_WORKERS in browser.can:
            browser.stop_workers()
        plays(game, f"{where}: online again", 2)
        server.pause()
        plays(game, f"{where}: offline", 1 if broken else 2)
    finally:
        browser.allow()
        server.stop()
        game.url = home
    game.collect_console()
    # The engine's report of the file that failed, and of the page offline, is no error of the game.
    game.errors = [error for error in game.errors if not re.search("LICENSES|Failed to (load|fetch)|ERR_", error)]


def updates(game):
    """The update with each kind of host's caching, with and without
    WebAssembly, and with a new worker that cannot install."""
    cases = [(caching, wasm) for wasm in (True, False) for caching in CACHING]
    if NO_WASM not in game.browser.can:
        game.leave_out("the update without WebAssembly", "the engine cannot take it away here")
        cases = [case for case in cases if case[1]]
    if STOP_WORKERS not in game.browser.can:
        game.leave_out("the worker stopped between visits", "the engine cannot stop it here")
    for caching, wasm in cases:
        update(game, caching, wasm)
    update(game, "max-age", True, broken=True)


def offline(game, server):
    """The offline copy: what the worker answers, and what not, while the
    server is there; the game without a server, on a host of its own (WebKit
    may drop the copy of a site left unvisited for a while); then updates to
    the site's next version."""
    game.browser.set_viewport(*DESKTOP)
    check(game.load() and game.run("return navigator.serviceWorker.ready.then(() => true)"),
          "the service worker is ready after one visit")
    reload_burst(game)
    home = game.url
    own = SiteServer(SITE)
    game.url = own.url
    try:
        check(game.load() and game.run("return navigator.serviceWorker.ready.then(() => true)") and settled(game),
              "on a host of its own, the worker is ready after one visit")
        other_page(game, online=True)
        own.pause()
        other_page(game, online=False)
        check(game.load(), "with the server gone, a reload shows the form, from the copy")
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
    finally:
        own.stop()
        game.url = home
    updates(game)
    check(game.load(), "back on the site's first version, the form shows")


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
