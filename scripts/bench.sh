#!/usr/bin/env bash
# bench.sh [name=count ...]: builds what the measurements need, runs the core
# benchmarks (host) and the program's measurements under Wine (win64),
# packages the release for its sizes, and writes docs/performance.md with
# each goal next to its measured figure. The counts go to the Wine driver
# (bench/win32/BenchDriver.cpp: runs, idle, fires, daily, label, processes,
# soak, shows, balloons); the defaults take about half an hour, most of it
# the soak's 1,000 one-second fires (soak=300 takes a third of that). Not
# part of the test run, which builds every bench target and runs a short
# smoke of each.
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
cmake --build build/win64 -j "$jobs" --target Vesperon VesperonSim bench_driver

echo "== core benchmarks"
build/host/bench/core_bench --benchmark_min_time=0.2 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/core.json" --benchmark_out_format=json >"$out/core.txt"

echo "== the release's sizes"
VESPERON_PACKAGE_NO_BUILD=1 bash scripts/package.sh build/win64
version=$(sed -n 's/^project(Vesperon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
{
  echo "built_exe $(stat -c %s build/win64/app/Vesperon.exe)"
  echo "shipped_exe $(stat -c %s build/win64/package/stage/files/Vesperon.exe)"
  echo "debug $(stat -c %s build/win64/app/Vesperon.debug)"
  echo "portable_zip $(stat -c %s "dist/Vesperon-$version-portable.zip")"
  echo "setup $(stat -c %s "dist/Vesperon-$version-setup.exe")"
  x86_64-w64-mingw32-objdump -h build/win64/package/stage/files/Vesperon.exe |
    awk '$1 ~ /^[0-9]+$/ && NF == 7 { sub(/^\./, "", $2); print "section_" $2, $3 }' |
    while read -r name hex; do echo "$name $((16#$hex))"; done
} >"$out/sizes.txt"

echo "== the program under Wine"
source scripts/display.sh
ensure_display
trap 'stop_private_display' EXIT
# A measurement that failed is listed in the report; the others still count.
status=0
bash scripts/bench-wine.sh build/win64 "$out/wine.txt" "$@" || status=$?

python3 scripts/bench-report.py "$out/core.json" "$out/wine.txt" "$out/sizes.txt" docs/performance.md
echo "== docs/performance.md written"
exit $status
