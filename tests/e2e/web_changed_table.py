#!/usr/bin/env python3
"""Plays, in Chromium, the site built from a copy of the form's table that a
maintainer has changed and nothing else (tests/CMakeLists.txt,
lotto_changed_window): the page is accepted, Tab walks the table's tab order
(the desktop's, tabStops in FormDefinition.h), the first draw is the
desktop's, and every control, the added ones too, is at its designed place
in the designed layout and shows whole, apart from the others and in reach
in the touch layout. The controls it expects are the changed table's, from
its picture (LOTTO_FORM).

usage: web_changed_table.py chromium SITE_DIR AXE_JS"""
import sys

from lotto_web import main  # first: it finds tests/support for the modules below
from browser import TOUCH  # noqa: E402
from desktop import check  # noqa: E402
from web_game import DESKTOP, FORM, first_draw  # noqa: E402
from web_layout import focus_and_tab_order, form_at_zoom_one  # noqa: E402
from web_touch import touch_layout  # noqa: E402

# The ids of the controls that have no box on the screen.
UNSEEN = """
return Array.from(arguments, (id) => document.getElementById(id)).filter((element) => {
  const box = element && element.getBoundingClientRect();
  return !box || !box.width || !box.height || box.right > innerWidth;
}).map((element) => element && element.id);"""


def unseen(game):
    return game.run(UNSEEN, *(control["id"] for control in FORM.controls))


def changed_table(game, _):
    browser = game.browser
    browser.set_viewport(*DESKTOP)
    check(game.load(), "the page of the changed table is accepted: the form shows")
    form_at_zoom_one(game)
    check(not unseen(game), f"designed layout: every control shows ({unseen(game)})")
    focus_and_tab_order(game, "designed layout")
    first_draw(game, "the changed table")
    browser.set_viewport(390, 844, TOUCH in browser.can)
    check(game.wait(lambda: game.run("return innerWidth") == 390), "the screen turns to a phone's")
    touch_layout(game, "touch layout at 390x844")
    check(not unseen(game), f"touch layout: every control shows ({unseen(game)})")
    game.screenshot("changed-table-phone")
    game.collect_console()
    check(not game.errors, f"no errors in the console ({game.errors})")


if __name__ == "__main__":
    sys.exit(main(changed_table))
