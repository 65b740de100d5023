#!/usr/bin/env bash
# Runs each fuzz target of build-fuzz for the given number of seconds, starting
# from the seed corpus in fuzz/corpus; new inputs go to a scratch folder, an
# input that breaks a target to build-fuzz/ for replaying. The targets run side
# by side, each on a core of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
targets=(strtoint commands)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

pids=()
for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for $seconds s"
    "build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/ "$scratch/$target" "fuzz/corpus/$target" 2> "$scratch/$target.log" &
    pids+=($!)
done
failed=0
for k in "${!targets[@]}"; do
    target=${targets[k]}
    if wait "${pids[k]}"; then
        echo "$target:"
        grep -E '^(Done|stat::number_of_executed_units)' "$scratch/$target.log"
    else
        tail -n 40 "$scratch/$target.log"
        echo "FAIL: $target fuzzer found a fault"
        failed=$((failed + 1))
    fi
done
echo "$(( ${#targets[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
