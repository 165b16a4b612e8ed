#!/usr/bin/env bash
# wine-version-run.sh EXE WINVER ARGS...: runs a copy of EXE under Wine with
# Wine's per-program Windows version set to WINVER (win98, win2k, winxp...).
# The copy gets its own name so that parallel runs do not share the setting.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
wine_prefix_ready
exe=$1 winver=$2
shift 2
dir=$(dirname "$exe")
copy="$(basename "$exe" .exe)_$winver.exe"
cp -f "$exe" "$dir/$copy"
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$copy" /v Version /d "$winver" /f >/dev/null
cd "$dir"
wine_run_captured "./$copy" "$@"
