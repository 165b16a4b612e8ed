#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and runs it under Wine
# inside a virtual desktop (which has a taskbar and so a tray).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh win64
source scripts/display.sh
source scripts/wine-env.sh
ensure_display
wine_prefix_ready
trap 'stop_private_display' EXIT
echo "Vesperon runs on DISPLAY=$DISPLAY, hidden behind its tray icon (bottom right):"
echo "right-click the icon and choose \" Show window\"; the same menu's \" Exit\" ends it."
wine explorer /desktop=Vesperon,1024x768 "$root/build/win64/app/Vesperon.exe"
