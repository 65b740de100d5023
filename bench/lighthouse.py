#!/usr/bin/env python3
"""Lighthouse's four scores for the browser build, with its mobile settings (a
phone on slow 4G, touch) and its desktop ones, its largest contentful paint
and cumulative layout shift, and the audits that cost points.
A figure, not a test: the performance score moves with the machine's load.
Lighthouse comes pinned from bench/lighthouse/package-lock.json (npm ci).

usage: lighthouse.py SITE_DIR   (needs Node.js, npm and /usr/bin/chromium)"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
from site_server import SiteServer  # noqa: E402

TOOL = os.path.join(HERE, "lighthouse")
CATEGORIES = ["performance", "accessibility", "best-practices", "seo"]


def install():
    if not os.path.exists(os.path.join(TOOL, "node_modules", ".bin", "lighthouse")):
        subprocess.run(["npm", "ci", "--no-audit", "--no-fund", "--ignore-scripts"], cwd=TOOL, check=True,
                       stdout=subprocess.DEVNULL)


def run(url, preset, report):
    command = [os.path.join(TOOL, "node_modules", ".bin", "lighthouse"), url, "--chrome-path=/usr/bin/chromium",
               "--chrome-flags=--headless=new --no-sandbox --disable-gpu", "--output=json",
               f"--output-path={report}", "--only-categories=" + ",".join(CATEGORIES), "--quiet"]
    if preset == "desktop":
        command.append("--preset=desktop")
    subprocess.run(command, check=True)
    with open(report, encoding="utf-8") as file:
        result = json.load(file)
    scores = {name: round(result["categories"][name]["score"] * 100) for name in CATEGORIES}
    for audit in ("largest-contentful-paint", "cumulative-layout-shift"):
        scores[audit] = result["audits"][audit]["numericValue"]
    losses = [f"{audit['id']} ({audit['score']})" for audit in result["audits"].values()
              if audit.get("score") is not None and audit["score"] < 1
              and audit.get("scoreDisplayMode") in ("binary", "numeric")]
    return scores, losses


def main(site):
    install()
    with SiteServer(site) as server, tempfile.TemporaryDirectory() as scratch:
        print("| settings | " + " | ".join(CATEGORIES) + " | LCP | CLS |")
        print("|---|" + "---:|" * (len(CATEGORIES) + 2))
        notes = []
        for preset in ("mobile", "desktop"):
            scores, losses = run(server.url, preset, os.path.join(scratch, preset + ".json"))
            print(f"| {preset} | " + " | ".join(str(scores[name]) for name in CATEGORIES)
                  + f" | {scores['largest-contentful-paint']:,.0f} ms | {scores['cumulative-layout-shift']:g} |")
            if losses:
                notes.append(f"{preset}: below full marks: " + ", ".join(losses))
        for note in notes:
            print(note)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
