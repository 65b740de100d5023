#!/usr/bin/env python3
"""Plays the browser build as a person would, in one browser engine: the site
served on a free port and worked through tests/support/browser.py with real
clicks, taps and typing on the controls, found by their role and accessible
name. One scenario, its steps by topic in the modules beside this one:
- web_start.py: the page without JavaScript, one fetch of the program, the
  form before the program runs, the program built as JavaScript, the offline
  copy and updates to the site's next version, Schließen;
- web_layout.py: the designed layout's geometry and face at zoom 1 and at two
  device pixels to the CSS pixel, first focus and tab order, the names, a
  switch of layout with a message open;
- web_touch.py: the touch layout on phones played by taps (the ticket's grid,
  Enter through the ticket, "Ziehung" in reach, the result in view);
- web_how_long.py: the part that plays the ticket on ("Wie lange bis …?"),
  its runs, its stop, a bad ticket, the game left as it was;
- web_faults.py: the modal message, a page that differs from the program,
  reloads in quick succession, a program that cannot be fetched, a page
  whose script is refused;
- web_game.py: what they share: the form as the player meets it, the page and
  the hand that works it, a whole game with the desktop's draws and the trace
  in the console, the marks of the numbers that hit, and the outside auditor
  (axe-core) in light, dark and forced colours.
What the engine cannot check is left out, and said; a host where the engine
cannot start reports the test as skipped.

usage: lotto_web.py chromium|firefox|webkit SITE_DIR AXE_JS NEXT_SITE_DIR
       (LOTTO_WEB_SCREENSHOTS=DIR keeps screenshots)"""
import json
import os
import shutil
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import browser as engines  # noqa: E402
from browser import CONSOLE  # noqa: E402
from desktop import check, summary  # noqa: E402
from site_server import SiteServer  # noqa: E402
from web_faults import failed_load, modal_message, refused_page, refused_script  # noqa: E402
from web_game import AXE, DESKTOP, ENGINE, SITE, Game, Hand, audits, skip, whole_game  # noqa: E402
from web_how_long import how_long  # noqa: E402
from web_layout import designed_at_ratio_two, focus_and_tab_order, form_at_zoom_one, layout_switch, names  # noqa: E402
from web_start import close_game, offline, one_fetch_of_program, other_sites, program_held, without_scripts  # noqa: E402
from web_touch import touch_pass  # noqa: E402


def play(game, server):
    browser = game.browser
    without_scripts(game)
    browser.set_viewport(*DESKTOP)
    if not game.load():
        game.collect_console()
        check(False, f"the form shows ({game.errors})")
        return
    # The offline copy made before the page is left: WebKit may take an
    # install that its page cut off for done, with the copy empty.
    game.run("return navigator.serviceWorker.ready.then(() => true)")
    one_fetch_of_program(game)
    form_at_zoom_one(game)
    focus_and_tab_order(game, "designed layout")
    names(game)
    program_held(game)
    if CONSOLE not in browser.can:
        game.leave_out("console lines before the page has loaded",
                       "the driver reads no console: a hook in the page keeps them from the load on")
    whole_game(game, Hand(game, touch=False), "designed layout")
    modal_message(game)
    audits(game, "the designed layout", "desktop")
    how_long(game)
    designed_at_ratio_two(game)
    layout_switch(game)
    touch_pass(game)
    other_sites(game)
    refused_page(game)
    refused_script(game)
    failed_load(game)
    offline(game, server)
    close_game(game)
    game.collect_console()
    check(not game.errors, f"no errors in the console ({game.errors})")


def main(scenario=play):
    """Plays SCENARIO(game, server) in the engine on the site; gives the exit code."""
    if ENGINE not in engines.ENGINES:
        print(f"FAIL unknown engine {ENGINE!r}: one of {', '.join(engines.ENGINES)}")
        return 1
    if not os.path.isfile(os.path.join(SITE, "index.html")):
        print(f"FAIL no site in {SITE}: build it with scripts/web.sh build")
        return 1
    if not os.path.isfile(AXE):
        print(f"FAIL no axe-core at {AXE}: the test's npm ci installs it")
        return 1
    with open(os.path.join(SITE, "manifest.webmanifest"), encoding="utf-8") as file:
        manifest = json.load(file)
    check(manifest["name"] == "Lotto 6 aus 49" and manifest["lang"] == "de"
          and sorted(icon["sizes"] for icon in manifest["icons"]) == ["192x192", "512x512"],
          "the web app manifest names the game in German, with icons of 192 and 512 pixels")
    started = time.monotonic()
    profile = tempfile.mkdtemp(prefix=f"lotto-web-{ENGINE}-")
    server = SiteServer(SITE)
    browser = None
    try:
        try:
            browser = engines.start(ENGINE, profile)
        except engines.Unavailable as reason:
            skip(reason)
        game = Game(browser, server.url)
        try:
            scenario(game, server)
        except Exception as error:  # a control that is not there, a browser that has gone
            check(False, f"the scenario runs to its end ({type(error).__name__}: {error})")
        if game.left_out:
            print(f"{ENGINE} left out: {'; '.join(game.left_out)}")
    finally:
        if browser:
            browser.quit()
        server.stop()
        shutil.rmtree(profile, ignore_errors=True)
    print(f"{ENGINE}: {time.monotonic() - started:.1f} s")
    return summary()


if __name__ == "__main__":
    sys.exit(main())
