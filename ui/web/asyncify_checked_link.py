#!/usr/bin/env python3
"""Runs the link of lotto.js and fails it where Asyncify was told to rewrite a
function that the program does not have: a renamed function would otherwise
only warn here, and the page would abort at its first wait instead.
Usage: asyncify_checked_link.py LINK_COMMAND..."""
import os
import subprocess
import sys

UNKNOWN = "Asyncify onlylist contained a non-existing function name"


def main(command):
    link = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    sys.stdout.write(link.stdout)
    if link.returncode != 0:
        return link.returncode
    unknown = [line for line in link.stdout.splitlines() if UNKNOWN in line]
    if unknown:
        # The link has written its files by now; they must not pass for a good build.
        output = command[command.index("-o") + 1] if "-o" in command else None
        if output:
            for made in (output, os.path.splitext(output)[0] + ".wasm"):
                if os.path.exists(made):
                    os.remove(made)
        print("error: the functions that Asyncify is to rewrite (ASYNCIFY_ONLY in ui/web/CMakeLists.txt) "
              "name one the program does not have:\n  " + "\n  ".join(unknown), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))
