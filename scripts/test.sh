#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the main
# build (unit, window, end-to-end and click-storm tests), the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets, the
# Debian package, the browser build played in Chromium, Firefox and WebKit, and the Windows
# build with its tests under Wine.
# LOTTO_QUICK=1 runs the main build's tests only; LOTTO_WEB=0 skips the browser,
# LOTTO_WINDOWS=0 skips Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

bash scripts/install-deps.sh --tests

section "Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2

if [ "${LOTTO_QUICK:-0}" = "1" ]; then
    exit 0
fi

section "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOTTO_SANITIZE=ON -DLOTTO_BUILD_BENCH=OFF
cmake --build build-asan
# The click storm is left to the main build: under the sanitizers it only runs slower.
ctest --test-dir build-asan --output-on-failure -j2 -E '^storm\.'

section "Fuzz"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOTTO_BUILD_FUZZ=ON \
    -DLOTTO_BUILD_UI=OFF -DLOTTO_BUILD_TESTS=OFF -DLOTTO_BUILD_BENCH=OFF
cmake --build build-fuzz
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
