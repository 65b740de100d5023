#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the program's own
# sources as a build compiles them (its compile_commands.json, without the
# tests, benchmarks and fuzz targets), two files at a time. Prints what it
# finds, file by file, and fails where it finds anything. The test command runs
# it on the main build as the test style.tidy; where clang-tidy is missing it
# says so and exits with 77, which CTest reports as skipped.
# Usage: bash scripts/tidy.sh [BUILD-FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

build=${1:-build}
jobs=${LOTTO_TIDY_JOBS:-2}
tidy=${CLANG_TIDY:-clang-tidy}
if ! command -v "$tidy" >/dev/null; then
    echo "SKIPPED: $tidy is missing (Debian's clang-tidy): the sources are not checked"
    exit 77
fi
if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy: $build/compile_commands.json is missing: configure the build first" >&2
    exit 2
fi

root=$(pwd -P)
sources=()
while IFS= read -r file; do
    case $file in
        "$root"/tests/* | "$root"/bench/* | "$root"/fuzz/*) ;;
        "$root"/*) sources+=("$file") ;;
    esac
done < <(sed -n 's/^  "file": "\(.*\)"$/\1/p' "$build/compile_commands.json" | sort -u)

started=$(now)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for k in "${!sources[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    ("$tidy" -p "$build" --quiet "${sources[k]}" >"$scratch/$k.log" 2>&1 || touch "$scratch/$k.failed") &
done
wait

failed=0
for k in "${!sources[@]}"; do
    [ -e "$scratch/$k.failed" ] || continue
    failed=$((failed + 1))
    echo "---- ${sources[k]#"$root"/}"
    # clang's count of what the filters hid is no finding.
    grep -vE '^[0-9]+ (warnings?|errors?)( and [0-9]+ (warnings?|errors?))? generated\.$' "$scratch/$k.log" || true
done
echo "tidy: ${#sources[@]} files in $(seconds_since "$started"), $failed with findings"
[ "$failed" -eq 0 ]
