#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the host, host-asan and
# win64 presets, and runs every test (the Windows ones under Wine, on a
# private X display). Exits non-zero if anything fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
start=$(date +%s)

bash scripts/setup.sh
bash scripts/build.sh host host-asan win64

source scripts/display.sh
source scripts/wine-env.sh
ensure_display
wine_prefix_ready
cleanup() { wineserver -k 2>/dev/null || true; stop_private_display; }
trap cleanup EXIT

passed=0 failed=0 status=0
for preset in host host-asan win64; do
  echo "== test $preset"
  log="build/$preset/ctest.log"
  if ctest --preset "$preset" -j "$(nproc)" 2>&1 | tee "$log"; then :; else status=1; fi
  grep -q "tests passed" "$log" || status=1
  p=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" | tail -1)
  if [ -n "$p" ]; then
    set -- $p
    passed=$((passed + $1 - $2)); failed=$((failed + $2))
  fi
done

# The fuzz targets, briefly, over their committed corpus (clang, ASan, UBSan).
echo "== fuzz smoke"
log=build/fuzz-smoke.log
mkdir -p build
bash scripts/fuzz.sh --smoke 2>&1 | tee "$log" || status=1
passed=$((passed + $(grep -c '^PASS ' "$log" || true)))
failed=$((failed + $(grep -c '^FAIL ' "$log" || true)))

# Includes run only downward through the layers.
echo "== layers"
if bash scripts/check-layers.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

echo "== $(( $(date +%s) - start )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
