#!/usr/bin/env bash
# screenshots.sh [BUILD_DIR]: photographs the simulation program under Wine
# in a virtual desktop and writes docs/screenshots/*.png, each cropped to the
# window it shows (a balloon and the tray menu with the tray icon below
# them). The stops are those of the tour tests/e2e/ScreenshotTour.cpp: the
# tray menu, the main window inactive and counting down, the activation
# balloon, every action page, the reminder, every options page (Appearance
# also in German with a solid background, Profiles also at 144 DPI), the
# profile name dialog, "System Tweaks" and the last warning. Needs a win64
# build with the e2e driver (default build dir: build/win64).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build/win64}
bash "$here/setup.sh"  # ImageMagick's import, and Wine's fonts for the captions
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
# Each stop leaves NAME.want holding the area to keep ("WxH+X+Y", desktop
# coordinates) and waits for NAME.done.
taken=0
while :; do
  finished=no
  # The desktop may outlive the driver: its summary line ends the tour too.
  kill -0 "$driver" 2>/dev/null && ! grep -q ' ran\.' "$stops/driver.log" || finished=yes
  for want in "$stops"/*.want; do
    [ -s "$want" ] || continue
    name=$(basename "$want" .want)
    [ -e "$stops/$name.done" ] && continue
    sleep 1  # let the window and the tray finish painting
    import -window root -crop "$(cat "$want")" +repage "$out/$name.png"
    touch "$stops/$name.done"
    taken=$((taken + 1))
    echo "saved $out/$name.png ($(cat "$want"))"
  done
  [ "$finished" = yes ] && break
  sleep 0.2
done
echo "$taken screenshots"
kill "$driver" 2>/dev/null || true
if ! grep -q '^\[  PASSED  \]' "$stops/driver.log" || grep -q '^\[  FAILED  \]' "$stops/driver.log"; then
  cat "$stops/driver.log" >&2
  exit 1
fi
rm -rf "$stops"
