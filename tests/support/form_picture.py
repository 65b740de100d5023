"""The window's form as the build describes it from the form's table: the
picture that the tool page_markup writes (PageMarkup.h), form.json in the
build folder, which LOTTO_FORM names for every test that reads it (the
main build's where it is not set: for the scripts and the package tests). The
window, page, accessibility and screen-reader tests of every platform take
the controls they expect from here, so that a control added to the table is
expected everywhere without a test changed; the designed values themselves
are guarded once, against the table (tests/ui/QtWindowTest.cpp).

Each control is a dict: name ("" for a label the form does not refer to),
id (its element's on the page), kind (label, edit, button, closeButton),
part (its part of the ticket: ticket, play, draw, result, or ""), caption,
spoken (what a screen reader calls it), bounds (left, top, width, height in
the designed window), autoSize (a label sized to its text), tabOrder (None
for none), and for a label labelFor and labelRole (name or heading). They
come in the page's order: those without a tab stop first, in the table's
order, then the tab order. The ticket and the part of a long task, where
the form has them, are dicts of their own texts and names."""
import json
import os

MAIN_BUILD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "ui", "form-parts",
                          "form.json")


class Form:
    def __init__(self, path=None):
        path = path or os.environ.get("LOTTO_FORM") or MAIN_BUILD
        if not path or not os.path.isfile(path):
            raise RuntimeError(f"no picture of the form at {path!r}: LOTTO_FORM names form.json, which the build "
                               "writes into its folder ui/form-parts")
        with open(path, encoding="utf-8") as file:
            picture = json.load(file)
        self.name, self.caption, self.bounds = picture["name"], picture["caption"], tuple(picture["bounds"])
        self.controls = picture["controls"]
        self.ticket = picture.get("ticket")
        self.task = picture.get("task")
        self._named = {control["name"]: control for control in self.controls if control["name"]}

    def named(self, name):
        return self._named[name]

    def of_kind(self, *kinds):
        return [control for control in self.controls if control["kind"] in kinds]

    def tab_stops(self):
        return [control for control in self.controls if control["tabOrder"] is not None]

    def spoken(self, *names):
        return [self.named(name)["spoken"] for name in names]

    def described(self, control, role):
        """The label that is the control's name ("name") or its heading ("heading"), or None."""
        return next((label for label in self.of_kind("label")
                     if label.get("labelFor") == control["name"] and label.get("labelRole") == role), None)
