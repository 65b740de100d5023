#!/usr/bin/env bash
# The game for the browser: builds the site into build-web/site/ and serves it
# on http://127.0.0.1:8049/ (any static web host serves the folder as well).
#   bash scripts/web.sh         build and serve
#   bash scripts/web.sh build   build only
#   bash scripts/web.sh test    build and play the site in Chromium, Firefox and WebKit
# Installs the Debian packages that are missing (with sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

mode=${1:-serve}
case $mode in
    serve | build | test) ;;
    *) echo "usage: bash scripts/web.sh [build|test]" >&2; exit 2 ;;
esac

if [ "$mode" = test ]; then
    bash scripts/install-deps.sh --web-tests
else
    bash scripts/install-deps.sh --web
fi

started=$(now)
cmake --preset web >/dev/null
cmake --build --preset web -j2
echo "web: site built in build-web/site/ in $(seconds_since "$started")"

case $mode in
    build) ;;
    test)
        started=$(now)
        status=0
        ctest --preset web || status=$?
        # CTest keeps a skipped test's output to itself: each reason is said here.
        grep '^SKIPPED: ' build-web/Testing/Temporary/LastTest.log | sed 's/^/web: /' || true
        echo "web: browser test took $(seconds_since "$started")"
        exit $status
        ;;
    serve)
        echo "Serving the game on http://127.0.0.1:8049/ (Ctrl+C ends)"
        exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build-web/site 8049
        ;;
esac
