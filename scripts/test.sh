#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then the
# Windows build and its tests under Wine, unless LOTTO_WINDOWS=0.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2

if [ "${LOTTO_WINDOWS:-1}" != 0 ]; then
    bash scripts/windows.sh
fi
