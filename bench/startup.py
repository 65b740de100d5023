#!/usr/bin/env python3
"""Times the start of lotto and of the bare baseline window to their first
painted frame on a fresh Xvfb, alternating, and reports the median wall time,
the median peak resident memory of each, and the ratios lotto/baseline.

usage: startup.py LOTTO_FIRST_FRAME BASELINE [RUNS]"""
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from waiting import PATIENCE  # noqa: E402
from xserver import XServer  # noqa: E402


def run_once(program, environment):
    started = time.perf_counter()
    process = subprocess.Popen([program], env=environment, stdout=subprocess.DEVNULL)
    # The wait for the program's end does not poll, which would blur the figure;
    # a program that never gets to its first frame is stopped after the patience.
    guard = threading.Timer(PATIENCE, process.kill)
    guard.start()
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - started
    guard.cancel()
    if elapsed >= PATIENCE:
        sys.exit(f"{program} did not paint its first frame within {PATIENCE} s")
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{program} failed with status {status}")
    return elapsed * 1000.0, usage.ru_maxrss / 1024.0  # ms, MiB


def main():
    lotto, baseline = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    server = XServer()
    environment = dict(os.environ, DISPLAY=server.display, XDG_RUNTIME_DIR=tempfile.mkdtemp())
    environment.pop("QT_QPA_PLATFORM", None)
    results = {lotto: ([], []), baseline: ([], [])}
    try:
        for program in (lotto, baseline):  # warm the file cache
            run_once(program, environment)
        for _ in range(runs):
            for program in (lotto, baseline):
                wall, peak = run_once(program, environment)
                results[program][0].append(wall)
                results[program][1].append(peak)
    finally:
        server.stop()

    medians = {}
    for program, (walls, peaks) in results.items():
        medians[program] = (statistics.median(walls), statistics.median(peaks))
        print(f"{os.path.basename(program):20s} median wall {medians[program][0]:7.1f} ms   "
              f"median peak RSS {medians[program][1]:6.1f} MiB   ({runs} runs)")
    print(f"ratio lotto/baseline: time {medians[lotto][0] / medians[baseline][0]:.3f}   "
          f"memory {medians[lotto][1] / medians[baseline][1]:.3f}")


if __name__ == "__main__":
    main()
