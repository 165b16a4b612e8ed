#!/usr/bin/env bash
# build.sh [PRESET...]: configures (once) and builds the given presets
# (default: host win64).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(host win64)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
