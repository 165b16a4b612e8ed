#!/usr/bin/env bash
# planted-library-test.sh PROBE MARKER_DLL PROGRAM START_AND_CLOSE: copies
# the probe and the shipped program into a fresh folder with the marker
# library beside them under the name of every library the program binds at
# run time or could import, tells Wine to prefer such native files (as
# Windows does for libraries that are not known DLLs), then runs the probe
# (every binding path) and starts and closes the program. No marker may
# have been loaded. A control run first loads one marker by its bare name,
# to prove that a planted load would be seen.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
probe=$1 marker=$2 program=$3 closer=$4
source "$here/display.sh"
ensure_display
source "$here/wine-env.sh"
wine_prefix_ready
names=(rasapi32 powrprof psapi vdmdbg winmm iphlpapi icmp)
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(IFS=,; echo "${names[*]}")=n,b"
dir=$(mktemp -d "$(dirname "$probe")/planted.XXXXXX")
cleanup() { rm -rf "$dir"; stop_private_display; }
trap cleanup EXIT
fail() { echo "planted-library-test: $*" >&2; exit 1; }
plant() {
  rm -rf "$1" && mkdir -p "$1"
  cp "$probe" "$program" "$1/"
  for name in "${names[@]}"; do cp "$marker" "$1/$name.dll"; done
}

plant "$dir/control"
(cd "$dir/control" && wine_run_captured "./$(basename "$probe")" bare rasapi32.dll) ||
  fail "the control could not load the marker"
[ -f "$dir/control/rasapi32.dll.loaded" ] || fail "a marker loaded by its bare name left no trace"

plant "$dir/run"
(cd "$dir/run" && wine_run_captured "./$(basename "$probe")") || fail "a path did not work"
(cd "$dir/run" && wine_run_captured "$closer" "$(winepath -w "$dir/run/$(basename "$program")")") ||
  fail "the program did not start and close"
loaded=$(cd "$dir/run" && ls -- *.loaded 2>/dev/null || true)
[ -z "$loaded" ] || fail "planted libraries were loaded: $loaded"
echo "ok: no planted library was loaded"
