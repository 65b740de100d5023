#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the main
# build (unit, window, end-to-end, screen-reader and click-storm tests, and the
# sources' style and clang-tidy), the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests that start Qt built with
# ThreadSanitizer, the fuzz targets, the Debian package, the browser build
# played in Chromium, Firefox and WebKit, and the Windows build with its tests
# under Wine. Each build is a configuration of CMakePresets.json, warnings
# there are errors.
# LOTTO_QUICK=1 runs the main build's tests only; LOTTO_WEB=0 skips the browser,
# LOTTO_WINDOWS=0 skips Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

bash scripts/install-deps.sh --tests

section "Build and test"
cmake --preset main >/dev/null
cmake --build --preset main
ctest --preset main

if [ "${LOTTO_QUICK:-0}" = "1" ]; then
    exit 0
fi

section "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitizers >/dev/null
cmake --build --preset sanitizers
ctest --preset sanitizers

section "Build and test with ThreadSanitizer: the tests that start Qt"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
# A report may come from a program that ends on its own (a failed start ends
# with _Exit), which no exit code tells: the reports are files, read here.
rm -f build-tsan/tsan-report.*
status=0
ctest --preset tsan || status=$?
if compgen -G 'build-tsan/tsan-report.*' >/dev/null; then
    cat build-tsan/tsan-report.*
    echo "FAIL: ThreadSanitizer reported the above"
    status=1
fi
[ "$status" -eq 0 ] || exit "$status"

section "Fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
bash scripts/fuzz.sh "${LOTTO_FUZZ_SECONDS:-30}"

section "Debian package: checked, installed, played and purged"
bash scripts/package.sh
python3 tests/package/deb_test.py build-deb/lotto_*_amd64.deb

if [ "${LOTTO_WEB:-1}" != 0 ]; then
    section "Browser build, played in Chromium, Firefox and WebKit"
    bash scripts/web.sh test
fi

if [ "${LOTTO_WINDOWS:-1}" != 0 ]; then
    section "Windows build, tested under Wine"
    bash scripts/windows.sh
fi

section "Release: built twice from the last commit, byte for byte the same"
bash tests/package/release_twice.sh

sections_summary
