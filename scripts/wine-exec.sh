#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# CTest uses this as the cross-compiling emulator for the win64 build.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
wine_prefix_ready
wine_run_captured "$@"
