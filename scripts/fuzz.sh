#!/usr/bin/env bash
# Runs each fuzz target of build-fuzz for the given number of seconds, starting
# from the seed corpus in fuzz/corpus; new inputs go to a scratch folder, an
# input that breaks a target to build-fuzz/ for replaying.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for target in strtoint commands; do
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for $seconds s"
    build-fuzz/fuzz/${target}_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/ "$scratch/$target" "fuzz/corpus/$target" 2> "$scratch/$target.log" \
        || { tail -n 40 "$scratch/$target.log"; echo "FAIL: $target fuzzer found a fault"; exit 1; }
    grep -E '^(Done|stat::number_of_executed_units)' "$scratch/$target.log"
done
echo "2 passed, 0 failed"
