#!/usr/bin/env bash
# bench-wine.sh BUILD_DIR RESULTS [name=count ...]: runs the
# Windows measurements (bench/win32/BenchDriver.cpp) under Wine inside a
# virtual desktop, which has the tray the program and the baseline need, and
# leaves the driver's "name value" lines in RESULTS. Needs an X display and
# the targets VesperonSim and bench_driver built in BUILD_DIR.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
wine_prefix_ready
build=$(cd "$1" && pwd)
results=$2
shift 2
mkdir -p "$(dirname "$results")"
results=$(cd "$(dirname "$results")" && pwd)/$(basename "$results")
rm -f "$results"
win() { winepath -w "$1" 2>/dev/null; }
wine_run_captured explorer "/desktop=vesperon-bench-$$,1024x768" \
  "$build/bench/bench_driver.exe" "$(win "$results")" "$(win "$build/app/VesperonSim.exe")" \
  "$(win "$build/bench/bench_baseline.exe")" "$(win "$build/bench/bench_template.exe")" \
  "$(win "$build/bench/bench_waiter.exe")" "$@" \
  >/dev/null || true
# The desktop may return before the driver: wait (bounded) for its last line.
# The soak's thousand one-second fires alone take some twenty minutes.
for _ in $(seq 7200); do
  [ -s "$results" ] && grep -q '^done ' "$results" && break
  sleep 0.5
done
grep -q '^done ' "$results" 2>/dev/null || { echo "bench-wine: the driver did not finish" >&2; exit 1; }
if grep '^error ' "$results" >&2; then exit 1; fi
