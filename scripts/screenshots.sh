#!/usr/bin/env bash
# screenshots.sh [BUILD_DIR]: photographs the simulation program under Wine
# in a virtual desktop and writes docs/screenshots/main-inactive.png,
# main-counting.png, tray-balloon.png, appearance-page.png (a solid
# background), appearance-page-german.png and profiles-page-144dpi.png (the
# Profiles page on a screen of 144 DPI), startup-page.png (with the last
# warning turned on) and last-warning.png. Needs a win64 build with the
# e2e driver (default build dir: build/win64).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build/win64}
source "$here/display.sh"
ensure_display
trap stop_private_display EXIT
source "$here/wine-env.sh"
wine_prefix_ready
out="$root/docs/screenshots"
mkdir -p "$out"
stops=$(mktemp -d)
export VESPERON_SIM_EXE VESPERON_SHOT_DIR
VESPERON_SIM_EXE=$(winepath -w "$build/app/VesperonSim.exe" 2>/dev/null)
VESPERON_SHOT_DIR=$(winepath -w "$stops" 2>/dev/null)
wine explorer "/desktop=vesperon-shots,1024x768" "$build/tests/e2e/e2e_tests.exe" \
  --gtest_also_run_disabled_tests --gtest_filter='ScreenshotTour.*' \
  >"$stops/driver.log" 2>&1 </dev/null &
driver=$!
for name in main-inactive tray-balloon main-counting appearance-page appearance-page-german \
    profiles-page-144dpi startup-page last-warning; do
  for _ in $(seq 300); do [ -e "$stops/$name.want" ] && break; sleep 0.1; done
  [ -e "$stops/$name.want" ] || { echo "no stop $name" >&2; cat "$stops/driver.log" >&2; exit 1; }
  sleep 1  # let the window and the tray finish painting
  import -window root -crop 1024x768+0+0 +repage "$out/$name.png"
  touch "$stops/$name.done"
  echo "saved $out/$name.png"
done
wait "$driver" || true
rm -rf "$stops"
