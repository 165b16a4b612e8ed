#!/usr/bin/env bash
# bench.sh: builds what the measurements need, runs the core benchmarks
# (host) and the program's measurements under Wine (win64), and writes
# docs/performance.md. Takes a few minutes; not part of the test run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${VESPERON_BENCH_JOBS:-2}
out=build/bench
mkdir -p "$out"

bash scripts/setup.sh
for preset in host win64; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
done
echo "== build"
cmake --build build/host -j "$jobs" --target core_bench
cmake --build build/win64 -j "$jobs" --target VesperonSim bench_driver

echo "== core benchmarks"
build/host/bench/core_bench --benchmark_min_time=0.2 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/core.json" --benchmark_out_format=json >"$out/core.txt"

echo "== the program under Wine (about four minutes)"
source scripts/display.sh
ensure_display
trap 'stop_private_display' EXIT
bash scripts/bench-wine.sh build/win64 "$out/wine.txt"

python3 scripts/bench-report.py "$out/core.json" "$out/wine.txt" docs/performance.md
echo "== docs/performance.md written"
