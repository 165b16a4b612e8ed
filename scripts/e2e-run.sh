#!/usr/bin/env bash
# e2e-run.sh DRIVER SIM_EXE [GTEST ARGS...]: runs the end-to-end driver under
# Wine inside a virtual desktop (which has a taskbar with a tray), next to
# copies of the simulation program that Wine runs as Windows 98, 2000, XP
# and 10. The desktop does not pass the driver's exit code on, so the result
# is read from the driver's XML report.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
wine_prefix_ready
driver=$1 sim=$2
shift 2
dir=$(cd "$(dirname "$sim")" && pwd)
for version in win98 win2k winxp win10; do
  copy="VesperonSim_$version.exe"
  cp -f "$sim" "$dir/$copy"
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$copy" /v Version /d "$version" /f \
    >/dev/null 2>&1 </dev/null
done
report="$dir/e2e-report.xml"
rm -f "$report"
export VESPERON_SIM_EXE
VESPERON_SIM_EXE=$(winepath -w "$dir/$(basename "$sim")" 2>/dev/null)
wine_run_captured explorer "/desktop=vesperon-e2e-$$,1024x768" "$driver" \
  "--gtest_output=xml:$(winepath -w "$report" 2>/dev/null)" "$@" || true
# Wait (bounded) for the report: the desktop may return before the driver.
for _ in $(seq 600); do
  [ -s "$report" ] && grep -q '</testsuites>' "$report" && break
  sleep 0.1
done
[ -s "$report" ] || { echo "e2e: no report from the driver" >&2; exit 1; }
tests=$(grep -o 'tests="[0-9]*"' "$report" | head -1)
echo "e2e: $tests $(grep -o 'failures="[0-9]*"' "$report" | head -1)"
! grep -q '<failure' "$report"
