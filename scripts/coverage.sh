#!/usr/bin/env bash
# Coverage as a figure, not a gate: builds the preset coverage (gcov's counters,
# in build-coverage/), runs the main build's tests on it and sums the counters
# up with gcovr: line and branch coverage per folder of the program, without
# the tests, benchmarks and fuzz targets. Branches the compiler adds for
# exceptions are not counted. Each file's lines are shown in
# build-coverage/coverage/index.html. Installs the Debian packages that are
# missing (with sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

bash scripts/install-deps.sh --coverage
cmake --preset coverage >/dev/null
cmake --build --preset coverage
# Counters of an earlier run would be added in.
find build-coverage -name '*.gcda' -delete

started=$(now)
status=0
ctest --preset coverage || status=$?
echo "coverage: the tests took $(seconds_since "$started")"

report=build-coverage/coverage
rm -rf "$report"
mkdir -p "$report"
# The backend of the build's tool (NoBackend.cpp) is linked, never run: the
# tool shows no window.
gcovr --root . --object-directory build-coverage --exclude-throw-branches \
    --filter 'engine/' --filter 'conversions/' --filter 'commands/' --filter 'ui/' --exclude 'ui/NoBackend.cpp' \
    --json-summary "$report/summary.json" --html-details "$report/index.html" >/dev/null
python3 - "$report/summary.json" <<'EOF'
import collections
import json
import os
import sys

folders = collections.defaultdict(lambda: [0, 0, 0, 0])
for file in json.load(open(sys.argv[1]))["files"]:
    counts = folders[os.path.dirname(file["filename"])]
    for k, key in enumerate(("line_covered", "line_total", "branch_covered", "branch_total")):
        counts[k] += file[key]
print(f"{'folder':<16}{'lines':>18}{'branches':>18}")
for folder, (lines, line_total, branches, branch_total) in sorted(folders.items()):
    def share(part, whole):
        return f"{100 * part / whole:5.1f} % of {whole:>4}" if whole else "—"
    print(f"{folder:<16}{share(lines, line_total):>18}{share(branches, branch_total):>18}")
EOF
echo "coverage: each file's lines in $report/index.html"
exit "$status"
