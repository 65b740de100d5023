#!/usr/bin/env python3
"""Writes the site's page and stylesheet around the form's parts, which the
build's page_markup tool wrote from the form's table into PARTS_DIR (markup,
places, mark-styles, touch-query, designed-face-query, caption, and
form.json, the picture of the form):
- index.html from its template, with the form's markup, the caption as its
  title, boot.js (without its comments) as its one inline script and that script's hash in the
  Content-Security-Policy, which allows no other inline script;
- lotto.css: the page's stylesheet, the places, the looks of the marks, and
  the touch layout under the media query that the program watches as well,
  without comments.
The touch layout's templates name their areas by the elements' ids, and the
places put each element in the area of its id. An element that a template
leaves out shows all the same, after the placed ones and as wide as the
form: this script puts it there, in each arrangement whose template lacks
it, and says so, for a control of the table that has no place yet is no
fault of the build. An element that touch.css fixes on the screen by the
class of its part needs no area.
What the form is comes from the tool alone; the stylesheets style its
elements by tag and by the class of their part, never by a control's name.
Usage: make_page.py OUT_DIR PARTS_DIR INDEX_TEMPLATE BOOT_JS LOTTO_CSS TOUCH_CSS"""
import base64
import hashlib
import html
import json
import os
import re
import sys

# Where a template leaves an element out: a row of its own, as wide as the form.
UNPLACED = "grid-area: auto / 1 / auto / -1"


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def part(parts, name):
    return read(os.path.join(parts, name)).rstrip("\n")


def compact(css):
    """The stylesheet as served: its comments stay in the sources, and so does
    the whitespace that only a reader needs."""
    css = re.sub(r"/\*.*?\*/", "", css, flags=re.S)
    css = re.sub(r"\s+", " ", css)
    return re.sub(r" ?([{};]) ?", r"\1", css).strip() + "\n"


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


def arrangements(touch):
    """The touch layout's arrangements, as {media queries: the areas of its
    template}, the one outside any media query under (); and the classes
    that a rule fixes on the screen. An arrangement is a media query that
    sets the template, or a custom property that the template takes."""
    css = re.sub(r"/\*.*?\*/", "", touch, flags=re.S)
    templates, properties, fixed, blocks, text = {}, {}, set(), [], ""
    for piece in re.split(r"([{};])", css):
        if piece == "{":
            blocks.append(" ".join(text.split()))
        elif piece in (";", "}"):
            name, _, value = (part.strip() for part in text.partition(":"))
            media = tuple(block for block in blocks if block.startswith("@media"))
            if name == "grid-template-areas":
                templates[media] = value
            elif name.startswith("--"):
                properties.setdefault(media, {})[name] = value
            elif name == "position" and value == "fixed" and blocks[-1:]:
                fixed.update(re.findall(r"\.([\w-]+)", blocks[-1].split()[-1]))
            if piece == "}":
                blocks.pop()
        text = "" if piece in ("{", ";", "}") else piece
    if () not in templates:
        sys.exit("touch.css has no grid-template-areas outside a media query")
    found = {}
    for media in sorted({(), *templates, *properties}):
        def value(match):
            return properties.get(media, {}).get(match[1], properties.get((), {}).get(match[1], ""))
        template = re.sub(r"var\((--[\w-]+)\)", value, templates.get(media, templates[()]))
        names = " ".join(re.findall(r'"([^"]*)"', template)).split()
        found[media] = {name for name in names if name.strip(".")}
    return found, fixed


def placed(touch, picture):
    """The rules that put each element that a template leaves out after the
    placed ones, in the arrangements of touch.css, and what to say of them."""
    found, fixed = arrangements(touch)
    ids = [control["id"] for control in picture["controls"] if control["part"] not in fixed]
    ticket = picture.get("ticket") or {}
    ids += [made["id"] for made in (ticket.get("grid"), ticket.get("outcome")) if made and made["id"]]
    rules, said = "", []
    for media, areas in found.items():
        base = found[()]
        where = " and ".join(query.removeprefix("@media ") for query in media) or "in every size"
        block = ""
        for id in ids:
            if id not in areas:
                said.append(f"make_page.py: the touch layout ({where}) has no place for {id}: "
                            "it shows after the placed ones, as wide as the form")
            if media == () and id not in areas or media and id not in areas and id in base:
                block += f"#{id}{{{UNPLACED}}}"
            elif media and id in areas and id not in base:
                block += f"#{id}{{grid-area:{id}}}"
        for name in sorted(areas - set(ids)):
            said.append(f"make_page.py: the touch layout ({where}) places {name}, which the form does not have")
        rules += "".join(query + "{" for query in media) + block + "}" * len(media) if block else ""
    return rules, said


def main(out, parts, template, boot, stylesheet, touch):
    # Its comments stay in the source: the page carries the code alone.
    script = "\n".join(line for line in read(boot).splitlines() if not line.lstrip().startswith("//")) + "\n"
    if "</script" in script.lower():
        sys.exit(f"{boot} must not close its own script element")
    digest = base64.b64encode(hashlib.sha256(script.encode("utf-8")).digest()).decode("ascii")
    page = read(template)
    for key, value in (("@LOTTO_BOOT_HASH@", "sha256-" + digest), ("@LOTTO_TITLE@", html.escape(part(parts, "caption"))),
                       ("@LOTTO_DESIGNED_FACE_QUERY@", part(parts, "designed-face-query")),
                       ("@LOTTO_FORM@", part(parts, "markup")), ("@LOTTO_BOOT@", script)):
        if key not in page:
            sys.exit(f"{template} has no {key}")
        page = page.replace(key, value, 1)
    write(os.path.join(out, "index.html"), page)
    touch_css = read(touch)
    unplaced, said = placed(touch_css, json.loads(part(parts, "form.json")))
    for line in said:
        print(line)
    write(os.path.join(out, "lotto.css"), compact(read(stylesheet) + part(parts, "places") + part(parts, "mark-styles")
                                                  + "@media " + part(parts, "touch-query") + "{" + touch_css
                                                  + unplaced + "}"))


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
