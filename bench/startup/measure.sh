#!/usr/bin/env bash
# Start-up time of Zorvane against a bare Qt main window with a menu bar: each program is
# started RUNS times (alternating, default 12) and timed from its start until it has painted
# its first window and ended; prints the medians and their ratio (goal: at most 1.2).
# Usage: bench/startup/measure.sh [BUILD_DIR] [RUNS]. Uses the display in DISPLAY, else Xvfb.
set -euo pipefail
build=${1:-build}
runs=${2:-12}
probe=$build/bench/startup_probe
bare=$build/bench/bare_window
folder=$build/zorvane
for program in "$probe" "$bare"; do
  [[ -x $program ]] || { echo "missing $program: build the targets startup_probe and bare_window" >&2; exit 2; }
done
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi
ZORVANE_FOLDER=$folder python3 - "$probe" "$bare" "$runs" <<'PY'
import statistics, subprocess, sys, time
probe, bare, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
times = {probe: [], bare: []}
for program in (probe, bare):  # once each, so caches are warm for both
    subprocess.run([program], check=True, stderr=subprocess.DEVNULL)
for _ in range(runs):
    for program in (probe, bare):
        start = time.perf_counter()
        subprocess.run([program], check=True, stderr=subprocess.DEVNULL)
        times[program].append(time.perf_counter() - start)
zorvane, plain = statistics.median(times[probe]) * 1000, statistics.median(times[bare]) * 1000
print(f"zorvane to its first window: median {zorvane:.1f} ms over {runs} runs")
print(f"bare Qt window:              median {plain:.1f} ms over {runs} runs")
print(f"ratio: {zorvane / plain:.2f} (goal: at most 1.20)")
PY
